#include "map/map_layers.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "lantrel/error.hpp"
#include "lantrel/locator.hpp"

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

std::optional<Outline> ProjectRegion(const Locator& data, LocatorTable table, std::int32_t index,
                                     MapProjection& projection, const MapFrame& frame) {
  const RecordBounds b = data.Bounds(table, index);
  const auto box = PlaneBox(projection, b.xMin, b.xMax, b.yMin, b.yMax);
  if (!box || !frame.Meets(*box)) return std::nullopt;
  Outline o;
  if (table == LocatorTable::States) {
    o.name = data.StateName(index);
    o.fips = data.StateFIPS(index);
  } else {
    o.name = data.CountyName(index);
    o.fips = data.CountyFIPS(index);
  }
  std::vector<Pair> ring;
  try {
    ring = data.Outline(table, index);
  } catch (const Error&) {
    return std::nullopt;  // a record whose vertices the file does not hold
  }
  o.points.reserve(ring.size());
  for (const Pair& g : ring) {
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

MapLayers CollectLayers(const Locator& data, MapProjection& projection, const MapFrame& frame) {
  MapLayers layers;
  for (std::int32_t i = 0; i < data.Size(LocatorTable::States); ++i) {
    auto o = ProjectRegion(data, LocatorTable::States, i, projection, frame);
    if (!o) continue;
    o->home = i < 2;
    layers.states.push_back(std::move(*o));
  }
  for (std::int32_t i = 0; i < data.Size(LocatorTable::Counties); ++i) {
    auto o = ProjectRegion(data, LocatorTable::Counties, i, projection, frame);
    if (!o) continue;
    o->label = LabelPoint(o->points, frame, 12.0);
    layers.counties.push_back(std::move(*o));
  }
  // A 7.5' quadrangle is about 11 km wide at these latitudes.
  layers.quadsDrawn = 11000.0 * frame.PixelsPerMetre() >= kMinQuadPixels;
  for (std::int32_t i = 0; layers.quadsDrawn && i < data.Size(LocatorTable::Quads); ++i) {
    const RecordBounds q = data.Bounds(LocatorTable::Quads, i);
    const auto box = PlaneBox(projection, q.xMin, q.xMax, q.yMin, q.yMax);
    if (!box || !frame.Meets(*box)) continue;
    QuadCell cell{data.QuadName(i), data.QuadState(i), data.QuadTile(i), {}, std::nullopt};
    // Corners and two intermediate points per edge, walked round the rectangle.
    constexpr int kPerEdge = 3;
    const double corners[5][2] = {
        {q.xMax, q.yMin}, {q.xMin, q.yMin}, {q.xMin, q.yMax}, {q.xMax, q.yMax}, {q.xMax, q.yMin}};
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
    if (const auto centre = projection.Forward({(q.xMin + q.xMax) / 2.0, (q.yMin + q.yMax) / 2.0})) {
      const ScreenPoint s = frame.ToScreen(*centre);
      if (frame.Contains(s, 14.0)) cell.label = s;
    }
    layers.quads.push_back(std::move(cell));
  }
  return layers;
}

}  // namespace lantrel::cli::map
