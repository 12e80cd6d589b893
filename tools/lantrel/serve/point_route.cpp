// /point: one point read from any form the tool reads, then expressed in every system on both
// datums, with its factors, the datum shift, where it lies and the flags a surveyor checks.
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "carter_text.hpp"
#include "lantrel/angle_text.hpp"
#include "lantrel/location_fields.hpp"
#include "lantrel/number_text.hpp"
#include "line_fields.hpp"
#include "point_factors.hpp"
#include "serve/carter_area.hpp"
#include "serve/inputs.hpp"
#include "serve/problem.hpp"
#include "serve/routes.hpp"

namespace lantrel::cli::serve {

namespace {

using Json = nlohmann::ordered_json;
using P = zrGeoProjection;

System Named(const char* name) { return *ParseSystem(name).system; }

struct Reading {
  System system;
  std::string form;  // geographic, carter, carter_area, plane
  std::optional<PartialCarter> area;
};

bool TwoNumbers(std::string_view text) {
  PairFields f;
  return SplitPair(text, f) == nullptr && ParseDecimal(f.x) && ParseDecimal(f.y);
}

// What the text is, from its shape when no system is named: a longitude and latitude (decimal
// or degrees-minutes-seconds), a Carter location (NAD 27, the grid's datum), or a block or
// section of one.
Reading Understand(std::string_view text, const std::optional<System>& named, zrGeoDatum datum) {
  const auto carter = [&](System s) -> std::optional<Reading> {
    const CarterParse full = ParseCarter(text);
    if (full.location && RestAfter(text, full.length).empty()) return Reading{s, "carter", std::nullopt};
    if (auto partial = ParsePartialCarter(text)) return Reading{s, "carter_area", partial};
    return std::nullopt;
  };
  if (named) {
    if (named->IsCarter()) {
      if (auto r = carter(*named)) return *r;
      const CarterParse full = ParseCarter(text);
      throw Problem(422, "unreadable-text", full.error.empty() ? "cannot read the Carter location" : full.error);
    }
    return Reading{*named, named->Angular() ? "geographic" : "plane", std::nullopt};
  }
  System geo = Named("geographic");
  geo.datum = datum;
  const AnglePairParse angles = SplitAnglePair(text);
  if (angles.x && angles.y && angles.rest.find_first_not_of(" \t") == std::string_view::npos) {
    return Reading{geo, "geographic", std::nullopt};
  }
  System grid = Named("carter/nad27");
  if (auto r = carter(grid)) return *r;
  if (TwoNumbers(text)) {
    throw Problem(422, "unreadable-text",
                  "these look like plane coordinates: name their system with 'system' (north, "
                  "south, utm16, ...)");
  }
  throw Problem(422, "unreadable-text",
                "cannot read " + std::string(text.substr(0, 60)) +
                    " as a longitude and latitude or a Carter location" +
                    (angles.error.empty() ? "" : ": " + angles.error));
}

struct Target {
  zrGeoProjection projection;
  zrGeoDatum datum;
  zrGeoUnits units;
};

void AddTargets(std::vector<Target>& t, zrGeoProjection p, bool feet) {
  for (const zrGeoDatum d : {zrGeoDatum::zrNAD83, zrGeoDatum::zrNAD27}) {
    if (p == P::zrSingleZone && d == zrGeoDatum::zrNAD27) continue;
    t.push_back({p, d, zrGeoUnits::zrMeters});
    if (feet) t.push_back({p, d, zrGeoUnits::zrUSFt});
  }
}

// The neighbouring states' zones, by the state the point lies in.
std::vector<zrGeoProjection> NeighbourZones(const std::string& states) {
  std::vector<zrGeoProjection> z;
  const auto has = [&](const char* s) { return states.find(s) != std::string::npos; };
  if (has("Missouri")) z.push_back(P::moEastZone);
  if (has("Illinois")) z.insert(z.end(), {P::ilWestZone, P::ilEastZone});
  if (has("Indiana")) z.insert(z.end(), {P::inWestZone, P::inEastZone});
  if (has("Ohio")) z.push_back(P::ohSouthZone);
  if (has("West Virginia")) z.push_back(P::wvSouthZone);
  if (has("Virginia") && !has("West Virginia")) z.push_back(P::vaSouthZone);
  if (has("Tennessee")) z.push_back(P::tnSingleZone);
  return z;
}

class Report {
 public:
  Report(const Context& context, int planeDecimals, int angleDecimals, int dmsDecimals, bool zgs)
      : plane_(planeDecimals), angle_(angleDecimals), dms_(dmsDecimals) {
    position_ = MakeConverter(context, Named("geographic"), Named("geographic"), false, zgs);
  }

