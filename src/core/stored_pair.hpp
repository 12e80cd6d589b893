// The pair a new position stores after its x and y lets: x as a magnitude (a west longitude
// or an easting written with either sign), y as written, except that a zero of either sign
// leaves the new position's +0 in place (the lets ignore a value equal to the stored one).
#pragma once

#include <cmath>

#include "lantrel/pair.hpp"

namespace lantrel::detail {

inline Pair LetPair(double x, double y) noexcept {
  return Pair{std::fabs(x), y == 0.0 ? 0.0 : y};
}

}  // namespace lantrel::detail
