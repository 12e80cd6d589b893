// The reference ellipsoid of each datum, indexed by datum code: 0 NAD 83 (GRS 80),
// 1 NAD 27 (Clarke 1866). The projections and the Carter grid stand on these two.
#pragma once

#include <cstdint>

namespace lantrel::detail {

/// Ellipsoid of a datum; raises error 9 for codes out of range.
double SemiMajorAxis(std::int32_t datum);
double EccentricitySquared(std::int32_t datum);

}  // namespace lantrel::detail
