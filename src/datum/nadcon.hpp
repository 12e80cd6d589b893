// NAD 27 <-> NAD 83 by the built-in NADCON grids of the window 35.75-39.75 N, 81.25-90.25 W.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lantrel/pair.hpp"

namespace lantrel::detail {

/// Bilinear interpolation of the shift grids; raises error 9 outside the grid.
Pair Nad27ToNad83(Pair nad27);
/// Inverse by fixed-point iteration on Nad27ToNad83.
Pair Nad83ToNad27(Pair nad83);
/// The same, adding the number of iteration passes to `passes` (32-bit; raises error 6 when
/// the count would pass its largest value).
Pair Nad83ToNad27(Pair nad83, std::int32_t& passes);

/// The two shifts without any check, for points whose every step stays inside the grid (where
/// no floating-point fault is possible): the same operations and results as the checked forms.
/// They return false, leaving the output alone, for any other point; the checked forms then
/// give that point's result or error.
bool TryNad27ToNad83(Pair nad27, Pair& nad83) noexcept;
bool TryNad83ToNad27(Pair nad83, Pair& nad27) noexcept;

/// Largest count TryNad83ToNad27SideBySide takes.
inline constexpr std::size_t kSideBySideShifts = 32;

/// TryNad83ToNad27 for the points k < count (at most kSideBySideShifts) whose bit is set in
/// `lanes`, their passes run side by side: each point takes exactly the steps, and gets exactly
/// the result, TryNad83ToNad27 gives it alone, but the points' independent iterations overlap.
/// Reads x, y and writes outX, outY (which must not be x or y); returns the mask of the points
/// of `lanes` it could not shift (their outputs unspecified).
unsigned TryNad83ToNad27SideBySide(std::size_t count, unsigned lanes, const double* x,
                                   const double* y, double* outX, double* outY) noexcept;

}  // namespace lantrel::detail
