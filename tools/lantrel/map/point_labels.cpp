#include "map/point_labels.hpp"

#include <algorithm>
#include <cmath>

namespace lantrel::cli::map {

namespace {

bool InFrame(const Box& b, const MapFrame& frame) {
  return frame.Contains({b.left, b.top}, 2.0) && frame.Contains({b.right, b.bottom}, 2.0);
}

// The label's box when the point of it nearest the point sits at `corner` in direction
// (dx, dy) from the point: to the right the box starts there, above it ends there, and so on.
Box BoxToward(double width, double height, ScreenPoint corner, double dx, double dy) {
  const double left = dx > 0.3 ? corner.x : dx < -0.3 ? corner.x - width : corner.x - width / 2;
  const double top = dy > 0.3 ? corner.y : dy < -0.3 ? corner.y - height : corner.y - height / 2;
  return {left, top, left + width, top + height};
}

// The point of the box nearest to p (for the end of a lead line).
ScreenPoint NearestOnBox(const Box& b, ScreenPoint p) {
  return {std::clamp(p.x, b.left, b.right), std::clamp(p.y, b.top, b.bottom)};
}

}  // namespace

double MarkerRadius(std::size_t count) { return count <= 100 ? 5.0 : count <= 400 ? 3.5 : 2.5; }
double PointLabelSize(std::size_t count) { return count <= 100 ? 12.0 : count <= 400 ? 10.0 : 9.0; }

Box MarkerBox(ScreenPoint at, double radius) {
  // The white outline adds 0.75 px around the disc.
  const double r = radius + 1.0;
  return {at.x - r, at.y - r, at.x + r, at.y + r};
}

std::vector<PointLabel> PlacePointLabels(const std::vector<ScreenPoint>& points,
                                         const std::vector<std::string>& labels, double radius,
                                         double fontSize, const MapFrame& frame, LabelSpace& space) {
  // Directions in order of preference: upper right first, as maps usually set names.
  static constexpr double kDirections[8][2] = {{0.7, -0.7}, {1, 0}, {0.7, 0.7}, {-0.7, -0.7},
                                               {-1, 0}, {-0.7, 0.7}, {0, -1}, {0, 1}};
  std::vector<PointLabel> placed;
  const double gap = radius + 2.0;
  for (std::size_t i = 0; i < points.size() && i < labels.size(); ++i) {
    if (labels[i].empty()) continue;
    const Box shape = LabelBox(labels[i], fontSize, {0, 0}, 0.0);
    const double width = shape.right - shape.left, height = shape.bottom - shape.top;
    const ScreenPoint p = points[i];
    bool done = false;
    for (const double reach : {1.0, 3.0, 5.5}) {
      for (const auto& d : kDirections) {
        const ScreenPoint corner{p.x + d[0] * gap * reach, p.y + d[1] * gap * reach};
        const Box box = BoxToward(width, height, corner, d[0], d[1]);
        if (!InFrame(box, frame) || !space.Free(box)) continue;
        PointLabel label{i, {box.left, box.bottom - 0.25 * fontSize}, box, reach > 1.0, {}, {}};
        if (label.lead) {
          // From just outside the point's own box, so the line leaves the marker visibly.
          label.leadFrom = {p.x + d[0] * 1.5 * (radius + 1.0), p.y + d[1] * 1.5 * (radius + 1.0)};
          label.leadTo = NearestOnBox(box, p);
          if (!space.Free(label.leadFrom, label.leadTo)) continue;
        }
        space.Take(box);
        if (label.lead) space.Take(label.leadFrom, label.leadTo);
        placed.push_back(label);
        done = true;
        break;
      }
      if (done) break;
    }
  }
  return placed;
}

}  // namespace lantrel::cli::map
