#include "map/carter_grid.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace lantrel::cli::map {

namespace {

// The grid's own constants: block and section sizes and the south and west edges.
constexpr double kBlock = 0.08333333333333333;
constexpr double kSection = 0.016666666666666666;
constexpr double kSouth = 36.5;
constexpr double kWest = 89.58333333333333;
constexpr double kNorth = 39.25;
constexpr double kEast = 81.91666666666667;
constexpr int kRows = 33;      // block rows south of the north edge
constexpr int kColumns = 92;   // block columns west of the east edge
// Degrees the visible box is widened by, covering the datum shift and the frame's edge.
constexpr double kMargin = 0.01;

struct GeoBox {
  double lonMin, lonMax, latMin, latMax;  // lon west-positive
};

// The NAD 83 geographic box the frame shows: its corners and edge midpoints.
std::optional<GeoBox> VisibleBox(MapProjection& projection, const MapFrame& frame) {
  GeoBox b{std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
           std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest()};
  for (int i = 0; i <= 2; ++i) {
    for (int j = 0; j <= 2; ++j) {
      const ScreenPoint s{frame.left() + frame.width() * i / 2.0, frame.top() + frame.height() * j / 2.0};
      const auto g = projection.Inverse(frame.ToMap(s));
      if (!g) return std::nullopt;
      b.lonMin = std::min(b.lonMin, g->lon);
      b.lonMax = std::max(b.lonMax, g->lon);
      b.latMin = std::min(b.latMin, g->lat);
      b.latMax = std::max(b.latMax, g->lat);
    }
  }
  b.lonMin = std::max(b.lonMin - kMargin, kEast);
  b.lonMax = std::min(b.lonMax + kMargin, kWest);
  b.latMin = std::max(b.latMin - kMargin, kSouth);
  b.latMax = std::min(b.latMax + kMargin, kNorth);
  if (b.lonMin > b.lonMax || b.latMin > b.latMax) return std::nullopt;
  return b;
}

class GridBuilder {
 public:
  GridBuilder(MapProjection& projection, const MapFrame& frame, zrGeoDatum datum, GeoBox box)
      : projection_(projection), frame_(frame), datum_(datum), box_(box) {}

  // A line of latitude from lonA to lonB (west-positive), bent through a point per 1/4'.
  void Parallel(double lat, bool block, std::vector<GridLine>& out) {
    GridLine line{{}, block};
    const int steps = std::max(1, static_cast<int>(std::ceil((box_.lonMax - box_.lonMin) / (kSection / 4))));
    for (int i = 0; i <= steps; ++i) {
      Add(line, {box_.lonMax - (box_.lonMax - box_.lonMin) * i / steps, lat});
    }
    if (line.points.size() > 1) out.push_back(std::move(line));
  }
  void Meridian(double lon, bool block, std::vector<GridLine>& out) {
    GridLine line{{}, block};
    Add(line, {lon, box_.latMin});
    Add(line, {lon, (box_.latMin + box_.latMax) / 2.0});
    Add(line, {lon, box_.latMax});
    if (line.points.size() > 1) out.push_back(std::move(line));
  }
  std::optional<ScreenPoint> Screen(GeoPoint g) {
    const auto p = projection_.Forward(g, datum_);
    if (!p) return std::nullopt;
    return frame_.ToScreen(*p);
  }
  // The Carter cell of a geographic point on the grid's datum, as the library names it.
  bool Cell(GeoPoint g, std::string& letter, std::int32_t& number, std::int32_t& section) {
    try {
      PlaceGeographic(position_, g, datum_);
      if (position_.ConvertTo(datum_, zrGeoProjection::zrCarter, zrGeoUnits::zrDecimalDegrees) != 0) {
        return false;
      }
      const auto c = position_.Carter();
      letter = c->Letter();
      number = c->Number();
      section = c->Section();
      return !letter.empty();
    } catch (const Error&) {
      return false;
    }
  }

