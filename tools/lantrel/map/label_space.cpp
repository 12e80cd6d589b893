#include "map/label_space.hpp"

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

bool LabelSpace::Free(const Box& box) const {
  for (const Box& t : taken_) {
    if (t.Overlaps(box)) return false;
  }
  return true;
}

}  // namespace lantrel::cli::map
