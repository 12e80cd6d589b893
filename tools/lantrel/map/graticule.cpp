#include "map/graticule.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace lantrel::cli::map {

namespace {

// Longitude (west-positive) or latitude along an edge, sampled every few pixels; a tick
// where the value passes a multiple of the interval, placed by linear interpolation between
// the two samples around it.
struct EdgeWalk {
  FrameEdge edge;
  ScreenPoint from, to;
  bool longitude;
};

std::optional<double> ValueAt(MapProjection& projection, const MapFrame& frame, ScreenPoint s, bool longitude) {
  const auto g = projection.Inverse(frame.ToMap(s));
  if (!g) return std::nullopt;
  return longitude ? g->lon : g->lat;
}

}  // namespace

int TickMinutes(double degrees, int most) {
  for (const int step : {1, 2, 5, 10, 15, 30, 60, 120}) {
    if (degrees * 60.0 / step <= most) return step;
  }
  return 240;
}

std::string TickText(long minutes, bool longitude) {
  const char* hemisphere = longitude ? (minutes >= 0 ? "W" : "E") : (minutes >= 0 ? "N" : "S");
  const long m = std::labs(minutes);
  std::string text = std::to_string(m / 60) + "\u00B0";
  if (m % 60 != 0) text += std::to_string(m % 60) + "\u2032";
  return text + hemisphere;
}

std::vector<GraticuleTick> GraticuleTicks(MapProjection& projection, const MapFrame& frame) {
  const double l = frame.left(), t = frame.top();
  const double r = l + frame.width(), b = t + frame.height();
  const EdgeWalk walks[] = {
      {FrameEdge::Top, {l, t}, {r, t}, true},
      {FrameEdge::Bottom, {l, b}, {r, b}, true},
      {FrameEdge::Left, {l, b}, {l, t}, false},
      {FrameEdge::Right, {r, b}, {r, t}, false},
  };
  // One interval for both directions, from the wider of the two spans.
  double span = 0.0;
  for (const auto& w : walks) {
    const auto a = ValueAt(projection, frame, w.from, w.longitude);
    const auto z = ValueAt(projection, frame, w.to, w.longitude);
    if (a && z) span = std::max(span, std::fabs(*z - *a));
  }
  if (span <= 0.0) return {};
  const int step = TickMinutes(span, 6);
  std::vector<GraticuleTick> ticks;
  for (const auto& w : walks) {
    const double length = std::hypot(w.to.x - w.from.x, w.to.y - w.from.y);
    const int samples = std::max(2, static_cast<int>(length / 4.0));
    std::optional<double> previous;
    ScreenPoint previousAt = w.from;
    for (int i = 0; i <= samples; ++i) {
      const double f = static_cast<double>(i) / samples;
      const ScreenPoint at{w.from.x + (w.to.x - w.from.x) * f, w.from.y + (w.to.y - w.from.y) * f};
      const auto value = ValueAt(projection, frame, at, w.longitude);
      if (value && previous) {
        const double lo = std::min(*previous, *value), hi = std::max(*previous, *value);
        // Multiples of the interval in (lo, hi]; one per sample step at most at these scales.
        for (long k = static_cast<long>(std::floor(lo * 60.0 / step)) + 1; k * step <= hi * 60.0; ++k) {
          const double c = static_cast<double>(k * step) / 60.0;
          const double share = (c - *previous) / (*value - *previous);
          ticks.push_back({w.edge,
                           {previousAt.x + (at.x - previousAt.x) * share, previousAt.y + (at.y - previousAt.y) * share},
                           TickText(k * step, w.longitude)});
        }
      }
      previous = value;
      previousAt = at;
    }
  }
  return ticks;
}

}  // namespace lantrel::cli::map