 private:
  void Add(GridLine& line, GeoPoint g) {
    if (const auto s = Screen(g)) line.points.push_back(*s);
  }

  MapProjection& projection_;
  const MapFrame& frame_;
  zrGeoDatum datum_;
  GeoBox box_;
  ZrGeoPosition position_;
};

std::string TwoDigits(std::int32_t v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

CarterGrid BuildCarterGrid(MapProjection& projection, const MapFrame& frame, zrGeoDatum datum) {
  CarterGrid grid;
  grid.datum = datum;
  const auto box = VisibleBox(projection, frame);
  if (!box) return grid;
  GridBuilder builder(projection, frame, datum, *box);
  // A section's height on the canvas decides how much detail is readable.
  const double sectionPixels = kSection * 111000.0 * frame.PixelsPerMetre();
  grid.sections = sectionPixels >= kMinSectionLinePixels;
  grid.blocks = sectionPixels * 5 >= kMinBlockLinePixels;
  if (!grid.blocks) return grid;

  const int rowFirst = std::max(0, static_cast<int>(std::floor((box->latMin - kSouth) / kBlock)));
  const int rowLast = std::min(kRows, static_cast<int>(std::ceil((box->latMax - kSouth) / kBlock)));
  const int colFirst = std::max(0, static_cast<int>(std::floor((kWest - box->lonMax) / kBlock)));
  const int colLast = std::min(kColumns, static_cast<int>(std::ceil((kWest - box->lonMin) / kBlock)));
  for (int row = rowFirst; row <= rowLast; ++row) {
    for (int s = 0; s < (grid.sections ? 5 : 1); ++s) {
      const double lat = row * kBlock + kSouth + s * kSection;
      if (lat < box->latMin || lat > box->latMax || lat > kNorth) continue;
      builder.Parallel(lat, s == 0, grid.lines);
    }
  }
  for (int col = colFirst; col <= colLast; ++col) {
    for (int s = 0; s < (grid.sections ? 5 : 1); ++s) {
      const double lon = kWest - col * kBlock - s * kSection;
      if (lon < box->lonMin || lon > box->lonMax || lon < kEast - 1e-9) continue;
      builder.Meridian(lon, s == 0, grid.lines);
    }
  }

  const bool sectionLabels = sectionPixels >= kMinSectionLabelPixels;
  const bool blockLabels = sectionPixels * 5 >= kMinBlockLabelPixels;
  if (!blockLabels) return grid;
  for (int row = rowFirst; row <= std::min(rowLast, kRows - 1); ++row) {
    for (int col = colFirst; col <= std::min(colLast, kColumns - 1); ++col) {
      const double south = row * kBlock + kSouth;
      const double west = kWest - col * kBlock;
      std::string letter;
      std::int32_t number = 0, section = 0;
      // The block's name goes just inside the north-west corner of its visible part.
      if (builder.Cell({west - kSection / 2, south + kBlock - kSection / 2}, letter, number, section)) {
        const auto corner = builder.Screen({west, south + kBlock});
        const auto opposite = builder.Screen({west - kBlock, south});
        if (corner && opposite) {
          const ScreenPoint at{std::max(corner->x, frame.left()) + 4.0,
                               std::max(corner->y, frame.top()) + 13.0};
          if (frame.Contains(at, 4.0) && at.x + 30.0 < opposite->x && at.y + 4.0 < opposite->y) {
            grid.labels.push_back({at, letter + TwoDigits(number), true});
          }
        }
      }
      if (!sectionLabels) continue;
      for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 5; ++c) {
          const GeoPoint middle{west - (c + 0.5) * kSection, south + (r + 0.5) * kSection};
          if (!builder.Cell(middle, letter, number, section)) continue;
          const auto at = builder.Screen(middle);
          if (at && frame.Contains(*at, 8.0)) grid.labels.push_back({*at, std::to_string(section), false});
        }
      }
    }
  }
  return grid;
}

}  // namespace lantrel::cli::map
