// NAD 27 <-> NAD 83 by the built-in NADCON grids of the window 35.75-39.75 N, 81.25-90.25 W.
#pragma once

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

}  // namespace lantrel::detail
