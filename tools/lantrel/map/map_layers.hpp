// What the map draws from the reference data file: the state and county outlines and the
// quadrangle rectangles that meet the map's extent, on the canvas.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lantrel/locator.hpp"
#include "map/map_frame.hpp"
#include "map/map_projection.hpp"
#include "map/svg_writer.hpp"

namespace lantrel::cli::map {

struct Outline {
  std::string name;
  std::int32_t fips = 0;
  bool home = false;  // one of the home state's own records (states only)
  /// The outline's vertices in file order: consecutive vertices are the edges the lookup tests.
  std::vector<ScreenPoint> points;
  /// Where the name goes: a point inside the outline and the frame; empty when none is found.
  std::optional<ScreenPoint> label;
};

struct QuadCell {
  std::string name, state, tile;
  std::vector<ScreenPoint> ring;  // the rectangle's edges, parallels bent as the plane bends them
  std::optional<ScreenPoint> label;
};

struct MapLayers {
  std::vector<Outline> states;
  std::vector<Outline> counties;
  std::vector<QuadCell> quads;
  /// Quadrangles are left out when one would be narrower than kMinQuadPixels on the canvas.
  bool quadsDrawn = true;
};

inline constexpr double kMinQuadPixels = 14.0;

/// The areas whose bounding boxes meet the frame's extent, projected onto the canvas. Records
/// whose vertex positions lie outside the file's lists are left out rather than drawn wrong.
MapLayers CollectLayers(const Locator& data, MapProjection& projection,
                        const MapFrame& frame);

/// Even-odd test of a canvas point against a polyline read as a closed outline.
bool InsideOutline(const std::vector<ScreenPoint>& outline, ScreenPoint p);

/// A point inside the outline and inside the frame (by `inset` pixels) for its label: of a
/// grid of candidates over the visible part, the one nearest that part's centre.
std::optional<ScreenPoint> LabelPoint(const std::vector<ScreenPoint>& outline, const MapFrame& frame,
                                      double inset);

}  // namespace lantrel::cli::map
