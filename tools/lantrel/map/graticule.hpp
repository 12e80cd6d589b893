// Graticule ticks on the neat line: where round meridians cross the top and bottom edges of
// the frame and round parallels cross its left and right edges, with their values.
#pragma once

#include <string>
#include <vector>

#include "map/map_frame.hpp"
#include "map/map_projection.hpp"

namespace lantrel::cli::map {

enum class FrameEdge { Top, Bottom, Left, Right };

struct GraticuleTick {
  FrameEdge edge;
  ScreenPoint at;    // on the frame's edge
  std::string text;  // "84°30′W", "38°N"
};

/// The tick interval in arcminutes for a span of `degrees`: the finest of 1', 2', 5', 10', 15',
/// 30', 1°, 2° giving at most `most` ticks.
int TickMinutes(double degrees, int most);

/// "84°30′W" for a west-positive longitude, "38°N" for a latitude, from whole arcminutes.
std::string TickText(long minutes, bool longitude);

/// The ticks on all four edges (at most about six along each).
std::vector<GraticuleTick> GraticuleTicks(MapProjection& projection, const MapFrame& frame);

}  // namespace lantrel::cli::map
