#include "map/label_space.hpp"

#include <algorithm>
#include <utility>

namespace lantrel::cli::map {

double ApproximateTextWidth(std::string_view text, double fontSize) {
  double chars = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) chars += 1;
  }
  return chars * fontSize * 0.62;
}

Box LabelBox(std::string_view text, double fontSize, ScreenPoint anchor, double anchorShare) {
  const double width = ApproximateTextWidth(text, fontSize);
  const double left = anchor.x - width * anchorShare;
  // Capitals rise about 0.8 em above the baseline, descenders drop about 0.25 em below it.
  return {left, anchor.y - 0.8 * fontSize, left + width, anchor.y + 0.25 * fontSize};
}

namespace {

// Liang-Barsky: whether the segment meets the box's inside.
bool SegmentMeets(ScreenPoint a, ScreenPoint b, const Box& box) {
  double lo = 0.0, hi = 1.0;
  const double d[2] = {b.x - a.x, b.y - a.y};
  const double from[2] = {a.x, a.y};
  const double min[2] = {box.left, box.top};
  const double max[2] = {box.right, box.bottom};
  for (int k = 0; k < 2; ++k) {
    if (d[k] == 0.0) {
      if (from[k] <= min[k] || from[k] >= max[k]) return false;
      continue;
    }
    double t0 = (min[k] - from[k]) / d[k], t1 = (max[k] - from[k]) / d[k];
    if (t0 > t1) std::swap(t0, t1);
    lo = std::max(lo, t0);
    hi = std::min(hi, t1);
    if (lo >= hi) return false;
  }
  return true;
}

}  // namespace

bool LabelSpace::Free(const Box& box) const {
  for (const Box& t : taken_) {
    if (t.Overlaps(box)) return false;
  }
  for (const auto& [a, b] : lines_) {
    if (SegmentMeets(a, b, box)) return false;
  }
  return true;
}

bool LabelSpace::Free(ScreenPoint a, ScreenPoint b) const {
  for (const Box& t : taken_) {
    if (SegmentMeets(a, b, t)) return false;
  }
  return true;
}

}  // namespace lantrel::cli::map
