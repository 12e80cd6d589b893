// The canvas rectangles that labels and marks already take, so a new label goes only where it
// covers none of them: names are moved or left out rather than printed over each other.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "map/svg_writer.hpp"

namespace lantrel::cli::map {

struct Box {
  double left, top, right, bottom;
  bool Overlaps(const Box& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
};

/// A generous estimate of a label's width: 0.62 em per character (UTF-8 continuation bytes
/// not counted).
double ApproximateTextWidth(std::string_view text, double fontSize);

/// The box of a one-line label of `fontSize` pixels whose baseline starts at, ends at or is
/// centred on `anchor` (anchorShare 0, 1 or 0.5 of the width to its left).
Box LabelBox(std::string_view text, double fontSize, ScreenPoint anchor, double anchorShare);

class LabelSpace {
 public:
  void Take(const Box& box) { taken_.push_back(box); }
  /// A lead line: later labels keep off it too.
  void Take(ScreenPoint a, ScreenPoint b) { lines_.push_back({a, b}); }
  /// Whether the box covers none of the boxes and lines taken.
  bool Free(const Box& box) const;
  /// Whether the segment from a to b crosses none of the boxes taken.
  bool Free(ScreenPoint a, ScreenPoint b) const;

 private:
  std::vector<Box> taken_;
  std::vector<std::pair<ScreenPoint, ScreenPoint>> lines_;
};

}  // namespace lantrel::cli::map
