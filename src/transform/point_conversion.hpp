// One point through the conversion a position's Convert makes: refresh (inverse projection to
// geographic on the source datum), window test, datum shift, forward projection.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lantrel/pair.hpp"
#include "lantrel/point_errors.hpp"
#include "lantrel/transformer.hpp"

namespace lantrel::detail {

/// Source of the errors the array conversion's own steps raise.
inline constexpr const char* kTransformerSource = "lantrel:Transformer:";

/// Description of a point whose datum change was refused (status 4).
inline constexpr const char* kShiftRefused =
    "datum change refused: the point lies outside the NAD 27/NAD 83 shift window "
    "(81.5-90 W, 36-39.5 N)";

/// Converts the pair a new position holds after the lets (x, y) of `from`, as Convert to `to`
/// does. Returns 0 with the result in `out` (longitude signed by `westPositive` for a
/// geographic target), 4 when the datum change is refused outside the shift window, or the
/// number of the error raised; `out` is left alone unless the result is 0. A failure is
/// recorded in `errors` as point `index` when `errors` is given (throws only std::bad_alloc
/// then; never without it).
std::int32_t ConvertPoint(System from, System to, bool westPositive,
                          double x, double y, Pair& out, PointErrors* errors = nullptr,
                          std::size_t index = 0);

/// Scale factor and convergence of the pair a new position holds after the lets (x, y) of
/// `system`. Returns 0, or the number of the error raised (the scale factor's first), recorded
/// in `errors` as ConvertPoint records it.
std::int32_t PointFactors(System system, double x, double y, double& scaleFactor,
                          double& convergence, PointErrors* errors = nullptr,
                          std::size_t index = 0);

}  // namespace lantrel::detail
