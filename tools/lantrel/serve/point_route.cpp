// /point: one point read from any form the tool reads, then expressed in every system on both
// datums, with its factors, the datum shift, where it lies and the flags a surveyor checks.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "carter_text.hpp"
#include "lantrel/angle_text.hpp"
#include "lantrel/location_fields.hpp"
#include "lantrel/number_text.hpp"
#include "line_fields.hpp"
#include "point_factors.hpp"
#include "serve/carter_area.hpp"
#include "serve/converter_pool.hpp"
#include "serve/inputs.hpp"
#include "serve/json_writer.hpp"
#include "serve/problem.hpp"
#include "serve/routes.hpp"

namespace lantrel::cli::serve {

namespace {

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

// A target's system name and description, made once for every target the answer can hold.
struct TargetNames {
  std::string system, description;
};

const TargetNames& NamesOf(const Target& t) {
  constexpr int kProjections = 16, kUnits = 8;
  static const std::vector<TargetNames> table = [] {
    std::vector<TargetNames> names(kProjections * 2 * kUnits);
    std::vector<Target> all{{P::zrGeographic, zrGeoDatum::zrNAD83, zrGeoUnits::zrDecimalDegrees},
                            {P::zrGeographic, zrGeoDatum::zrNAD27, zrGeoUnits::zrDecimalDegrees}};
    for (int p = 0; p < kProjections; ++p) {
      const auto projection = static_cast<zrGeoProjection>(p);
      if (projection != P::zrGeographic && projection != P::zrCarter) AddTargets(all, projection, true);
    }
    for (const Target& a : all) {
      TargetNames& n = names[(static_cast<int>(a.projection) * 2 + static_cast<int>(a.datum)) * kUnits +
                             static_cast<int>(a.units)];
      n.system = Canonical(System{a.projection, a.datum, a.units, 0});
      n.description = std::string(LongName(a.projection)) + ", " + std::string(LongName(a.datum)) + ", " +
                      std::string(LongName(a.units));
    }
    return names;
  }();
  return table[(static_cast<int>(t.projection) * 2 + static_cast<int>(t.datum)) * kUnits + static_cast<int>(t.units)];
}

// The neighbouring states' zones the library carries, by state name.
struct StateZones {
  const char* state;
  std::vector<zrGeoProjection> zones;
};

const std::vector<StateZones>& NeighbourStates() {
  static const std::vector<StateZones> states{
      {"Missouri", {P::moEastZone}},
      {"Illinois", {P::ilWestZone, P::ilEastZone}},
      {"Indiana", {P::inWestZone, P::inEastZone}},
      {"Ohio", {P::ohSouthZone}},
      {"West Virginia", {P::wvSouthZone}},
      {"Virginia", {P::vaSouthZone}},
      {"Tennessee", {P::tnSingleZone}},
  };
  return states;
}

class Report {
 public:
  Report(const Context& context, int planeDecimals, int angleDecimals, int dmsDecimals, bool zgs)
      : position_(context, Named("geographic"), Named("geographic"), false, zgs),
        plane_(planeDecimals),
        angle_(angleDecimals),
        dms_(dmsDecimals) {}

  // Places the geographic point (west-positive longitude) on datum `from` and converts it to t.
  // Returns the position's return code (4: outside the shift window).
  std::int32_t To(double lon, double lat, zrGeoDatum from, const Target& t) {
    ZrGeoPosition& p = position();
    p.Projection(P::zrGeographic);
    p.Datum(from);
    p.Units(zrGeoUnits::zrDecimalDegrees);
    p.y(std::numeric_limits<double>::quiet_NaN());
    p.x(lon);
    p.y(lat);
    return p.ConvertTo(t.datum, t.projection, t.units);
  }

  // The point in system t as one entry of "systems"; note, when not empty, says how the
  // entry's zone was chosen.
  void Entry(JsonWriter& w, double lon, double lat, zrGeoDatum from, const Target& t, std::string_view note) {
    const TargetNames& names = NamesOf(t);
    w.Object();
    w.Key("system").String(names.system);
    w.Key("description").String(names.description);
    try {
      if (To(lon, lat, from, t) == 4) {
        w.Key("error").String("datum change refused: the point lies outside the NAD 27/NAD 83 shift window "
                              "(81.5-90 W, 36-39.5 N)");
        w.End();
        return;
      }
      ZrGeoPosition& p = position();
      const bool angular = t.projection == P::zrGeographic;
      const double x = angular ? -p.x() : p.x();
      const double y = p.y();
      const int decimals = angular ? angle_ : plane_;
      char text[kMaxFixedChars];
      w.Key("x").Number(x);
      w.Key("y").Number(y);
      w.Key("x_text").String(std::string_view(text, static_cast<std::size_t>(FormatFixed(text, x, decimals) - text)));
      w.Key("y_text").String(std::string_view(text, static_cast<std::size_t>(FormatFixed(text, y, decimals) - text)));
      if (angular) {
        char dms[kMaxDmsChars];
        w.Key("x_dms").String(std::string_view(dms, FormatDms(dms, x, true, dms_)));
        w.Key("y_dms").String(std::string_view(dms, FormatDms(dms, y, false, dms_)));
      } else {
        const PointFactors f = ReadFactors(p);
        w.Key("scale_factor").Number(f.scaleFactor);
        w.Key("convergence").Number(f.convergence);
      }
      if (!note.empty()) w.Key("note").String(note);
    } catch (const Error& err) {
      w.Key("error").String(DescribeLibraryError(err));
    }
    w.End();
  }

