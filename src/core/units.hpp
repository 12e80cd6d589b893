// Scaling plane coordinates between metres and the linear units of zrGeoUnits.
//
// One factor per unit and direction, as double constants: FromMetres does not divide by the
// ToMetres factor, so ToMetres followed by FromMetres need not return the input bit for bit
// (one US survey foot comes back as 0.9999999999999999). The mile is the US survey mile.
#pragma once

#include <cstdint>

#include "core/unit_fitting.hpp"
#include "lantrel/pair.hpp"

namespace lantrel::detail {

/// Metres from a pair in `units`; metres are copied, decimal degrees and unknown codes give 0.
Pair ToMetres(Pair p, std::int32_t units);
/// A pair in `units` from metres; metres are copied, decimal degrees and unknown codes give 0.
Pair FromMetres(Pair p, std::int32_t units);

/// The same two scalings without a floating-point check of their own, for a caller whose
/// ArithmeticScope already covers the whole step (a projection and its unit scaling).
Pair ScaleToMetres(Pair p, std::int32_t units) noexcept;
Pair ScaleFromMetres(Pair p, std::int32_t units) noexcept;

/// Scales x and y by `factor` as the scalings do: a metre pair is copied, never multiplied,
/// so its bits survive. For one coordinate pair or for lanes of them.
template <typename V>
void ScaleInPlace(V& x, V& y, std::int32_t units, double factor) noexcept {
  if (units == kMeters) return;
  x = factor * x;
  y = factor * y;
}

/// The factor the two scalings multiply by for `units` (0 for decimal degrees and unknown
/// codes); callers that apply it themselves scale through ScaleInPlace.
double MetresPerUnit(std::int32_t units) noexcept;
double UnitsPerMetre(std::int32_t units) noexcept;

}  // namespace lantrel::detail
