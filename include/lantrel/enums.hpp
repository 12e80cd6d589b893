/// \file
/// lantrel — the three enumerations of the automation interface.
// Values are part of the external contract and are stored as 32-bit signed integers.
#pragma once

#include <cstdint>

namespace lantrel {

// Scoped, because the projection member zrCarter shares its name with the Carter class.
/// Horizontal datum.
enum class zrGeoDatum : std::int32_t {
  zrNAD83 = 0,  ///< North American Datum of 1983 (GRS 80 ellipsoid).
  zrNAD27 = 1   ///< North American Datum of 1927 (Clarke 1866 ellipsoid).
};

/// Unit of a coordinate pair.
enum class zrGeoUnits : std::int32_t {
  zrDecimalDegrees = 0,  ///< Decimal degrees (geographic and Carter systems only).
  zrUSFt,                ///< US survey foot (1200/3937 m).
  zrMeters,              ///< Metre.
  zrIntlFt,              ///< International foot (0.3048 m).
  zrMiles,               ///< US survey mile (5280 US survey feet).
  zrKilometers           ///< Kilometre.
};

/// Coordinate system of a pair.
enum class zrGeoProjection : std::int32_t {
  zrSingleZone = 0,  ///< Kentucky single zone (Lambert; NAD 83 only).
  zrNorthZone,       ///< Kentucky north zone (Lambert).
  zrSouthZone,       ///< Kentucky south zone (Lambert).
  zrUTM16,           ///< UTM zone 16 north (Transverse Mercator).
  zrUTM17,           ///< UTM zone 17 north (Transverse Mercator).
  zrGeographic,      ///< Longitude and latitude in decimal degrees.
  zrCarter,          ///< The Carter location grid (the position's zrCarter object).
  moEastZone,        ///< Missouri East (Transverse Mercator).
  ilWestZone,        ///< Illinois West (Transverse Mercator).
  ilEastZone,        ///< Illinois East (Transverse Mercator).
  inWestZone,        ///< Indiana West (Transverse Mercator).
  inEastZone,        ///< Indiana East (Transverse Mercator).
  ohSouthZone,       ///< Ohio South (Lambert).
  wvSouthZone,       ///< West Virginia South (Lambert).
  vaSouthZone,       ///< Virginia South (Lambert).
  tnSingleZone       ///< Tennessee (Lambert).
};

/// Which projection code handles a member of zrGeoProjection.
enum class ProjectionFamily {
  Lambert,             ///< Lambert conformal conic: 0, 1, 2, 12–15.
  TransverseMercator,  ///< Transverse Mercator: 3, 4, 7–11.
  Geographic,          ///< Geographic: 5.
  Carter               ///< Carter: 6.
};

/// Family of a projection code 0..15 (codes outside that range are the caller's fault and
/// give Lambert). Never throws; any thread.
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
