// A partial Carter location — a block ("D45") or a block and section ("D45-07") without
// footage calls — names an area, not a point: the block's 5' or the section's 1' cell.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "lantrel/lantrel.hpp"

namespace lantrel::cli::serve {

struct PartialCarter {
  std::string letter;
  std::int32_t number = 0;
  std::int32_t section = 0;  // 0: the whole block
};

/// Reads "D45", "D-45", "D45-07", "D 45 7" (letter, number, optional section) filling the text.
std::optional<PartialCarter> ParsePartialCarter(std::string_view text);

struct CarterCell {
  /// Geographic box on the grid's datum, longitudes west-positive.
  double east = 0.0, west = 0.0, south = 0.0, north = 0.0;
  zrGeoDatum datum = zrGeoDatum::zrNAD27;
  std::string name;  // "D45" or "D45-07" as the library writes the block and section
};

/// The cell the location names, on `datum`. Raises the library's Carter errors (1011-1013) for
/// a letter, number or section it refuses.
CarterCell CellOf(const PartialCarter& location, zrGeoDatum datum);

/// The cell that holds a geographic point (west-positive longitude) on the grid's datum:
/// a 5' block or a 1' section.
CarterCell GridCell(double westLongitude, double latitude, bool section, zrGeoDatum datum);

/// Whether a point (west-positive) lies in the Carter grid.
bool InCarterGrid(double westLongitude, double latitude);

inline constexpr double kCarterBlock = 5.0 / 60.0;
inline constexpr double kCarterSection = 1.0 / 60.0;
inline constexpr double kCarterSouth = 36.5;
inline constexpr double kCarterNorth = 39.25;
inline constexpr double kCarterEast = 81.0 + 55.0 / 60.0;
inline constexpr double kCarterWest = 89.0 + 35.0 / 60.0;

}  // namespace lantrel::cli::serve
