/// \file
/// lantrel — the fields a located point adds to its record: the state, county (with its plane
/// zone) and quadrangle that contain it, and its Carter location, under the names every front
/// end writes them with.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "lantrel/position.hpp"

namespace lantrel {

/// Names of the added fields, in the order they are written.
inline constexpr std::array<std::string_view, 10> kLocationFieldNames{
    "state", "state_fips", "county", "county_fips", "sp_zone",
    "quad",  "quad_tile",  "quad_state", "carter", "geoid"};

/// Index of the Carter location among the fields.
inline constexpr std::size_t kCarterField = 8;

/// One point's location. A point on a boundary belongs to every area sharing it: each field
/// then lists them all in the data file's order (what the position reports at indexes 0, 1,
/// ...), joined by ';'. Fields are empty where no area contains the point, and carter is
/// empty outside the Carter grid. Codes are written as Census tables write them, zero-padded
/// text: state_fips "21", county_fips "053" (the county part), geoid "21053" (both). The
/// geoid comes last so that readers counting fields find the others where they were.
struct LocationFields {
  std::array<std::string, kLocationFieldNames.size()> values;  ///< the fields, in name order

  /// Field i, in kLocationFieldNames order.
  const std::string& Text(std::size_t i) const { return values[i]; }
  /// The Carter location string.
  const std::string& Carter() const { return values[kCarterField]; }
};

/// Adds one more area's text to a location field, the one rule every front end joins the areas
/// of a point on a boundary by: a ';' goes before the text once the field holds something (so
/// no ';' leads, and an empty first text leaves none either). A field of no areas stays empty.
void JoinLocationField(std::string& field, std::string_view text);

/// Looks up the position's current point. The Carter location is the point's on the position's
/// datum (ZGS layout when zgs is set); reading it converts the position to the Carter system,
/// so the caller places the next point afresh. Library errors (data not loaded, faulty data,
/// arithmetic) are thrown as lantrel::Error.
LocationFields LocatePoint(ZrGeoPosition& position, bool zgs);

}  // namespace lantrel
