// lantrel — the three enumerations of the automation interface.
// Values are part of the external contract and are stored as 32-bit signed integers.
#pragma once

#include <cstdint>

namespace lantrel {

// Scoped, because the projection member zrCarter shares its name with the Carter class.
enum class zrGeoDatum : std::int32_t { zrNAD83 = 0, zrNAD27 = 1 };

enum class zrGeoUnits : std::int32_t {
  zrDecimalDegrees = 0, zrUSFt, zrMeters, zrIntlFt, zrMiles, zrKilometers
};

enum class zrGeoProjection : std::int32_t {
  zrSingleZone = 0, zrNorthZone, zrSouthZone, zrUTM16, zrUTM17, zrGeographic, zrCarter,
  moEastZone, ilWestZone, ilEastZone, inWestZone, inEastZone,
  ohSouthZone, wvSouthZone, vaSouthZone, tnSingleZone
};

/// Which projection code handles a member of zrGeoProjection.
enum class ProjectionFamily { Lambert, TransverseMercator, Geographic, Carter };

/// Family of a projection code 0..15 (codes outside that range are the caller's fault).
constexpr ProjectionFamily FamilyOf(std::int32_t projection) noexcept {
  switch (projection) {
    case 3: case 4: case 7: case 8: case 9: case 10: case 11:
      return ProjectionFamily::TransverseMercator;
    case 5:
      return ProjectionFamily::Geographic;
    case 6:
      return ProjectionFamily::Carter;
    default:
      return ProjectionFamily::Lambert;
  }
}

}  // namespace lantrel
