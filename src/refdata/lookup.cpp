#include "refdata/lookup.hpp"

#include "position/raise.hpp"

namespace lantrel::detail {
void SearchLocations(const ReferenceData&, Pair, LocationResults&) { RaiseRuntime(errc::InvalidArgument); }
const std::string& SPZoneOfCounty(std::int32_t) { RaiseRuntime(errc::InvalidArgument); }
}  // namespace lantrel::detail
