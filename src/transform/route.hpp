// What a conversion between two validated systems needs at hand for every point: the codes,
// the projection families and the zone kernels of both ends, built once per array.
#pragma once

#include "lantrel/enums.hpp"
#include "lantrel/transformer.hpp"
#include "projection/lambert_conformal_conic.hpp"
#include "projection/transverse_mercator_series.hpp"
#include "projection/zone_table.hpp"

namespace lantrel::detail {

struct Route {
  Route(CoordinateSystem from_, CoordinateSystem to_, bool westPositive_) noexcept
      : from(from_), to(to_), westPositive(westPositive_), fromFamily(FamilyOf(from_.projection)),
        toFamily(FamilyOf(to_.projection)), fromLambert(Zone(from_.datum, from_.projection)),
        toLambert(Zone(to_.datum, to_.projection)),
        fromMercator(Zone(from_.datum, from_.projection)),
        toMercator(Zone(to_.datum, to_.projection)) {}

  CoordinateSystem from, to;
  bool westPositive;
  ProjectionFamily fromFamily, toFamily;
  // Only the kernels of each end's family are used; the others hold that record's zeros.
  LambertConformalConic fromLambert, toLambert;
  TransverseMercator fromMercator, toMercator;
};

}  // namespace lantrel::detail
