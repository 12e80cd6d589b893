#include "projection/zone_table.hpp"

#include "position/raise.hpp"

namespace lantrel::detail {
const ZoneRecord& Zone(std::int32_t, std::int32_t) { RaiseRuntime(errc::InvalidArgument); }
}  // namespace lantrel::detail
