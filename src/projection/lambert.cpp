#include "projection/lambert.hpp"

#include "position/raise.hpp"

namespace lantrel::detail {
Pair LambertToGeographic(Pair, std::int32_t, std::int32_t, std::int32_t) { RaiseRuntime(errc::InvalidArgument); }
Pair GeographicToLambert(Pair, std::int32_t, std::int32_t, std::int32_t) { RaiseRuntime(errc::InvalidArgument); }
double LambertScaleFactor(Pair, std::int32_t, std::int32_t) { RaiseRuntime(errc::InvalidArgument); }
double LambertConvergence(Pair, std::int32_t, std::int32_t) { RaiseRuntime(errc::InvalidArgument); }
}  // namespace lantrel::detail
