// /layers/{states,counties,quads,carter}.geojson: the data file's outlines and the Carter grid
// as GeoJSON (NAD 83 longitudes and latitudes), cut to a bounding box and thinned to the
// detail a view of that box shows, so GIS programs and the page open them as layers.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "json.hpp"
#include "lantrel/error.hpp"
#include "lantrel/locator.hpp"
#include "lantrel/number_text.hpp"
#include "serve/carter_area.hpp"
#include "serve/inputs.hpp"
#include "serve/problem.hpp"
#include "serve/routes.hpp"

namespace lantrel::cli::serve {

namespace {

struct Box {
  double minLon = -180.0, minLat = -90.0, maxLon = 180.0, maxLat = 90.0;  // east-positive
  bool Meets(double aMinLon, double aMinLat, double aMaxLon, double aMaxLat) const {
    return aMinLon <= maxLon && aMaxLon >= minLon && aMinLat <= maxLat && aMaxLat >= minLat;
  }
};

Box ReadBox(const Inputs& in) {
  Box b;
  const auto text = in.Text("bbox");
  if (!text) return b;
  double v[4];
  std::size_t from = 0;
  for (int i = 0; i < 4; ++i) {
    const std::size_t comma = i < 3 ? text->find(',', from) : text->size();
    const auto n = comma == std::string::npos ? std::nullopt
                                              : ParseDecimal(std::string_view(*text).substr(from, comma - from));
    if (!n) throw Problem(400, "invalid-parameter", "'bbox' must be minlon,minlat,maxlon,maxlat");
    v[i] = *n;
    from = comma + 1;
  }
  if (!(v[0] <= v[2] && v[1] <= v[3])) {
    throw Problem(400, "invalid-parameter", "'bbox' must be minlon,minlat,maxlon,maxlat with min <= max");
  }
  return Box{v[0], v[1], v[2], v[3]};
}

void Coordinate(std::string& out, double lon, double lat) {
  char text[kMaxFixedChars];
  out += '[';
  out.append(text, FormatFixed(text, lon, 6));
  out += ',';
  out.append(text, FormatFixed(text, lat, 6));
  out += ']';
}

class Collection {
 public:
  explicit Collection(std::string name) { out_ = "{\"type\":\"FeatureCollection\",\"name\":\"" + name + "\",\"features\":["; }
  // Starts a polygon feature; ring points follow through Point, then End with the properties.
  void Begin() {
    if (count_++ > 0) out_ += ',';
    out_ += "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Polygon\",\"coordinates\":[[";
    points_ = 0;
  }
  void Point(double lon, double lat) {
    if (points_++ > 0) out_ += ',';
    Coordinate(out_, lon, lat);
  }
  // properties: the JSON object's members, already written ("\"name\":\"x\"").
  void End(const std::string& properties) { out_ += "]]},\"properties\":{" + properties + "}}"; }
  std::string Finish() { return out_ + "]}"; }
  std::size_t count() const { return count_; }

