// The served window, inside which the datum can change: 81.5-90 W, 36-39.5 N, bounds included.
// A coordinate that is not a number fails the test.
#pragma once

#include "lantrel/pair.hpp"

namespace lantrel::detail {

constexpr bool InShiftWindow(Pair geo) noexcept {
  return geo.x >= 81.5 && geo.x <= 90.0 && geo.y >= 36.0 && geo.y <= 39.5;
}

}  // namespace lantrel::detail