  // Places the geographic point (west-positive longitude) on datum `from` and converts it to t.
  // Returns the position's return code (4: outside the shift window).
  std::int32_t To(double lon, double lat, zrGeoDatum from, const Target& t) {
    ZrGeoPosition& p = position_->position();
    p.Projection(P::zrGeographic);
    p.Datum(from);
    p.Units(zrGeoUnits::zrDecimalDegrees);
    p.y(std::numeric_limits<double>::quiet_NaN());
    p.x(lon);
    p.y(lat);
    return p.ConvertTo(t.datum, t.projection, t.units);
  }

  Json Entry(double lon, double lat, zrGeoDatum from, const Target& t) {
    System s{t.projection, t.datum, t.units, 0};
    Json e;
    e["system"] = Canonical(s);
    e["description"] = std::string(LongName(t.projection)) + ", " + std::string(LongName(t.datum)) + ", " +
                       std::string(LongName(t.units));
    try {
      if (To(lon, lat, from, t) == 4) {
        e["error"] = "datum change refused: the point lies outside the NAD 27/NAD 83 shift window "
                     "(81.5-90 W, 36-39.5 N)";
        return e;
      }
      ZrGeoPosition& p = position_->position();
      const bool angular = t.projection == P::zrGeographic;
      const double x = angular ? -p.x() : p.x();
      const double y = p.y();
      const int decimals = angular ? angle_ : plane_;
      e["x"] = x;
      e["y"] = y;
      e["x_text"] = Fixed(x, decimals);
      e["y_text"] = Fixed(y, decimals);
      if (angular) {
        char text[kMaxDmsChars];
        e["x_dms"] = std::string(text, FormatDms(text, x, true, dms_));
        e["y_dms"] = std::string(text, FormatDms(text, y, false, dms_));
      } else {
        const PointFactors f = ReadFactors(p);
        e["scale_factor"] = f.scaleFactor;
        e["convergence"] = f.convergence;
      }
    } catch (const Error& err) {
      e["error"] = DescribeLibraryError(err);
    }
    return e;
  }

  ZrGeoPosition& position() { return position_->position(); }