 private:
  std::string out_;
  std::size_t count_ = 0;
  std::size_t points_ = 0;
};

std::string Property(const char* name, std::string_view text) {
  std::string p = "\"";
  p += name;
  p += "\":";
  AppendJsonString(p, text);
  return p;
}

// The box in the data file's terms (west-positive longitudes).
RecordBounds FileBox(const Box& box) { return RecordBounds{-box.maxLon, -box.minLon, box.minLat, box.maxLat}; }

void Regions(Collection& c, const Locator& data, LocatorTable table, const Box& box, double tolerance) {
  for (const std::int32_t i : data.RecordsMeeting(table, FileBox(box))) {
    std::vector<Pair> outline;
    try {
      outline = data.Outline(table, i);
    } catch (const Error&) {
      continue;  // a record whose vertices the file does not hold
    }
    std::vector<Pair> ring;
    for (std::size_t k = 0; k < outline.size(); ++k) {
      const Pair& g = outline[k];
      // Vertices nearer than the tolerance to the last one kept add nothing the view shows.
      if (!ring.empty() && k + 1 != outline.size() && std::fabs(g.x - ring.back().x) < tolerance &&
          std::fabs(g.y - ring.back().y) < tolerance) {
        continue;
      }
      ring.push_back(g);
    }
    if (ring.size() < 3) continue;
    c.Begin();
    for (const Pair& g : ring) c.Point(-g.x, g.y);
    if (ring.front().x != ring.back().x || ring.front().y != ring.back().y) c.Point(-ring.front().x, ring.front().y);
    const bool state = table == LocatorTable::States;
    c.End(Property("name", state ? data.StateName(i) : data.CountyName(i)) + ",\"fips\":" +
          std::to_string(state ? data.StateFIPS(i) : data.CountyFIPS(i)));
  }
}

void Quads(Collection& c, const Locator& data, const Box& box) {
  for (const std::int32_t i : data.RecordsMeeting(LocatorTable::Quads, FileBox(box))) {
    c.Begin();
    for (const Pair& g : data.Outline(LocatorTable::Quads, i)) c.Point(-g.x, g.y);
    c.End(Property("name", data.QuadName(i)) + "," + Property("state", data.QuadState(i)) + "," +
          Property("tile", data.QuadTile(i)));
  }
}

// The grid's cells in the box: sections when few enough to draw, blocks otherwise. Cells lie
// on NAD 27; their corners are shifted onto NAD 83.
void Carter(Collection& c, const Context& context, const Box& box, std::string_view level) {
  const double east = std::max(kCarterEast, -box.maxLon - 0.01), west = std::min(kCarterWest, -box.minLon + 0.01);
  const double south = std::max(kCarterSouth, box.minLat - 0.01), north = std::min(kCarterNorth, box.maxLat + 0.01);
  if (east >= west || south >= north) return;
  const double sections = (west - east) * (north - south) / (kCarterSection * kCarterSection);
  const bool section = level == "section" || (level != "block" && sections <= 1600.0);
  if (section && sections > 20000.0) {
    throw Problem(400, "invalid-parameter", "the box holds too many sections; ask for blocks or a smaller box");
  }
  const double size = section ? kCarterSection : kCarterBlock;
  auto converter = MakeConverter(context, *ParseSystem("geographic/nad27").system,
                                 *ParseSystem("geographic/nad83").system, true, false);
  ZrGeoPosition& p = converter->position();
  const auto shifted = [&](double lon, double lat, double& outLon, double& outLat) {
    p.Projection(zrGeoProjection::zrGeographic);
    p.Datum(zrGeoDatum::zrNAD27);
    p.Units(zrGeoUnits::zrDecimalDegrees);
    p.y(std::numeric_limits<double>::quiet_NaN());
    p.x(lon);
    p.y(lat);
    if (p.ConvertTo(zrGeoDatum::zrNAD83, zrGeoProjection::zrGeographic, zrGeoUnits::zrDecimalDegrees) != 0) return false;
    outLon = -p.x();
    outLat = p.y();
    return true;
  };
  const CarterCell first = GridCell(east + size / 2.0, south + size / 2.0, section, zrGeoDatum::zrNAD27);
  for (double s = first.south; s < north - 1e-9; s += size) {
    for (double e = first.east; e < west - 1e-9; e += size) {
      const double cs = std::round((s - kCarterSouth) / size) * size + kCarterSouth;
      const double ce = std::round((e - kCarterEast) / size) * size + kCarterEast;
      if (cs < kCarterSouth - 1e-9 || cs + size > kCarterNorth + 1e-9 || ce < kCarterEast - 1e-9 ||
          ce + size > kCarterWest + 1e-9) {
        continue;
      }
      double ring[5][2];
      const double corners[4][2] = {{ce, cs}, {ce + size, cs}, {ce + size, cs + size}, {ce, cs + size}};
      bool ok = true;
      for (int k = 0; k < 4 && ok; ++k) ok = shifted(corners[k][0], corners[k][1], ring[k][0], ring[k][1]);
      if (!ok) continue;
      ring[4][0] = ring[0][0];
      ring[4][1] = ring[0][1];
      std::string name;
      try {
        p.Projection(zrGeoProjection::zrGeographic);
        p.Datum(zrGeoDatum::zrNAD27);
        p.y(std::numeric_limits<double>::quiet_NaN());
        p.x(ce + size / 2.0);
        p.y(cs + size / 2.0);
        p.ConvertTo(zrGeoDatum::zrNAD27, zrGeoProjection::zrCarter, zrGeoUnits::zrDecimalDegrees);
        const std::string full = p.Carter()->LocationString(false);
        name = full.substr(0, section ? full.find(' ') : full.find('-'));
      } catch (const Error&) {
        continue;
      }
      c.Begin();
      for (const auto& pt : ring) c.Point(pt[0], pt[1]);
      c.End(Property("name", name) + "," + Property("kind", section ? "section" : "block") + "," +
            Property("datum", "nad27"));
    }
  }
}

}  // namespace

Response LayerRoute(const Context& context, const Request& request, std::string_view layer) {
  const Inputs in(request, false);
  const Box box = ReadBox(in);
  Collection c{std::string(layer)};
  if (layer == "carter") {
    Carter(c, context, box, in.Text("level").value_or("auto"));
  } else {
    if (!context.data) throw Problem(503, "no-reference-data", "the server has no reference data file");
    // Thin to about a thousandth of the box (none when simplify=false).
    const double span = std::min(std::max(box.maxLon - box.minLon, box.maxLat - box.minLat), 20.0);
    const double tolerance = in.Switch("simplify", true) ? span / 1000.0 : 0.0;
    if (layer == "states") Regions(c, *context.data, LocatorTable::States, box, tolerance);
    else if (layer == "counties") Regions(c, *context.data, LocatorTable::Counties, box, tolerance);
    else Quads(c, *context.data, box);
  }
  Response r;
  r.contentType = "application/geo+json";
  r.body = c.Finish();
  return r;
}

}  // namespace lantrel::cli::serve
