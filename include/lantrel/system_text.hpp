/// \file
/// lantrel — coordinate systems as text: PROJECTION[/DATUM[/UNITS]] or EPSG:CODE.
//
// The names the command-line tool, the C interface and the Python package accept for a
// coordinate system, the EPSG codes the library serves, and the names it writes back.
// Everything here is pure and thread-safe; the tables are compiled in and immutable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lantrel/enums.hpp"
#include "lantrel/system.hpp"

namespace lantrel {

/// Result of parsing a system name: the system, or a message saying what is wrong.
struct SystemParse {
  std::optional<System> system;  ///< the system, empty on failure
  std::string error;             ///< what is wrong with the text, empty on success
};

/// The datum a Carter system takes when its text names none: NAD 27, the datum the state's
/// survey defines Carter locations on. (A new position, and every other projection named
/// without a datum, start on NAD 83.)
inline constexpr zrGeoDatum kCarterDefaultDatum = zrGeoDatum::zrNAD27;

/// The WGS 84 geographic code. EPSG:4326 and OGC:CRS84 are read as geographic NAD 83: a null
/// transformation, as PROJ's ballpark transformation between the two, good to a few metres
/// (NAD 83 and WGS 84 lie about one to two metres apart in the served region). Neither is in
/// EpsgTable(), so the code of geographic NAD 83 stays 4269.
inline constexpr std::int32_t kWgs84Epsg = 4326;

/// Parses PROJECTION[/DATUM[/UNITS]], EPSG:CODE or OGC:CRS84. Names are case-insensitive;
/// enumeration member names and numeric codes are accepted too. The Carter projection named
/// without a datum is on kCarterDefaultDatum. Combinations the library would silently
/// change (the single zone on NAD 27, linear units on geographic coordinates, degrees on a
/// plane zone) are refused rather than reinterpreted. Never throws except std::bad_alloc.
SystemParse ParseSystem(std::string_view text);

/// ASCII comparison ignoring case.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

/// The unit a plane or angular system takes when none is named.
zrGeoUnits DefaultUnits(zrGeoProjection projection);

/// Short name of a projection ("north"); the code must be valid.
std::string_view ShortName(zrGeoProjection p);
/// Short name of a datum ("nad83").
std::string_view ShortName(zrGeoDatum d);
/// Short name of a unit ("usft"); the code must be valid.
std::string_view ShortName(zrGeoUnits u);
/// Enumeration member name of a projection ("zrNorthZone"); the code must be valid.
std::string_view MemberName(zrGeoProjection p);
/// Descriptive name of a projection ("Kentucky North zone"); the code must be valid.
std::string_view LongName(zrGeoProjection p);
/// Descriptive name of a datum ("NAD 83").
std::string_view LongName(zrGeoDatum d);
/// Descriptive name of a unit ("US survey feet"); the code must be valid.
std::string_view LongName(zrGeoUnits u);

/// "north/nad83/usft".
std::string Canonical(const System& s);
/// "north/nad83/usft (Kentucky North zone, NAD 83, US survey feet)", with the EPSG code first
/// when the system was given as one.
std::string Describe(const System& s);

/// One EPSG code the library serves and the system it stands for.
struct EpsgEntry {
  std::int32_t code;           ///< the EPSG code
  zrGeoProjection projection;  ///< its projection
  zrGeoDatum datum;            ///< its datum
  zrGeoUnits units;            ///< its units
};

/// A read-only view of the compiled-in EPSG table.
struct EpsgEntries {
  const EpsgEntry* first = nullptr;  ///< the first entry
  std::size_t count = 0;             ///< number of entries

  /// Start of the entries.
  const EpsgEntry* begin() const { return first; }
  /// End of the entries.
  const EpsgEntry* end() const { return first + count; }
  /// Number of entries.
  std::size_t size() const { return count; }
  /// Whether there are none.
  bool empty() const { return count == 0; }
  /// Entry i (i below size()).
  const EpsgEntry& operator[](std::size_t i) const { return first[i]; }
};

/// Every EPSG code the library serves, in ascending order.
EpsgEntries EpsgTable();
/// The EPSG code of a system, 0 when it has none.
std::int32_t EpsgOf(const System& s);

}  // namespace lantrel
