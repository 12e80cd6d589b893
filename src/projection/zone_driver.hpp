// The checked zone driver: every projection of the zone table by its (datum, projection)
// code, with the unit scaling around it, one floating-point check per operation (covering the
// scaling too), and no result that is an infinity or a NaN. The one place that picks a
// projection family's kernel for a single point; the array path picks it once per array
// (projection/zone_lanes.hpp).
#pragma once

#include <cstdint>

#include "lantrel/pair.hpp"

namespace lantrel::detail {

/// The geographic pair (degrees, west-positive longitude) of a stored pair in `units`: the
/// inverse projection of a plane system; a geographic or Carter system's pair unchanged.
/// Raises error 9 for a code outside the tables or an empty record (the single zone exists
/// on NAD 83 only), 5 for a result beyond the globe, and the arithmetic errors of the step.
Pair ZoneToGeographic(Pair stored, std::int32_t datum, std::int32_t projection, std::int32_t units);

/// The stored pair in `units` of a geographic pair: the forward projection of a plane system;
/// a geographic or Carter system's pair checked for a floating-point fault. Raises as above.
Pair GeographicToZone(Pair geo, std::int32_t datum, std::int32_t projection, std::int32_t units);

struct ZoneFactors {
  double scaleFactor = 1.0;
  double convergence = 0.0;  // degrees, positive east of the central meridian
};

/// Point scale factor and meridian convergence at a geographic point (1 and 0 for angular
/// systems), each alone or both (the scale factor first). Raises as above.
double ScaleFactorAt(Pair geo, std::int32_t datum, std::int32_t projection);
double ConvergenceAt(Pair geo, std::int32_t datum, std::int32_t projection);
ZoneFactors FactorsAt(Pair geo, std::int32_t datum, std::int32_t projection);

/// The same operations for a code known to be of one family; error 9 for a code of another.
Pair LambertToGeographic(Pair plane, std::int32_t datum, std::int32_t projection, std::int32_t units);
Pair GeographicToLambert(Pair geo, std::int32_t datum, std::int32_t projection, std::int32_t units);
double LambertScaleFactor(Pair geo, std::int32_t datum, std::int32_t projection);
double LambertConvergence(Pair geo, std::int32_t datum, std::int32_t projection);
Pair MercatorToGeographic(Pair plane, std::int32_t datum, std::int32_t projection, std::int32_t units);
Pair GeographicToMercator(Pair geo, std::int32_t datum, std::int32_t projection, std::int32_t units);
double MercatorScaleFactor(Pair geo, std::int32_t datum, std::int32_t projection);
double MercatorConvergence(Pair geo, std::int32_t datum, std::int32_t projection);

}  // namespace lantrel::detail
