// lantrel — coordinate pair: x first (easting or west-positive longitude), then y.
#pragma once

namespace lantrel {

struct Pair {
  double x = 0.0;
  double y = 0.0;
  friend bool operator==(const Pair&, const Pair&) = default;
};

}  // namespace lantrel
