// What a conversion between two validated systems needs at hand for every point: the codes
// and the zone kernels of both ends, built once per array.
#pragma once

#include "lantrel/transformer.hpp"
#include "projection/zone_lanes.hpp"

namespace lantrel::detail {

struct Route {
  Route(System from_, System to_, bool westPositive_) noexcept
      : from(from_), to(to_), westPositive(westPositive_),
        fromZone(from_.DatumCode(), from_.ProjectionCode(), from_.UnitsCode()),
        toZone(to_.DatumCode(), to_.ProjectionCode(), to_.UnitsCode()) {}

  System from, to;
  bool westPositive;
  ZoneLanes fromZone, toZone;
};

}  // namespace lantrel::detail
