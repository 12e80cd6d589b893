#include "projection/transverse_mercator.hpp"

#include "position/raise.hpp"

namespace lantrel::detail {
Pair MercatorToGeographic(Pair, std::int32_t, std::int32_t, std::int32_t) { RaiseRuntime(errc::InvalidArgument); }
Pair GeographicToMercator(Pair, std::int32_t, std::int32_t, std::int32_t) { RaiseRuntime(errc::InvalidArgument); }
double MercatorScaleFactor(Pair, std::int32_t, std::int32_t) { RaiseRuntime(errc::InvalidArgument); }
double MercatorConvergence(Pair, std::int32_t, std::int32_t) { RaiseRuntime(errc::InvalidArgument); }
}  // namespace lantrel::detail
