/// \file
/// lantrel — System, one coordinate system: projection, datum and units.
//
// The one description of a coordinate system every face of the library takes: the array
// conversion (Transformer, GridFactors), the system texts (system_text.hpp), the C interface
// (as the three raw codes) and the tool. It carries the EPSG code it was named by, which
// naming and describing use and every comparison and conversion ignores.
#pragma once

#include <cstdint>

#include "lantrel/enums.hpp"

namespace lantrel {

/// A coordinate system: projection, datum and units, and the EPSG code it was named by.
///
/// A plain value; any thread may use its own copy.
struct System {
  zrGeoProjection projection = zrGeoProjection::zrGeographic;  ///< the projection
  zrGeoDatum datum = zrGeoDatum::zrNAD83;                      ///< the horizontal datum
  zrGeoUnits units = zrGeoUnits::zrDecimalDegrees;             ///< the units of the pair
  std::int32_t epsg = 0;  ///< the EPSG code the system was given as, 0 when named

  /// Geographic NAD 83 in decimal degrees.
  constexpr System() noexcept = default;
  /// A system of the three enumerations, named by `epsgCode` when it is not 0.
  constexpr System(zrGeoProjection p, zrGeoDatum d, zrGeoUnits u,
                   std::int32_t epsgCode = 0) noexcept
      : projection(p), datum(d), units(u), epsg(epsgCode) {}
  /// A system of the raw zrGeoProjection, zrGeoDatum and zrGeoUnits codes, as the C interface
  /// passes them. The codes are kept as given; the calls that take a system validate them.
  constexpr System(std::int32_t p, std::int32_t d, std::int32_t u) noexcept
      : projection(static_cast<zrGeoProjection>(p)), datum(static_cast<zrGeoDatum>(d)),
        units(static_cast<zrGeoUnits>(u)) {}

  /// The raw zrGeoProjection code.
  constexpr std::int32_t ProjectionCode() const noexcept {
    return static_cast<std::int32_t>(projection);
  }
  /// The raw zrGeoDatum code.
  constexpr std::int32_t DatumCode() const noexcept { return static_cast<std::int32_t>(datum); }
  /// The raw zrGeoUnits code.
  constexpr std::int32_t UnitsCode() const noexcept { return static_cast<std::int32_t>(units); }

  /// Whether the pair is a longitude and a latitude (geographic and Carter systems).
  constexpr bool Angular() const noexcept {
    return projection == zrGeoProjection::zrGeographic ||
           projection == zrGeoProjection::zrCarter;
  }
  /// Whether this is the Carter system.
  constexpr bool IsCarter() const noexcept { return projection == zrGeoProjection::zrCarter; }
  /// Same projection, datum and units (the EPSG code the system was named by is ignored).
  friend constexpr bool operator==(const System& a, const System& b) noexcept {
    return a.projection == b.projection && a.datum == b.datum && a.units == b.units;
  }
  /// Negation of operator==.
  friend constexpr bool operator!=(const System& a, const System& b) noexcept {
    return !(a == b);
  }
};

/// The name the array conversion gave a system before System carried its EPSG code: the same
/// type, kept for existing callers.
using CoordinateSystem = System;

}  // namespace lantrel
