// Coordinate systems as the tool names them: PROJECTION[/DATUM[/UNITS]] or EPSG:CODE.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "lantrel/enums.hpp"

namespace lantrel::cli {

struct System {
  zrGeoProjection projection = zrGeoProjection::zrGeographic;
  zrGeoDatum datum = zrGeoDatum::zrNAD83;
  zrGeoUnits units = zrGeoUnits::zrDecimalDegrees;
  std::int32_t epsg = 0;  // the EPSG code the system was given as, 0 when named

  bool Angular() const {
    return projection == zrGeoProjection::zrGeographic ||
           projection == zrGeoProjection::zrCarter;
  }
  bool IsCarter() const { return projection == zrGeoProjection::zrCarter; }
  friend bool operator==(const System& a, const System& b) {
    return a.projection == b.projection && a.datum == b.datum && a.units == b.units;
  }
};

/// Result of parsing a system name: the system, or a message saying what is wrong.
struct SystemParse {
  std::optional<System> system;
  std::string error;
};

/// Parses PROJECTION[/DATUM[/UNITS]] or EPSG:CODE. Names are case-insensitive; enumeration
/// member names and numeric codes are accepted too. Combinations the library would silently
/// change (the single zone on NAD 27, linear units on geographic coordinates, degrees on a
/// plane zone) are refused rather than reinterpreted.
SystemParse ParseSystem(std::string_view text);

/// ASCII comparison ignoring case.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

/// The unit a plane or angular system takes when none is named.
zrGeoUnits DefaultUnits(zrGeoProjection projection);

/// Short names used by the tool ("north", "nad83", "usft").
std::string_view ShortName(zrGeoProjection p);
std::string_view ShortName(zrGeoDatum d);
std::string_view ShortName(zrGeoUnits u);
/// Enumeration member names ("zrNorthZone", "zrNAD83", "zrUSFt").
std::string_view MemberName(zrGeoProjection p);
/// Descriptive names ("Kentucky North zone", "NAD 83", "US survey feet").
std::string_view LongName(zrGeoProjection p);
std::string_view LongName(zrGeoDatum d);
std::string_view LongName(zrGeoUnits u);

/// "north/nad83/usft".
std::string Canonical(const System& s);
/// "north/nad83/usft (Kentucky North zone, NAD 83, US survey feet)", with the EPSG code first
/// when the system was given as one.
std::string Describe(const System& s);

struct EpsgEntry {
  std::int32_t code;
  zrGeoProjection projection;
  zrGeoDatum datum;
  zrGeoUnits units;
};

/// Every EPSG code the tool accepts, in ascending order.
std::span<const EpsgEntry> EpsgTable();
/// The EPSG code of a system, 0 when it has none.
std::int32_t EpsgOf(const System& s);

}  // namespace lantrel::cli
