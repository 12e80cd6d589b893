#include "datum/nadcon.hpp"

#include "position/raise.hpp"

namespace lantrel::detail {
Pair Nad27ToNad83(Pair) { RaiseRuntime(errc::InvalidArgument); }
Pair Nad83ToNad27(Pair) { RaiseRuntime(errc::InvalidArgument); }
}  // namespace lantrel::detail
