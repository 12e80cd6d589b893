#include "map/map_frame.hpp"

#include <algorithm>

namespace lantrel::cli::map {

namespace {

Extent ToRatio(Extent e, double aspect) {
  const double w = e.maxE - e.minE;
  const double h = e.maxN - e.minN;
  const double ce = (e.minE + e.maxE) / 2.0;
  const double cn = (e.minN + e.maxN) / 2.0;
  double halfW = w / 2.0;
  double halfH = h / 2.0;
  if (w < h * aspect) halfW = h * aspect / 2.0;
  else halfH = w / aspect / 2.0;
  return {ce - halfW, cn - halfH, ce + halfW, cn + halfH};
}

}  // namespace

Extent ExtentAround(const std::vector<MapPoint>& points, double aspect, double minHalfSize) {
  Extent e{points.front().e, points.front().n, points.front().e, points.front().n};
  for (const auto& p : points) {
    e.minE = std::min(e.minE, p.e);
    e.maxE = std::max(e.maxE, p.e);
    e.minN = std::min(e.minN, p.n);
    e.maxN = std::max(e.maxN, p.n);
  }
  const double ce = (e.minE + e.maxE) / 2.0;
  const double cn = (e.minN + e.maxN) / 2.0;
  const double halfW = std::max((e.maxE - e.minE) * 0.7, minHalfSize);
  const double halfH = std::max((e.maxN - e.minN) * 0.7, minHalfSize);
  return ToRatio({ce - halfW, cn - halfH, ce + halfW, cn + halfH}, aspect);
}

MapFrame::MapFrame(Extent extent, double left, double top, double width, double height)
    : extent_(ToRatio(extent, width / height)),
      left_(left),
      top_(top),
      width_(width),
      height_(height),
      scale_(width / (extent_.maxE - extent_.minE)) {}

ScreenPoint MapFrame::ToScreen(MapPoint p) const {
  return {left_ + (p.e - extent_.minE) * scale_, top_ + (extent_.maxN - p.n) * scale_};
}

MapPoint MapFrame::ToMap(ScreenPoint s) const {
  return {extent_.minE + (s.x - left_) / scale_, extent_.maxN - (s.y - top_) / scale_};
}

bool MapFrame::Contains(ScreenPoint s, double inset) const {
  return s.x >= left_ + inset && s.x <= left_ + width_ - inset && s.y >= top_ + inset &&
         s.y <= top_ + height_ - inset;
}

bool MapFrame::Meets(const Extent& box) const {
  return box.maxE >= extent_.minE && box.minE <= extent_.maxE && box.maxN >= extent_.minN &&
         box.minN <= extent_.maxN;
}

}  // namespace lantrel::cli::map
