// Writing the map as an SVG document: the reference areas, the optional Carter grid, the points
// with their labels, a north arrow, scale bars and a legend.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "map/carter_grid.hpp"
#include "map/graticule.hpp"
#include "map/map_frame.hpp"
#include "map/map_layers.hpp"
#include "map/svg_writer.hpp"

namespace lantrel::cli::map {

// Canvas layout in pixels: a title row, the map frame, and a panel below it for legend, scale
// bars, the systems of the map and the source of its data. The frame takes what the margins
// leave of the canvas (960 x 620 of the default 1000 x 820).
inline constexpr double kCanvasWidth = 1000.0;
inline constexpr double kCanvasHeight = 820.0;
inline constexpr double kMinCanvasWidth = 800.0;
inline constexpr double kMinCanvasHeight = 600.0;
inline constexpr double kMaxCanvasSide = 8000.0;
inline constexpr double kFrameLeft = 20.0;
inline constexpr double kFrameTop = 44.0;
inline constexpr double kFrameRightMargin = 20.0;
inline constexpr double kFrameBottomMargin = 156.0;

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
  double width = kCanvasWidth;
  double height = kCanvasHeight;
  std::string title;
  std::string subtitle;
  /// Where the reference data comes from and the date of the data file.
  std::string source;
  MapFrame frame{Extent{0, 0, 1, 1}, kFrameLeft, kFrameTop, kCanvasWidth - kFrameLeft - kFrameRightMargin,
                 kCanvasHeight - kFrameTop - kFrameBottomMargin};
  MapLayers layers;
  std::optional<CarterGrid> carter;
  std::vector<PointMark> points;
  /// Where round meridians and parallels meet the frame's edges.
  std::vector<GraticuleTick> ticks;
  /// Direction of true north at the frame's middle, degrees clockwise from the canvas's up.
  double northAngle = 0.0;
};

/// The canvas rectangle of the map frame for a canvas of the given size.
MapFrame FrameFor(const Extent& extent, double width, double height);

/// What became of the points' labels.
struct LabelCount {
  std::size_t wanted = 0;   // points with a label
  std::size_t placed = 0;   // of which drawn beside the point
  std::size_t led = 0;      // drawn farther off, with a lead line
  std::size_t dropped() const { return wanted - placed - led; }
};

/// The whole SVG document; `labels`, when given, receives what became of the points' labels.
std::string RenderSvg(const MapDocument& doc, LabelCount* labels = nullptr);

}  // namespace lantrel::cli::map
