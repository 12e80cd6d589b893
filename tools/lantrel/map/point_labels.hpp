// Where the points' labels go: beside their point where there is room, farther off with a
// lead line where there is not, or nowhere. A label never covers a point or a label placed
// before it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "map/label_space.hpp"
#include "map/map_frame.hpp"

namespace lantrel::cli::map {

struct PointLabel {
  std::size_t point = 0;  // index of the point it names
  ScreenPoint at;         // start of the baseline
  Box box;
  bool lead = false;      // placed off the point, with a line from the point to it
  ScreenPoint leadFrom, leadTo;
};

/// The marker radius and label size for a map of `count` points: smaller when dense.
double MarkerRadius(std::size_t count);
double PointLabelSize(std::size_t count);

/// The box a point's marker takes.
Box MarkerBox(ScreenPoint at, double radius);

/// Places the labels in order (empty ones are skipped): each at the first of eight positions
/// around its point that is free in `space` and inside the frame, then at the first of
/// sixteen positions farther off whose lead line crosses nothing either. What is placed is
/// taken in `space`, lead lines included; labels that fit nowhere are left out.
std::vector<PointLabel> PlacePointLabels(const std::vector<ScreenPoint>& points,
                                         const std::vector<std::string>& labels, double radius,
                                         double fontSize, const MapFrame& frame, LabelSpace& space);

}  // namespace lantrel::cli::map
