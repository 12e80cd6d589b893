/// \file
/// lantrel — coordinate pair: x first (easting or west-positive longitude), then y.
#pragma once

namespace lantrel {

/// A coordinate pair: x first (easting, or longitude as a west-positive magnitude), then y
/// (northing or latitude). A plain value; any thread may use its own copy.
struct Pair {
  double x = 0.0;  ///< Easting, or longitude in decimal degrees (west positive).
  double y = 0.0;  ///< Northing, or latitude in decimal degrees.

  /// Both members equal (exact comparison; NaN equals nothing).
  friend bool operator==(const Pair& a, const Pair& b) { return a.x == b.x && a.y == b.y; }
  /// Either member differs.
  friend bool operator!=(const Pair& a, const Pair& b) { return !(a == b); }
};

}  // namespace lantrel
