#include "carter/carter_conversion.hpp"

#include "position/raise.hpp"

namespace lantrel::detail {
double MeridianRadius(double, std::int32_t) { RaiseRuntime(errc::InvalidArgument); }
double ParallelRadius(double, std::int32_t) { RaiseRuntime(errc::InvalidArgument); }
Pair CarterToGeographic(zrCarter&, std::int32_t) { RaiseRuntime(errc::InvalidArgument); }
void GeographicToCarter(zrCarter&, Pair, std::int32_t) { RaiseRuntime(errc::InvalidArgument); }
}  // namespace lantrel::detail
