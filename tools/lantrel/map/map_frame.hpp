// The rectangle of the map plane that is drawn, and its placement on the canvas.
#pragma once

#include <vector>

#include "map/map_projection.hpp"
#include "map/svg_writer.hpp"

namespace lantrel::cli::map {

struct Extent {
  double minE = 0.0, minN = 0.0, maxE = 0.0, maxN = 0.0;
};

/// The extent around the points: their bounding box widened by a fifth on every side (at least
/// `minHalfSize` metres from the centre each way), then grown to the given width/height ratio.
Extent ExtentAround(const std::vector<MapPoint>& points, double aspect, double minHalfSize);

class MapFrame {
 public:
  /// Shows `extent` in the canvas rectangle (left, top, width, height); the extent is grown
  /// to the rectangle's ratio so a metre is as wide as it is tall.
  MapFrame(Extent extent, double left, double top, double width, double height);

  ScreenPoint ToScreen(MapPoint p) const;
  MapPoint ToMap(ScreenPoint s) const;
  double PixelsPerMetre() const { return scale_; }
  const Extent& extent() const { return extent_; }
  double left() const { return left_; }
  double top() const { return top_; }
  double width() const { return width_; }
  double height() const { return height_; }
  /// Whether a canvas point lies in the frame, shrunk by `inset` pixels on every side.
  bool Contains(ScreenPoint s, double inset = 0.0) const;
  /// Whether a map-plane box meets the extent.
  bool Meets(const Extent& box) const;

 private:
  Extent extent_;
  double left_, top_, width_, height_;
  double scale_;
};

}  // namespace lantrel::cli::map
