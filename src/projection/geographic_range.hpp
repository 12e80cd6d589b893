// The range every geographic result of an inverse projection must lie in: latitude within
// +-90 degrees, longitude within +-180 degrees. A plane pair far enough from its zone runs the
// inverse series or the cone's angle past these limits and would otherwise come back as a
// "point" that does not exist (a latitude of 90.04, a longitude of -3.5e58); such a pair is
// outside the projection's domain and raises the invalid-argument error (5), the same number
// an invalid operation inside the projection raises.
#pragma once

#include <string>

#include "lantrel/pair.hpp"
#include "core/raise.hpp"

namespace lantrel::detail {

inline constexpr double kLatitudeLimit = 90.0;
inline constexpr double kLongitudeLimit = 180.0;

/// True when (west-positive longitude, latitude) lies within +-180 and +-90 degrees, bounds
/// included. A coordinate that is not a number fails.
constexpr bool InGeographicRange(Pair geo) noexcept {
  return geo.x >= -kLongitudeLimit && geo.x <= kLongitudeLimit && geo.y >= -kLatitudeLimit &&
         geo.y <= kLatitudeLimit;
}

/// Returns `geo`, or raises error 5 when it lies outside the geographic range.
inline Pair CheckGeographicRange(Pair geo) {
  if (!InGeographicRange(geo)) RaiseRuntime(errc::InvalidArgument);
  return geo;
}

/// Returns `geo` when it is a point of the globe; else raises error 5 from `source` with a
/// description naming the coordinate at fault, e.g. "latitude 100 is outside -90 to 90
/// degrees" or "longitude nan is not a number". For geographic pairs given by a caller (a
/// source pair, a Carter location taken to degrees), where a pair beyond the limits is
/// input no conversion can stand for.
Pair CheckGeographicPoint(Pair geo, const char* source);

}  // namespace lantrel::detail
