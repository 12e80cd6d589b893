// What a conversion between two validated systems needs at hand for every point: the codes
// and the zone kernels of both ends, built once per array.
#pragma once

#include "lantrel/transformer.hpp"
#include "projection/zone_lanes.hpp"

namespace lantrel::detail {

struct Route {
  Route(CoordinateSystem from_, CoordinateSystem to_, bool westPositive_) noexcept
      : from(from_), to(to_), westPositive(westPositive_),
        fromZone(from_.datum, from_.projection, from_.units),
        toZone(to_.datum, to_.projection, to_.units) {}

  CoordinateSystem from, to;
  bool westPositive;
  ZoneLanes fromZone, toZone;
};

}  // namespace lantrel::detail
