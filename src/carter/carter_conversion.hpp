// Geographic <-> Carter conversion, with footage calls along the meridian and the parallel at
// the section's middle latitude.
#pragma once

#include <cstdint>

#include "lantrel/carter.hpp"
#include "lantrel/pair.hpp"

namespace lantrel::detail {

/// Radius of curvature in the meridian, metres.
double MeridianRadius(double latitudeRadians, std::int32_t datum);
/// Radius of the parallel, metres.
double ParallelRadius(double latitudeRadians, std::int32_t datum);
/// The location of `carter` as (west-positive longitude, latitude); clears its Changed mark.
Pair CarterToGeographic(zrCarter& carter, std::int32_t datum);
/// Fills `carter` from a geographic pair; outside the Carter window it is left cleared.
void GeographicToCarter(zrCarter& carter, Pair geo, std::int32_t datum);

}  // namespace lantrel::detail