  ZrGeoPosition& position() { return position_->position(); }

 private:
  PooledConverter position_;
  int plane_, angle_, dms_;
};

// The zones of the neighbouring states found at the point. A state with two zones (Illinois,
// Indiana) assigns them by county, and the data file holds no counties outside Kentucky: the
// zone whose central meridian lies nearest the point (the smaller convergence) stands for it,
// and its entries say so. With every zone asked for, both are listed.
struct NeighbourZone {
  zrGeoProjection zone;
  std::string note;
};

std::vector<NeighbourZone> NeighbourZones(const std::string& states, double lon83, double lat83, bool every,
                                          Report& report) {
  std::vector<NeighbourZone> z;
  std::vector<std::string_view> found;
  for (std::size_t from = 0; from <= states.size();) {
    const std::size_t semi = std::min(states.find(';', from), states.size());
    found.push_back(std::string_view(states).substr(from, semi - from));
    from = semi + 1;
  }
  for (const StateZones& s : NeighbourStates()) {
    if (std::find(found.begin(), found.end(), s.state) == found.end()) continue;
    if (every || s.zones.size() == 1) {
      for (const auto zone : s.zones) z.push_back({zone, {}});
      continue;
    }
    std::optional<zrGeoProjection> nearest;
    double least = 0.0;
    for (const auto zone : s.zones) {
      try {
        report.To(lon83, lat83, zrGeoDatum::zrNAD83, {zone, zrGeoDatum::zrNAD83, zrGeoUnits::zrMeters});
        const double c = std::fabs(ReadFactors(report.position()).convergence);
        if (!nearest || c < least) {
          nearest = zone;
          least = c;
        }
      } catch (const Error&) {
      }
    }
    if (!nearest) continue;
    z.push_back({*nearest, std::string("the ") + s.state + " zone whose central meridian is nearest the point; " +
                               s.state + " assigns its zones by county (zones=all lists both)"});
  }
  return z;
}

void AreaJson(JsonWriter& w, const CarterCell& cell, Report& report, double lon, double lat, zrGeoDatum from) {
  // The ring on NAD 83 (the map's datum): corners and points along the edges, shifted point by
  // point; the size from the single zone.
  constexpr int kPerEdge = 4;
  const double corners[5][2] = {{cell.east, cell.south}, {cell.east, cell.north}, {cell.west, cell.north},
                                {cell.west, cell.south}, {cell.east, cell.south}};
  const Target geo83{P::zrGeographic, zrGeoDatum::zrNAD83, zrGeoUnits::zrDecimalDegrees};
  std::vector<std::pair<double, double>> ring;
  for (int c = 0; c < 4; ++c) {
    for (int s = 0; s < kPerEdge; ++s) {
      const double t = static_cast<double>(s) / kPerEdge;
      const double lonAt = corners[c][0] + (corners[c + 1][0] - corners[c][0]) * t;
      const double latAt = corners[c][1] + (corners[c + 1][1] - corners[c][1]) * t;
      if (report.To(lonAt, latAt, cell.datum, geo83) == 4) {
        throw Problem(422, "outside-shift-window", "the cell lies outside the NAD 27/NAD 83 shift window");
      }
      ring.emplace_back(-report.position().x(), report.position().y());
    }
  }
  ring.push_back(ring.front());
  const Target plane{P::zrSingleZone, zrGeoDatum::zrNAD83, zrGeoUnits::zrMeters};
  const auto at = [&](double lonAt, double latAt) {
    report.To(lonAt, latAt, cell.datum, plane);
    return std::pair<double, double>{report.position().x(), report.position().y()};
  };
  const double midLat = (cell.south + cell.north) / 2.0, midLon = (cell.east + cell.west) / 2.0;
  const auto e = at(cell.east, midLat), wst = at(cell.west, midLat);
  const auto s = at(midLon, cell.south), n = at(midLon, cell.north);
  const double width = std::hypot(e.first - wst.first, e.second - wst.second);
  const double height = std::hypot(n.first - s.first, n.second - s.second);
  w.Object();
  w.Key("name").String(cell.name);
  w.Key("kind").String(cell.west - cell.east > kCarterSection * 1.5 ? "block" : "section");
  w.Key("datum").String(cell.datum == zrGeoDatum::zrNAD27 ? "nad27" : "nad83");
  w.Key("bounds").Array().Number(-cell.west).Number(cell.south).Number(-cell.east).Number(cell.north).End();
  w.Key("polygon").Object().Key("type").String("Polygon").Key("coordinates").Array().Array();
  for (const auto& [x, y] : ring) w.Array().Number(x).Number(y).End();
  w.End().End().End();
  w.Key("width_m").Number(width);
  w.Key("height_m").Number(height);
  w.Key("width_ft").Number(width / 0.3048006096012192);
  w.Key("height_ft").Number(height / 0.3048006096012192);
  w.Key("area_acres").Number(width * height / 4046.872609874252);
  w.Key("centre").Object().Key("x").Number(-lon).Key("y").Number(lat);
  w.Key("datum").String(from == zrGeoDatum::zrNAD27 ? "nad27" : "nad83").End();
  w.End();
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
  const std::string zones = in.Text("zones").value_or("point");
  if (zones != "point" && zones != "all") throw Problem(400, "invalid-parameter", "'zones' must be point or all");
  const Reading reading = Understand(*text, named, datum);

  std::string out;
  out.reserve(8192);
  JsonWriter doc(out);
  doc.Object();
  doc.Key("input").String(*text);
  doc.Key("understood").Object();
  doc.Key("form").String(reading.form);
  doc.Key("system").String(Canonical(reading.system));
  doc.Key("description").String(Describe(reading.system));

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
    doc.Key("location").String(cell->name);
  } else {
    PooledConverter converter(context, reading.system, reading.system, true, zgs);
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
      doc.Key("location").String(p.Carter()->LocationString(zgs));
    } else {
      doc.Key("x").Number(reading.system.Angular() ? -p.x() : p.x());
      doc.Key("y").Number(p.y());
    }
    if (!converter->Check()) {
      const std::string m = ApiMessage(converter->error());
      if (const auto& e = converter->libraryError()) throw Problem(422, "point-refused", m, *e);
      throw Problem(422, "point-refused", m);
    }
    lon = p.x();
    lat = p.y();
  }
  doc.End();
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

