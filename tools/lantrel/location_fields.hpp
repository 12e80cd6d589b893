// The fields a located point adds to its record: the state, county (with its plane zone) and
// quadrangle that contain it, and its Carter location.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lantrel/lantrel.hpp"

namespace lantrel::cli {

/// Names of the added fields, in the order they are written.
inline constexpr std::array<std::string_view, 9> kLocationFieldNames{
    "state", "state_fips", "county", "county_fips", "sp_zone",
    "quad",  "quad_tile",  "quad_state", "carter"};

/// One point's location. A point on a boundary belongs to several areas; each field holds the
/// first of them in the data file's order (what the position reports at index 0). Texts are
/// empty and codes absent where no area contains the point, and carter is empty outside the
/// Carter grid.
struct LocationFields {
  std::string state;
  std::optional<std::int32_t> stateFips;
  std::string county;
  std::optional<std::int32_t> countyFips;
  std::string spZone;
  std::string quad;
  std::string quadTile;
  std::string quadState;
  std::string carter;

  /// Field i (in kLocationFieldNames order) as text; codes in decimal, absent ones empty.
  std::string Text(std::size_t i) const;
  /// Whether field i is a whole-number code.
  static bool IsCode(std::size_t i) { return i == 1 || i == 3; }
  /// Field i as a code (only for IsCode(i)).
  std::optional<std::int32_t> Code(std::size_t i) const { return i == 1 ? stateFips : countyFips; }
};

/// Looks up the position's current point. The Carter location is the point's on the position's
/// datum (ZGS layout when zgs is set); reading it converts the position to the Carter system,
/// so the caller places the next point afresh. Library errors (data not loaded, faulty data,
/// arithmetic) are thrown as lantrel::Error.
LocationFields LocatePoint(ZrGeoPosition& position, bool zgs);

}  // namespace lantrel::cli