 private:
  std::unique_ptr<PointConverter> position_;
  int plane_, angle_, dms_;
};

Json AreaJson(const CarterCell& cell, Report& report) {
  // The ring on NAD 83 (the map's datum): corners and points along the edges, shifted point by
  // point; the size from the single zone.
  Json ring = Json::array();
  constexpr int kPerEdge = 4;
  const double corners[5][2] = {{cell.east, cell.south}, {cell.east, cell.north}, {cell.west, cell.north},
                                {cell.west, cell.south}, {cell.east, cell.south}};
  const Target geo83{P::zrGeographic, zrGeoDatum::zrNAD83, zrGeoUnits::zrDecimalDegrees};
  for (int c = 0; c < 4; ++c) {
    for (int s = 0; s < kPerEdge; ++s) {
      const double t = static_cast<double>(s) / kPerEdge;
      const double lon = corners[c][0] + (corners[c + 1][0] - corners[c][0]) * t;
      const double lat = corners[c][1] + (corners[c + 1][1] - corners[c][1]) * t;
      if (report.To(lon, lat, cell.datum, geo83) == 4) return Json();
      ring.push_back(Json::array({-report.position().x(), report.position().y()}));
    }
  }
  ring.push_back(ring.front());
  const Target plane{P::zrSingleZone, zrGeoDatum::zrNAD83, zrGeoUnits::zrMeters};
  const auto at = [&](double lon, double lat) {
    report.To(lon, lat, cell.datum, plane);
    return std::pair<double, double>{report.position().x(), report.position().y()};
  };
  const double midLat = (cell.south + cell.north) / 2.0, midLon = (cell.east + cell.west) / 2.0;
  const auto e = at(cell.east, midLat), w = at(cell.west, midLat);
  const auto s = at(midLon, cell.south), n = at(midLon, cell.north);
  const double width = std::hypot(e.first - w.first, e.second - w.second);
  const double height = std::hypot(n.first - s.first, n.second - s.second);
  Json a;
  a["name"] = cell.name;
  a["kind"] = cell.west - cell.east > kCarterSection * 1.5 ? "block" : "section";
  a["datum"] = cell.datum == zrGeoDatum::zrNAD27 ? "nad27" : "nad83";
  a["bounds"] = Json::array({-cell.west, cell.south, -cell.east, cell.north});
  a["polygon"] = Json{{"type", "Polygon"}, {"coordinates", Json::array({ring})}};
  a["width_m"] = width;
  a["height_m"] = height;
  a["width_ft"] = width / 0.3048006096012192;
  a["height_ft"] = height / 0.3048006096012192;
  a["area_acres"] = width * height / 4046.872609874252;
  return a;
}

}  // namespace

Response PointRoute(const Context& context, const Request& request) {
  const Inputs in(request, false);
  const auto text = in.Text("text");
  if (!text || text->find_first_not_of(" \t") == std::string::npos) {
    throw Problem(400, "missing-parameter", "'text' names no point");
  }
  const auto named = in.SystemNamed("system");
  const zrGeoDatum datum = in.Text("datum").value_or("nad83") == "nad27" ? zrGeoDatum::zrNAD27 : zrGeoDatum::zrNAD83;
  const bool zgs = in.Switch("zgs", false);
  const bool acceptDistant = in.Switch("accept_distant", false);
  const int precision = static_cast<int>(in.Whole("precision", 0, kMaxPrecision).value_or(3));
  const int anglePrecision = static_cast<int>(in.Whole("angle_precision", 0, kMaxPrecision).value_or(9));
  const int dmsPrecision = static_cast<int>(in.Whole("dms_precision", 0, kMaxDmsDecimals).value_or(kDefaultDmsDecimals));
  const Reading reading = Understand(*text, named, datum);

  Json doc;
  doc["input"] = *text;
  Json understood;
  understood["form"] = reading.form;
  understood["system"] = Canonical(reading.system);
  understood["description"] = Describe(reading.system);

  // The point, as geographic coordinates on the source datum (west-positive longitude).
  double lon = 0.0, lat = 0.0;
  Report report(context, precision, anglePrecision, dmsPrecision, zgs);
  std::optional<CarterCell> cell;
  if (reading.area) {
    try {
      cell = CellOf(*reading.area, reading.system.datum);
    } catch (const Error& e) {
      throw Problem(422, "unreadable-text", DescribeLibraryError(e), e);
    }
    lon = (cell->east + cell->west) / 2.0;
    lat = (cell->south + cell->north) / 2.0;
    understood["location"] = cell->name;
  } else {
    auto converter = MakeConverter(context, reading.system, reading.system, true, zgs);
    converter->AcceptDistant(acceptDistant);
    std::string_view separator, rest;
    bool ok = reading.system.IsCarter() ? converter->PlaceLocation(*text)
                                        : converter->PlaceLine(*text, separator, rest);
    if (ok && rest.find_first_not_of(" \t") != std::string_view::npos) {
      throw Problem(422, "unreadable-text", "unexpected text after the point");
    }
    if (!ok) {
      if (const auto& e = converter->libraryError()) throw Problem(422, "unreadable-text", ApiMessage(converter->error()), *e);
      throw Problem(422, "unreadable-text", ApiMessage(converter->error()));
    }
    ZrGeoPosition& p = converter->position();
    if (reading.system.IsCarter()) {
      understood["location"] = p.Carter()->LocationString(zgs);
    } else {
      understood["x"] = reading.system.Angular() ? -p.x() : p.x();
      understood["y"] = p.y();
    }
    if (!converter->Check()) {
      const std::string m = ApiMessage(converter->error());
      if (const auto& e = converter->libraryError()) throw Problem(422, "point-refused", m, *e);
      throw Problem(422, "point-refused", m);
    }
    lon = p.x();
    lat = p.y();
  }
  doc["understood"] = understood;
  const zrGeoDatum from = reading.system.datum;

  // Geographic on both datums first: the shift and the lookups need them.
  const Target geo83{P::zrGeographic, zrGeoDatum::zrNAD83, zrGeoUnits::zrDecimalDegrees};
  const Target geo27{P::zrGeographic, zrGeoDatum::zrNAD27, zrGeoUnits::zrDecimalDegrees};
  std::optional<std::pair<double, double>> g83, g27;
  ZrGeoPosition& p = report.position();
  bool inWindow = false;
  try {
    if (report.To(lon, lat, from, geo83) == 0) g83.emplace(p.x(), p.y());
    if (report.To(lon, lat, from, geo27) == 0) g27.emplace(p.x(), p.y());
    report.To(lon, lat, from, {P::zrGeographic, from, zrGeoUnits::zrDecimalDegrees});
    inWindow = p.InBounds();
  } catch (const Error& e) {
    throw Problem(422, "point-refused", DescribeLibraryError(e), e);
  }

  Json location;
  std::string states;
  if (g83 && p.DataLoaded()) {
    try {
      report.To(g83->first, g83->second, zrGeoDatum::zrNAD83, geo83);
      const LocationFields f = LocatePoint(p, zgs);
      for (std::size_t i = 0; i < kLocationFieldNames.size(); ++i) {
        location[std::string(kLocationFieldNames[i])] = f.Text(i);
      }
      location["carter_nad83"] = f.Carter();
      states = f.Text(0);
    } catch (const Error& e) {
      location["error"] = DescribeLibraryError(e);
    }
  }
  std::string carter27;
  if (g27) {
    try {
      report.To(g27->first, g27->second, zrGeoDatum::zrNAD27,
                {P::zrCarter, zrGeoDatum::zrNAD27, zrGeoUnits::zrDecimalDegrees});
      carter27 = p.Carter()->LocationString(zgs);
    } catch (const Error&) {
    }
  }
  if (location.is_null()) location = Json::object();
  location["carter"] = carter27;

  std::vector<Target> targets{geo83, geo27};
  AddTargets(targets, P::zrSingleZone, true);
  AddTargets(targets, P::zrNorthZone, true);
  AddTargets(targets, P::zrSouthZone, true);
  AddTargets(targets, P::zrUTM16, false);
  AddTargets(targets, P::zrUTM17, false);
  for (const auto z : NeighbourZones(states)) AddTargets(targets, z, true);
  Json systems = Json::array();
  for (const Target& t : targets) systems.push_back(report.Entry(lon, lat, from, t));
  doc["systems"] = systems;

  Json shift;
  shift["in_window"] = inWindow;
  shift["from"] = from == zrGeoDatum::zrNAD27 ? "nad27" : "nad83";
  if (g83 && g27) {
    // NAD 83 minus NAD 27, east and north positive.
    const double dLon = -(g83->first - g27->first) * 3600.0;
    const double dLat = (g83->second - g27->second) * 3600.0;
    shift["dlon_seconds"] = dLon;
    shift["dlat_seconds"] = dLat;
    shift["dlon_seconds_text"] = Fixed(dLon, 5);
    shift["dlat_seconds_text"] = Fixed(dLat, 5);
  }
  doc["datum_shift"] = shift;
  doc["location"] = location;

  Json flags;
  const double lon83 = g83 ? g83->first : lon, lat83 = g83 ? g83->second : lat;
  flags["in_shift_window"] = inWindow;
  flags["in_served_region"] = ServedRegion::Contains(lon83, lat83);
  flags["in_carter_grid"] = !carter27.empty();
  flags["official_zone"] = location.contains("sp_zone") ? location["sp_zone"] : Json("");
  doc["flags"] = flags;
  if (cell) {
    Json area = AreaJson(*cell, report);
    if (area.is_null()) throw Problem(422, "outside-shift-window", "the cell lies outside the NAD 27/NAD 83 shift window");
    area["centre"] = Json{{"x", -lon}, {"y", lat}, {"datum", from == zrGeoDatum::zrNAD27 ? "nad27" : "nad83"}};
    doc["area"] = area;
  }
  Response r;
  r.body = doc.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  return r;
}

}  // namespace lantrel::cli::serve