  // The lookups, written out after the systems.
  std::optional<LocationFields> fields;
  std::string lookupError;
  if (g83 && p.DataLoaded()) {
    try {
      report.To(g83->first, g83->second, zrGeoDatum::zrNAD83, geo83);
      fields = LocatePoint(p, zgs);
    } catch (const Error& e) {
      lookupError = DescribeLibraryError(e);
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

  std::vector<Target> targets{geo83, geo27};
  AddTargets(targets, P::zrSingleZone, true);
  AddTargets(targets, P::zrNorthZone, true);
  AddTargets(targets, P::zrSouthZone, true);
  AddTargets(targets, P::zrUTM16, false);
  AddTargets(targets, P::zrUTM17, false);
  std::vector<std::string> notes(targets.size());
  if (fields && g83) {
    for (const auto& z : NeighbourZones(fields->Text(0), g83->first, g83->second, zones == "all", report)) {
      AddTargets(targets, z.zone, true);
      notes.resize(targets.size(), z.note);
    }
  }
  doc.Key("systems").Array();
  for (std::size_t i = 0; i < targets.size(); ++i) report.Entry(doc, lon, lat, from, targets[i], notes[i]);
  doc.End();

  doc.Key("datum_shift").Object();
  doc.Key("in_window").Bool(inWindow);
  doc.Key("from").String(from == zrGeoDatum::zrNAD27 ? "nad27" : "nad83");
  if (g83 && g27) {
    // NAD 83 minus NAD 27, east and north positive.
    const double dLon = -(g83->first - g27->first) * 3600.0;
    const double dLat = (g83->second - g27->second) * 3600.0;
    doc.Key("dlon_seconds").Number(dLon);
    doc.Key("dlat_seconds").Number(dLat);
    doc.Key("dlon_seconds_text").String(Fixed(dLon, 5));
    doc.Key("dlat_seconds_text").String(Fixed(dLat, 5));
  }
  doc.End();

  // The lookup's fields as `lantrel locate` writes them, with the Carter location on NAD 27
  // (the grid's datum) as "carter" and the one of the NAD 83 point beside it.
  doc.Key("location").Object();
  if (fields) {
    for (std::size_t i = 0; i < kLocationFieldNames.size(); ++i) {
      doc.Key(kLocationFieldNames[i]).String(i == kCarterField ? carter27 : fields->Text(i));
    }
    doc.Key("carter_nad83").String(fields->Carter());
  } else {
    if (!lookupError.empty()) doc.Key("error").String(lookupError);
    doc.Key("carter").String(carter27);
  }
  doc.End();

  const double lon83 = g83 ? g83->first : lon, lat83 = g83 ? g83->second : lat;
  doc.Key("flags").Object();
  doc.Key("in_shift_window").Bool(inWindow);
  doc.Key("in_served_region").Bool(ServedRegion::Contains(lon83, lat83));
  doc.Key("in_carter_grid").Bool(!carter27.empty());
  doc.Key("official_zone").String(fields ? fields->Text(4) : std::string());
  doc.End();
  if (cell) {
    doc.Key("area");
    AreaJson(doc, *cell, report, lon, lat, from);
  }
  doc.End();
  Response r;
  r.body = std::move(out);
  return r;
}

}  // namespace lantrel::cli::serve
