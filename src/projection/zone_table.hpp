// The zone table: one record per projection and datum, compiled-in constants shared by every
// position; no value is derived at run time. The ellipsoids are in core/ellipsoid.hpp.
#pragma once

#include <cstdint>

#include "core/ellipsoid.hpp"

namespace lantrel::detail {

/// 22 constants of one (projection, datum) pair. Angles in radians (longitudes west-positive),
/// lengths in metres. A field the record's family does not use holds 0.0.
struct ZoneRecord {
  double a;        // 0  semi-major axis
  double f;        // 1  flattening
  double e;        // 2  first eccentricity
  double e2;       // 3  first eccentricity squared
  double lambda0;  // 4  central meridian, radians west
  double phi0;     // 5  latitude of the grid origin (Transverse Mercator records)
  double N0;       // 6  false northing
  double E0;       // 7  false easting
  double k0;       // 8  scale factor on the central meridian (Transverse Mercator)
  double Rb;       // 9  mapping radius at the grid origin (Lambert)
  double K;        // 10 mapping radius at the equator (Lambert)
  double r;        // 11 rectifying radius (Transverse Mercator)
  double Sb;       // 12 meridional distance to the grid origin times k0 (Transverse Mercator)
  double n;        // 13 cone constant (Lambert)
  double U0, U2, U4, U6;  // 14-17 geodetic -> rectifying latitude series
  double V0, V2, V4, V6;  // 18-21 rectifying -> footpoint latitude series
};

/// The record of (datum 0..1, projection 0..15); raises error 9 for codes out of range.
const ZoneRecord& Zone(std::int32_t datum, std::int32_t projection);

}  // namespace lantrel::detail
