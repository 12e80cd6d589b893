// One point through the conversion a position's Convert makes: refresh (inverse projection to
// geographic on the source datum), window test, datum shift, forward projection.
#pragma once

#include <cstdint>

#include "lantrel/pair.hpp"
#include "lantrel/transformer.hpp"

namespace lantrel::detail {

/// Converts the pair a new position holds after the lets (x, y) of `from`, as Convert to `to`
/// does. Returns 0 with the result in `out` (longitude signed by `westPositive` for a
/// geographic target), 4 when the datum change is refused outside the shift window, or the
/// number of the error raised; `out` is left alone unless the result is 0.
std::int32_t ConvertPoint(CoordinateSystem from, CoordinateSystem to, bool westPositive,
                          double x, double y, Pair& out) noexcept;

/// Scale factor and convergence of the pair a new position holds after the lets (x, y) of
/// `system`. Returns 0, or the number of the error raised (the scale factor's first).
std::int32_t PointFactors(CoordinateSystem system, double x, double y, double& scaleFactor,
                          double& convergence) noexcept;

}  // namespace lantrel::detail
