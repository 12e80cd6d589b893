// Writing the map as an SVG document: the reference areas, the optional Carter grid, the points
// with their labels, a north arrow, scale bars and a legend.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "map/carter_grid.hpp"
#include "map/map_frame.hpp"
#include "map/map_layers.hpp"
#include "map/svg_writer.hpp"

namespace lantrel::cli::map {

// Canvas layout in pixels: a title row, the map frame, and a panel for legend and scale bars.
inline constexpr double kCanvasWidth = 1000.0;
inline constexpr double kCanvasHeight = 820.0;
inline constexpr double kFrameLeft = 20.0;
inline constexpr double kFrameTop = 44.0;
inline constexpr double kFrameWidth = 960.0;
inline constexpr double kFrameHeight = 620.0;

// Colours of the map's layers.
inline constexpr const char* kPointFill = "#e41a1c";
inline constexpr const char* kCountyLine = "#8c6d46";
inline constexpr const char* kStateLine = "#333333";
inline constexpr const char* kHomeStateFill = "#fbf6e6";
inline constexpr const char* kOtherStateFill = "#e9e9e9";
inline constexpr const char* kNoDataFill = "#f4f7fa";
inline constexpr const char* kQuadLine = "#5b8fc9";
inline constexpr const char* kBlockLine = "#2e8b57";
inline constexpr const char* kSectionLine = "#8cc79a";

struct PointMark {
  ScreenPoint at;
  std::uint64_t line = 0;  // input line of the point
  std::string label;       // the text after the coordinates, or empty
  std::string county;      // the first county the lookup found, "" outside the home state
  std::string quad;        // the first quadrangle
  GeoPoint geo;            // NAD 83, west-positive longitude
};

struct MapDocument {
  std::string title;
  std::string subtitle;
  MapFrame frame{Extent{0, 0, 1, 1}, kFrameLeft, kFrameTop, kFrameWidth, kFrameHeight};
  MapLayers layers;
  std::optional<CarterGrid> carter;
  std::vector<PointMark> points;
  /// Direction of true north at the frame's middle, degrees clockwise from the canvas's up.
  double northAngle = 0.0;
};

/// The whole SVG document.
std::string RenderSvg(const MapDocument& doc);

}  // namespace lantrel::cli::map
