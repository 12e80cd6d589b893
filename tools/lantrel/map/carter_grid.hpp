// The Carter grid over the map: 5' block lines and 1' section lines on the chosen datum, with
// block names (D45) and section numbers as the library numbers them.
#pragma once

#include <string>
#include <vector>

#include "lantrel/lantrel.hpp"
#include "map/map_frame.hpp"
#include "map/map_projection.hpp"

namespace lantrel::cli::map {

struct GridLine {
  std::vector<ScreenPoint> points;
  bool block = false;  // a 5' block line (else a 1' section line)
};

struct GridLabel {
  ScreenPoint at;
  std::string text;
  bool block = false;
};

struct CarterGrid {
  zrGeoDatum datum = zrGeoDatum::zrNAD83;
  std::vector<GridLine> lines;
  std::vector<GridLabel> labels;
  bool blocks = false;    // block lines drawn (left out when too dense to read)
  bool sections = false;  // section lines drawn (likewise)
};

/// Canvas sizes below which section lines, section numbers and block names are left out.
inline constexpr double kMinBlockLinePixels = 12.0;
inline constexpr double kMinSectionLinePixels = 8.0;
inline constexpr double kMinSectionLabelPixels = 24.0;
inline constexpr double kMinBlockLabelPixels = 40.0;

/// The grid lines and labels that fall in the frame. Lines are on `datum` (a NAD 27 grid is
/// shifted onto the NAD 83 map by the library); labels come from converting each cell's middle
/// to a Carter location.
CarterGrid BuildCarterGrid(MapProjection& projection, const MapFrame& frame, zrGeoDatum datum);

}  // namespace lantrel::cli::map
