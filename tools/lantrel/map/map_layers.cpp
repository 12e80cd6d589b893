#include "map/map_layers.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "refdata/reference_data.hpp"

namespace lantrel::cli::map {

namespace {

// Areas this close to the extent are drawn too, so outlines run on past the frame's edge.
constexpr double kMarginMetres = 2000.0;

// The map-plane box of a geographic box: its corners and edge midpoints, since parallels bend
// on the plane.
std::optional<Extent> PlaneBox(MapProjection& projection, double xMin, double xMax, double yMin,
                               double yMax) {
  Extent box{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
             std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
  const double xs[3] = {xMin, (xMin + xMax) / 2.0, xMax};
  const double ys[3] = {yMin, (yMin + yMax) / 2.0, yMax};
  for (const double x : xs) {
    for (const double y : ys) {
      const auto p = projection.Forward({x, y});
      if (!p) return std::nullopt;
      box.minE = std::min(box.minE, p->e - kMarginMetres);
      box.maxE = std::max(box.maxE, p->e + kMarginMetres);
      box.minN = std::min(box.minN, p->n - kMarginMetres);
      box.maxN = std::max(box.maxN, p->n + kMarginMetres);
    }
  }
  return box;
}

std::optional<Outline> ProjectRegion(const detail::ReferenceData& data,
                                     const detail::RegionRecord& r, MapProjection& projection,
                                     const MapFrame& frame) {
  const auto box = PlaneBox(projection, r.XMin, r.XMax, r.YMin, r.YMax);
  if (!box || !frame.Meets(*box)) return std::nullopt;
  if (r.FirstVertex < 0 || r.LastVertex < r.FirstVertex ||
      static_cast<std::size_t>(r.LastVertex) >= data.vertexIndexList.size()) {
    return std::nullopt;
  }
  Outline o;
  o.name = r.Name;
  o.fips = r.FIPS;
  o.points.reserve(static_cast<std::size_t>(r.LastVertex - r.FirstVertex + 1));
  for (std::int32_t k = r.FirstVertex; k <= r.LastVertex; ++k) {
    const std::int32_t v = data.vertexIndexList[static_cast<std::size_t>(k)];
    if (v < 0 || static_cast<std::size_t>(v) >= data.vertexList.size()) return std::nullopt;
    const Pair& g = data.vertexList[static_cast<std::size_t>(v)];
    const auto p = projection.Forward({g.x, g.y});
    if (!p) return std::nullopt;
    o.points.push_back(frame.ToScreen(*p));
  }
  return o;
}

}  // namespace

bool InsideOutline(const std::vector<ScreenPoint>& outline, ScreenPoint p) {
  bool inside = false;
  for (std::size_t i = 1; i < outline.size(); ++i) {
    const ScreenPoint& a = outline[i - 1];
    const ScreenPoint& b = outline[i];
    if ((a.y > p.y) != (b.y > p.y)) {
      const double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
      if (x > p.x) inside = !inside;
    }
  }
  return inside;
}

std::optional<ScreenPoint> LabelPoint(const std::vector<ScreenPoint>& outline, const MapFrame& frame,
                                      double inset) {
  if (outline.size() < 3) return std::nullopt;
  double minX = frame.left() + inset, maxX = frame.left() + frame.width() - inset;
  double minY = frame.top() + inset, maxY = frame.top() + frame.height() - inset;
  double oMinX = std::numeric_limits<double>::max(), oMaxX = std::numeric_limits<double>::lowest();
  double oMinY = oMinX, oMaxY = oMaxX;
  for (const auto& p : outline) {
    oMinX = std::min(oMinX, p.x);
    oMaxX = std::max(oMaxX, p.x);
    oMinY = std::min(oMinY, p.y);
    oMaxY = std::max(oMaxY, p.y);
  }
  minX = std::max(minX, oMinX);
  maxX = std::min(maxX, oMaxX);
  minY = std::max(minY, oMinY);
  maxY = std::min(maxY, oMaxY);
  if (minX >= maxX || minY >= maxY) return std::nullopt;
  const ScreenPoint centre{(minX + maxX) / 2.0, (minY + maxY) / 2.0};
  std::optional<ScreenPoint> best;
  double bestDistance = std::numeric_limits<double>::max();
  constexpr int kSteps = 12;
  for (int i = 0; i <= kSteps; ++i) {
    for (int j = 0; j <= kSteps; ++j) {
      const ScreenPoint c{minX + (maxX - minX) * i / kSteps, minY + (maxY - minY) * j / kSteps};
      if (!InsideOutline(outline, c)) continue;
      const double d = std::hypot(c.x - centre.x, c.y - centre.y);
      if (d < bestDistance) {
        bestDistance = d;
        best = c;
      }
    }
  }
  return best;
}

MapLayers CollectLayers(const detail::ReferenceData& data, MapProjection& projection,
                        const MapFrame& frame) {
  MapLayers layers;
  for (std::size_t i = 0; i < data.states.size(); ++i) {
    auto o = ProjectRegion(data, data.states[i], projection, frame);
    if (!o) continue;
    o->home = i < 2;
    layers.states.push_back(std::move(*o));
  }
  for (const auto& r : data.counties) {
    auto o = ProjectRegion(data, r, projection, frame);
    if (!o) continue;
    o->label = LabelPoint(o->points, frame, 12.0);
    layers.counties.push_back(std::move(*o));
  }
  // A 7.5' quadrangle is about 11 km wide at these latitudes.
  layers.quadsDrawn = 11000.0 * frame.PixelsPerMetre() >= kMinQuadPixels;
  for (const auto& q : data.quads) {
    if (!layers.quadsDrawn) break;
    const auto box = PlaneBox(projection, q.XMin, q.XMax, q.YMin, q.YMax);
    if (!box || !frame.Meets(*box)) continue;
    QuadCell cell{q.Name, q.State, q.Tile, {}, std::nullopt};
    // Corners and two intermediate points per edge, walked round the rectangle.
    constexpr int kPerEdge = 3;
    const double corners[5][2] = {
        {q.XMax, q.YMin}, {q.XMin, q.YMin}, {q.XMin, q.YMax}, {q.XMax, q.YMax}, {q.XMax, q.YMin}};
    bool ok = true;
    for (int c = 0; c < 4 && ok; ++c) {
      for (int s = 0; s < kPerEdge; ++s) {
        const double t = static_cast<double>(s) / kPerEdge;
        const GeoPoint g{corners[c][0] + (corners[c + 1][0] - corners[c][0]) * t,
                         corners[c][1] + (corners[c + 1][1] - corners[c][1]) * t};
        const auto p = projection.Forward(g);
        if (!p) {
          ok = false;
          break;
        }
        cell.ring.push_back(frame.ToScreen(*p));
      }
    }
    if (!ok) continue;
    if (const auto centre = projection.Forward({(q.XMin + q.XMax) / 2.0, (q.YMin + q.YMax) / 2.0})) {
      const ScreenPoint s = frame.ToScreen(*centre);
      if (frame.Contains(s, 14.0)) cell.label = s;
    }
    layers.quads.push_back(std::move(cell));
  }
  return layers;
}

}  // namespace lantrel::cli::map
