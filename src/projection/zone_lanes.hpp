// The zone kernels of one system for blocks of points: the family chosen once, when the array
// starts, then the projection and its unit scaling run lane by lane with the operations of the
// checked driver (projection/zone_driver.hpp), unchecked; the caller reads the floating-point
// status once per block.
#pragma once

#include <cstdint>

#include "core/units.hpp"
#include "lantrel/enums.hpp"
#include "projection/lambert_conformal_conic.hpp"
#include "projection/lanes.hpp"
#include "projection/transverse_mercator_series.hpp"
#include "projection/zone_table.hpp"

namespace lantrel::detail {

class ZoneLanes {
 public:
  ZoneLanes(std::int32_t datum, std::int32_t projection, std::int32_t units) noexcept
      : family_(FamilyOf(projection)), units_(units), lambert_(Zone(datum, projection)),
        mercator_(Zone(datum, projection)) {}

  /// Angular systems (geographic, Carter) have no kernel: their pair is the geographic pair.
  bool Angular() const noexcept {
    return family_ == ProjectionFamily::Geographic || family_ == ProjectionFamily::Carter;
  }

  /// Stored pairs in the system's unit -> geographic degrees, in place.
  void Reverse(Block& x, Block& y) const noexcept {
    if (Angular()) return;
    ScaleInPlace(x, y, units_, MetresPerUnit(units_));
    if (family_ == ProjectionFamily::Lambert) {
      lambert_.Reverse(x, y, x, y);
    } else {
      mercator_.Reverse(x, y, x, y);
    }
  }

  /// Geographic degrees -> stored pairs in the system's unit, in place.
  void Forward(Block& x, Block& y) const noexcept {
    if (Angular()) return;
    if (family_ == ProjectionFamily::Lambert) {
      lambert_.Forward(x, y, x, y);
    } else {
      mercator_.Forward(x, y, x, y);
    }
    ScaleInPlace(x, y, units_, UnitsPerMetre(units_));
  }

 private:
  ProjectionFamily family_;
  std::int32_t units_;
  // Only the kernel of the system's family is used; the other holds that record's zeros.
  LambertConformalConic lambert_;
  TransverseMercator mercator_;
};

}  // namespace lantrel::detail
