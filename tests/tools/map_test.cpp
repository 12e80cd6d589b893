// lantrel map: the SVG's structure (points inside the outlines of the counties the lookup
// names, labels, furniture), the command's failures, and the document as Chromium renders it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "lantrel/utf8_text.hpp"
#include "map/graticule.hpp"
#include "map/label_space.hpp"
#include "map/label_text.hpp"
#include "tool_runner.hpp"

namespace lantrel::testing {
namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Xy {
  double x, y;
};

// The attributes of every element with the given tag and class, in document order. (Plain
// searching: the path data is too long for std::regex's recursive matcher.)
std::vector<std::map<std::string, std::string>> Elements(const std::string& svg, const std::string& tag,
                                                         const std::string& cls) {
  std::vector<std::map<std::string, std::string>> found;
  const std::string opening = "<" + tag + " class=\"" + cls + "\"";
  for (std::size_t at = svg.find(opening); at != std::string::npos; at = svg.find(opening, at + 1)) {
    const std::size_t end = svg.find('>', at);
    std::map<std::string, std::string> attrs;
    std::size_t i = at + tag.size() + 1;
    while (true) {
      const std::size_t eq = svg.find("=\"", i);
      if (eq == std::string::npos || eq > end) break;
      const std::size_t nameStart = svg.rfind(' ', eq) + 1;
      const std::size_t close = svg.find('"', eq + 2);
      attrs[svg.substr(nameStart, eq - nameStart)] = svg.substr(eq + 2, close - eq - 2);
      i = close + 1;
    }
    found.push_back(std::move(attrs));
  }
  return found;
}

// The texts of <text class="cls"> elements.
std::vector<std::string> Texts(const std::string& svg, const std::string& cls) {
  std::vector<std::string> found;
  const std::string opening = "<text class=\"" + cls + "\"";
  for (std::size_t at = svg.find(opening); at != std::string::npos; at = svg.find(opening, at + 1)) {
    const std::size_t start = svg.find('>', at) + 1;
    found.push_back(svg.substr(start, svg.find('<', start) - start));
  }
  return found;
}

// The text between `before` and the next `after`, or "" when `before` is missing.
std::string Between(const std::string& text, const std::string& before, const std::string& after) {
  const std::size_t at = text.find(before);
  if (at == std::string::npos) return "";
  const std::size_t start = at + before.size();
  return text.substr(start, text.find(after, start) - start);
}

std::vector<Xy> PathPoints(const std::string& d) {
  std::vector<Xy> points;
  std::istringstream in(d);
  std::string token;
  while (in >> token) {
    if (token == "Z") break;
    if (token[0] == 'M' || token[0] == 'L') token.erase(0, 1);
    std::string y;
    in >> y;
    points.push_back({std::stod(token), std::stod(y)});
  }
  return points;
}

// Winding number of the closed polyline around p (nonzero: inside).
int Winding(const std::vector<Xy>& ring, Xy p) {
  int w = 0;
  for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
    const Xy a = ring[i], b = ring[i + 1];
    const double cross = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
    if (a.y <= p.y && b.y > p.y && cross > 0) ++w;
    if (a.y > p.y && b.y <= p.y && cross < 0) --w;
  }
  return w;
}

struct Place {
  const char* line;
  const char* county;
  const char* quad;  // "" = not checked
};

// Places well inside their counties across the state, and three around Frankfort.
const Place kStatewide[] = {
    {"-84.5037 38.0406 Lexington", "Fayette", ""},
    {"-86.4436 36.9685 Bowling Green", "Warren", ""},
    {"-82.5188 37.4793 Pikeville", "Pike", ""},
    {"-88.6000 37.0800 Paducah", "McCracken", ""},
    {"-85.7585 38.2527 Louisville", "Jefferson", ""},
};
const Place kFrankfort[] = {
    {"-84.8733 38.2009 Frankfort", "Franklin", "Frankfort East"},
    {"-84.9500 38.1500 Well 2", "Franklin", "Frankfort West"},
    {"-84.8000 38.3000 Well 3", "Franklin", "Switzer"},
};

template <std::size_t N>
std::string Input(const Place (&places)[N]) {
  std::string text = "# test points\n";
  for (const auto& p : places) text += std::string(p.line) + "\n";
  return text;
}

class MapSvg : public ::testing::Test {
 protected:
  void SetUp() override { LANTREL_REQUIRE(LibraryHasData(), "the reference data file"); }

  std::string Draw(const std::string& name, std::vector<std::string> args, const std::string& input) {
    const std::string path = ScratchDir() + "/" + name;
    args.insert(args.begin(), {"map", "-o", path});
    const auto r = RunTool(args, input);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    return ReadText(path);
  }
};

TEST_F(MapSvg, EveryPointIsDrawnInsideTheOutlineOfItsCounty) {
  struct Case {
    const char* name;
    std::vector<Place> places;
  } cases[] = {
      {"statewide.svg", {std::begin(kStatewide), std::end(kStatewide)}},
      {"frankfort.svg", {std::begin(kFrankfort), std::end(kFrankfort)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string input;
    for (const auto& p : c.places) input += std::string(p.line) + "\n";
    const std::string svg = Draw(c.name, {}, input);
    const auto points = Elements(svg, "circle", "point");
    const auto counties = Elements(svg, "path", "county");
    ASSERT_EQ(points.size(), c.places.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      SCOPED_TRACE(c.places[i].line);
      EXPECT_EQ(points[i].at("data-county"), c.places[i].county);
      if (c.places[i].quad[0] != '\0') {
        EXPECT_EQ(points[i].at("data-quad"), c.places[i].quad);
      }
      const Xy at{std::stod(points[i].at("cx")), std::stod(points[i].at("cy"))};
      EXPECT_TRUE(at.x > 20 && at.x < 980 && at.y > 44 && at.y < 664) << at.x << " " << at.y;
      int inside = 0;
      for (const auto& county : counties) {
        if (Winding(PathPoints(county.at("d")), at) == 0) continue;
        ++inside;
        EXPECT_EQ(county.at("data-name"), c.places[i].county);
      }
      EXPECT_EQ(inside, 1);
    }
  }
}

TEST_F(MapSvg, NamesLabelsAndFurnitureAreWritten) {
  const std::string svg = Draw("names.svg", {"--title", "Wells <A&B>"}, Input(kFrankfort));
  EXPECT_TRUE(Contains(svg, ">Wells &lt;A&amp;B&gt;</text>"));
  const auto countyLabels = Texts(svg, "county-label");
  const auto quadLabels = Texts(svg, "quad-label");
  const auto pointLabels = Texts(svg, "point-label");
  for (const auto& p : kFrankfort) {
    SCOPED_TRACE(p.line);
    EXPECT_NE(std::find(countyLabels.begin(), countyLabels.end(), p.county), countyLabels.end());
    EXPECT_NE(std::find(quadLabels.begin(), quadLabels.end(), p.quad), quadLabels.end());
  }
  EXPECT_EQ(pointLabels, (std::vector<std::string>{"Frankfort", "Well 2", "Well 3"}));
  EXPECT_TRUE(Contains(svg, "id=\"north-arrow\""));
  EXPECT_TRUE(Contains(svg, "id=\"legend\""));
  // Around Frankfort the map is some 35 km wide: bars of 5 km and 5 mi fit in 260 px.
  const auto bars = Elements(svg, "g", "scale-bar");
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_EQ(bars[0].at("data-length"), "5 km");
  EXPECT_EQ(bars[1].at("data-length"), "5 mi");
  // North is up to within the convergence of the single zone there (well under 2 degrees).
  const std::string angle = Between(svg, "data-angle=\"", "\"");
  ASSERT_FALSE(angle.empty());
  EXPECT_LT(std::fabs(std::stod(angle)), 2.0);
  EXPECT_TRUE(Elements(svg, "path", "carter-block").empty());
}

// A thousand labelled points spread over the state, the same on every run.
std::string StatewideWells() {
  std::string text;
  std::uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<double>(seed >> 8) / 16777216.0;
  };
  for (int i = 1; i <= 1000; ++i) {
    const double lon = -88.9 + 6.4 * next(), lat = 36.75 + 1.6 * next();
    text += std::to_string(lon) + " " + std::to_string(lat) + " Well " + std::to_string(i) + "\n";
  }
  return text;
}

std::string Example(const char* name) { return ReadText(std::string(LANTREL_SOURCE_DIR) + "/examples/" + name); }

// Every label the document holds and every point it draws, as boxes. Boxes are shrunk by the
// rounding of the written coordinates, so labels that merely touch do not count as covering.
struct Marks {
  std::vector<std::pair<std::string, cli::map::Box>> labels, points;
  std::vector<std::pair<cli::map::ScreenPoint, cli::map::ScreenPoint>> leads;
};

Marks MarksOf(const std::string& svg) {
  Marks m;
  const struct {
    const char* cls;
    double size, share;
  } kinds[] = {{"county-label", 14, 0.5}, {"quad-label", 10, 0.5},          {"quad-tile", 8, 0.5},
               {"point-label", 12, 0},    {"carter-block-label", 11, 0},    {"carter-section-label", 9, 0.5},
               {"tick-label", 9, 0}};
  for (const auto& k : kinds) {
    const auto attrs = Elements(svg, "text", k.cls);
    const auto texts = Texts(svg, k.cls);
    for (std::size_t i = 0; i < attrs.size(); ++i) {
      const auto& a = attrs[i];
      const double size = a.count("font-size") ? std::stod(a.at("font-size")) : k.size;
      const double share = a.count("text-anchor") ? (a.at("text-anchor") == "middle" ? 0.5 : 0.0) : k.share;
      auto box = cli::map::LabelBox(texts[i], size, {std::stod(a.at("x")), std::stod(a.at("y"))}, share);
      box = {box.left + 0.01, box.top + 0.01, box.right - 0.01, box.bottom - 0.01};
      m.labels.push_back({std::string(k.cls) + " " + texts[i], box});
    }
  }
  for (const auto& p : Elements(svg, "circle", "point")) {
    const double x = std::stod(p.at("cx")), y = std::stod(p.at("cy")), r = std::stod(p.at("r"));
    m.points.push_back({"point " + p.at("data-line"), {x - r, y - r, x + r, y + r}});
  }
  for (const auto& l : Elements(svg, "line", "lead-line")) {
    m.leads.push_back({{std::stod(l.at("x1")), std::stod(l.at("y1"))}, {std::stod(l.at("x2")), std::stod(l.at("y2"))}});
  }
  return m;
}

// No label covers another label or a point, compared pair by pair over every label box; no
// lead line crosses a label or a point; every label lies wholly inside the frame.
TEST_F(MapSvg, NoLabelCoversAnotherOrAPoint) {
  const struct {
    const char* name;
    std::string input;
    std::vector<std::string> options;
    bool quadNames;  // quadrangles large enough on the canvas to be named
  } maps[] = {
      {"labels-frankfort.svg", Input(kFrankfort), {}, true},
      {"labels-statewide.svg", Input(kStatewide), {}, false},
      {"labels-lexington.svg", "-84.5037 38.0406 Lexington\n-84.62 38.21 Georgetown\n-84.87 38.20 Frankfort\n", {}, true},
      {"labels-carter.svg", "-84.8733 38.2009 Frankfort\n-84.95 38.15 Well 2\n", {"--carter"}, true},
      {"labels-close.svg", "-84.8733 38.2009 Well 8\n-84.8702 38.2016 Well 28\n-84.8711 38.2003 Well 30\n", {}, false},
      {"labels-1000.svg", StatewideWells(), {}, false},
      {"labels-1000-small.svg", StatewideWells(), {"--size", "800x600"}, false},
      {"labels-towns.svg", Example("towns.txt"), {}, false},
      {"labels-survey.svg", Example("survey-nad27.txt"), {"--from", "north/nad27/usft"}, false},
      {"labels-wells.svg", Example("wells.txt"), {"--from", "carter/nad27", "--carter"}, false},
      {"labels-sites.svg", Example("sites-utm16.csv"), {"--csv", "--from", "utm16", "--label-col", "site"}, false},
  };
  for (const auto& m : maps) {
    SCOPED_TRACE(m.name);
    const std::string svg = Draw(m.name, m.options, m.input);
    const Marks marks = MarksOf(svg);
    EXPECT_FALSE(marks.points.empty());
    const std::string clip = Between(svg, "<clipPath id=\"map-frame\">", "</clipPath>");
    const double right = 20 + std::stod(Between(clip, "width=\"", "\"")), bottom = 44 + std::stod(Between(clip, "height=\"", "\""));
    std::size_t quads = 0, pointLabels = 0;
    for (std::size_t i = 0; i < marks.labels.size(); ++i) {
      const auto& [text, box] = marks.labels[i];
      quads += text.rfind("quad-label ", 0) == 0;
      pointLabels += text.rfind("point-label ", 0) == 0;
      EXPECT_TRUE(box.left >= 20 && box.top >= 44 && box.right <= right && box.bottom <= bottom)
          << text << " is cut by the frame";
      for (std::size_t j = 0; j < i; ++j) {
        EXPECT_FALSE(box.Overlaps(marks.labels[j].second)) << text << " covers " << marks.labels[j].first;
      }
      for (const auto& [point, at] : marks.points) EXPECT_FALSE(box.Overlaps(at)) << text << " covers " << point;
    }
    EXPECT_EQ(quads > 0, m.quadNames);
    EXPECT_GT(pointLabels, 0u);
    cli::map::LabelSpace space;
    for (const auto& [text, box] : marks.labels) space.Take(box);
    for (const auto& [text, box] : marks.points) space.Take(box);
    for (const auto& [a, b] : marks.leads) EXPECT_TRUE(space.Free(a, b)) << "lead line at " << a.x << " " << a.y;
  }
}

TEST_F(MapSvg, CarterGridNamesTheBlockAndSectionOfEachPoint) {
  const std::string svg = Draw("carter.svg", {"--carter"}, Input(kFrankfort));
  EXPECT_FALSE(Elements(svg, "path", "carter-block").empty());
  EXPECT_FALSE(Elements(svg, "path", "carter-section").empty());
  const auto blocks = Texts(svg, "carter-block-label");
  const auto sections = Texts(svg, "carter-section-label");
  EXPECT_TRUE(Contains(svg, "Carter 5&apos; block (NAD 83)"));
  for (const auto& p : kFrankfort) {
    SCOPED_TRACE(p.line);
    // The tool's own conversion names the cell: "U56-13 328-FSL 1906-FEL".
    const auto r = RunTool({"convert", "-f", "geo", "-t", "carter/nad83"}, std::string(p.line) + "\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string block = r.out.substr(0, r.out.find('-'));
    const std::string section = std::to_string(std::stoi(r.out.substr(r.out.find('-') + 1, 2)));
    EXPECT_NE(std::find(blocks.begin(), blocks.end(), block), blocks.end()) << block;
    EXPECT_NE(std::find(sections.begin(), sections.end(), section), sections.end()) << section;
  }
  // The same points given on NAD 27 get the NAD 27 grid, shifted onto the NAD 83 map.
  const std::string nad27 = Draw("carter27.svg", {"--carter", "--from", "geo/nad27"}, Input(kFrankfort));
  EXPECT_TRUE(Contains(nad27, "Carter 5&apos; block (NAD 27)"));
}

TEST_F(MapSvg, PointsOnNad27AndInPlaneZonesLandWhereTheirNad83TwinsDo) {
  const std::string reference = Draw("twin83.svg", {}, Input(kFrankfort));
  std::string geo27, north;
  for (const auto& p : kFrankfort) {
    const std::string text = std::string(p.line) + "\n";
    geo27 += RunTool({"convert", "-f", "geo", "-t", "geo/nad27", "-p", "12"}, text).out;
    north += RunTool({"convert", "-f", "geo", "-t", "north/nad27/m", "-p", "6"}, text).out;
  }
  struct Case {
    const char* from;
    const std::string* input;
  } cases[] = {{"geo/nad27", &geo27}, {"north/nad27/m", &north}};
  const auto expected = Elements(reference, "circle", "point");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    const auto points = Elements(Draw("twin.svg", {"--from", c.from}, *c.input), "circle", "point");
    ASSERT_EQ(points.size(), expected.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      EXPECT_NEAR(std::stod(points[i].at("cx")), std::stod(expected[i].at("cx")), 0.011);
      EXPECT_NEAR(std::stod(points[i].at("cy")), std::stod(expected[i].at("cy")), 0.011);
      EXPECT_EQ(points[i].at("data-county"), expected[i].at("data-county"));
    }
  }
}

// Vector layers are read in their own coordinate system: a GeoPackage and a GeoJSON file in
// the North zone, written through GDAL from a CSV file, map to the document the CSV file
// maps to (feature ids standing where line numbers are).
TEST_F(MapSvg, VectorLayersAreDrawnWhereTheirCsvTwinIs) {
#ifndef LANTREL_HAVE_GDAL
  GTEST_SKIP() << "built without GDAL";
#endif
  const std::string csv = WriteFile("north_wells.csv",
                                    "x,y,name\n1461301.588,255846.547,Frankfort\n"
                                    "1568277.347,145762.569,Nicholasville\n1224031.822,276398.563,Louisville\n");
  const auto withoutLines = [](const std::string& svg) {
    return std::regex_replace(svg, std::regex(" data-line=\"[0-9]+\""), "");
  };
  const std::string expected = withoutLines(Draw("north_csv.svg", {"--title", "Wells", "--from", "north", csv}, ""));
  ASSERT_EQ(Elements(expected, "circle", "point").size(), 3u);
  for (const char* extension : {"gpkg", "geojson"}) {
    SCOPED_TRACE(extension);
    const std::string layer = ScratchDir() + "/north_wells." + extension;
    const auto made = RunTool({"convert", "-f", "north", "-t", "north", "-o", layer, csv});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(withoutLines(Draw("north_layer.svg", {"--title", "Wells", layer}, "")), expected);
  }
}

TEST(MapCommand, MistakesAndFailedLinesAreReported) {
  const std::string out = ScratchDir() + "/failures.svg";
  struct Case {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string err;
    bool written;
  } cases[] = {
      {{"map"}, "", 2, "map needs -o FILE", false},
      {{"map", "-o", ScratchDir() + "/map.pdf"}, "", 2, "written as .svg or .png", false},
      {{"map", "-o", out, "--from", "nowhere"}, "", 2, "'nowhere' is not a projection", false},
      {{"map", "-o", out, "/nonexistent/points"}, "", 2, "cannot open", false},
      {{"map", "-o", out, "--size", "640x480"}, "", 2, "--size 640x480: give WIDTHxHEIGHT in pixels, from 800x600 to 8000x8000", false},
      {{"map", "-o", out, "--size", "1000by820"}, "", 2, "--size 1000by820: give WIDTHxHEIGHT", false},
      {{"map", "-o", out, "--label-col", "permit"}, "", 2, "--label-col names a CSV column: it needs --csv", false},
      {{"map", "-o", out, "--csv", "--label-col", "a", "--no-labels"}, "", 2, "--label-col and --no-labels exclude each other", false},
      {{"map", "-o", out, "--csv", "--label-col", "permit"}, "lon,lat,name\n-84.87,38.2,A\n", 2,
       "(standard input): --label-col: the CSV header has no column 'permit'", false},
      {{"map", "-o", out, "--csv"}, "lon,lat\n-84.87,38.2\n-84.8,38.3,extra\n", 1,
       "3: the record has 3 fields, the header 2", true},
      {{"map", "-o", out}, "# only a comment\n", 1, "no points to map", false},
      {{"map", "-o", out}, "-84.8733 38.2009\nabc 38\n", 1, "2: cannot read x value 'abc'", true},
      {{"map", "-o", out, "--strict"}, "abc 38\n-84.8733 38.2009\n", 1, "1: cannot read", false},
      {{"map", "-o", out}, "-84 52 23.88 38 12 3.24\n", 1, "ambiguous", false},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const auto& a : c.args) shown += a + " ";
    SCOPED_TRACE(shown);
    std::filesystem::remove(out);
    if (!c.input.empty() && !LibraryHasData()) continue;  // input is read once the data is loaded
    const auto r = RunTool(c.args, c.input);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_TRUE(Contains(r.err, c.err)) << r.err;
    EXPECT_EQ(std::filesystem::exists(out), c.written);
  }
}

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

// Labels and titles in another encoding are transcoded, so the document is valid UTF-8 with
// its markup escaped.
TEST_F(MapSvg, TextIsWrittenAsValidUtf8) {
  const struct {
    std::string label;  // as the input holds it
    const char* written;
  } cases[] = {
      {"Caf\xE9 No. 1", "Caf\xC3\xA9 No. 1"},
      {"\x93Well\x94 A&B <1>", "\xE2\x80\x9CWell\xE2\x80\x9D A&amp;B &lt;1&gt;"},
      {"Bad \x81 byte", "Bad \xEF\xBF\xBD byte"},
      {"M\xC3\xA9nard \"2\"", "M\xC3\xA9nard &quot;2&quot;"},
      {"cut \xE2\x80", "cut \xC3\xA2\xE2\x82\xAC"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written);
    const std::string svg = Draw("utf8.svg", {"--title", "T\xE9st " + c.label}, "-84.8733 38.2009 " + c.label + "\n");
    EXPECT_TRUE(lantrel::ValidUtf8(svg));
    EXPECT_EQ(Texts(svg, "point-label"), std::vector<std::string>{c.written});
    EXPECT_TRUE(Contains(svg, ">T\xC3\xA9st ")) << "title";
  }
}

// The label options, the canvas size, markers by density, and the credits, which come from
// the data file so the same input draws the same map byte for byte.
TEST_F(MapSvg, LabelOptionsSizeMarkersAndCredits) {
  const std::string csv = "name,lon,lat,permit\nA,-84.8733,38.2009,P-1\nB,-84.95,38.15,\n";
  const struct {
    const char* name;
    std::vector<std::string> options;
    std::string input;
    std::vector<std::string> labels;  // the point labels, when checked
    const char* width;
    const char* height;
    const char* radius;
  } cases[] = {
      {"opt-plain.svg", {}, Input(kFrankfort), {"Frankfort", "Well 2", "Well 3"}, "1000", "820", "5"},
      {"opt-none.svg", {"--no-labels"}, Input(kFrankfort), {}, "1000", "820", "5"},
      {"opt-name.svg", {"--csv"}, csv, {"A", "B"}, "1000", "820", "5"},
      {"opt-col.svg", {"--csv", "--label-col", "PERMIT"}, csv, {"P-1"}, "1000", "820", "5"},
      {"opt-size.svg", {"--size", "1600x1200"}, Input(kFrankfort), {"Frankfort", "Well 2", "Well 3"}, "1600", "1200", "5"},
      {"opt-dense.svg", {"--no-labels"}, StatewideWells(), {}, "1000", "820", "2.5"},
  };
  std::string reference;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string svg = Draw(c.name, c.options, c.input);
    auto labels = Texts(svg, "point-label");
    std::sort(labels.begin(), labels.end());
    EXPECT_EQ(labels, c.labels);
    EXPECT_TRUE(Contains(svg, "width=\"" + std::string(c.width) + "\" height=\"" + c.height + "\""));
    EXPECT_EQ(Elements(svg, "circle", "point").front().at("r"), c.radius);
    if (reference.empty()) reference = svg;
  }
  // -v says what became of the labels.
  const struct {
    std::string input;
    const char* line;
  } verbose[] = {
      {Input(kFrankfort), "lantrel: labels: 3 beside their point, 0 with a lead line, 0 left out for want of room\n"},
      {StatewideWells(), "lantrel: labels: 21 beside their point, 54 with a lead line, 925 left out for want of room\n"},
  };
  for (const auto& v : verbose) {
    const auto r = RunTool({"map", "-v", "-o", ScratchDir() + "/verbose.svg"}, v.input);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Contains(r.err, v.line)) << r.err;
  }
  // Again: the same bytes. The source line dates the data file, not the run.
  EXPECT_EQ(Draw("opt-plain.svg", {}, Input(kFrankfort)), reference);
  const auto info = RunTool({"info"});
  const std::string dataFile = Between(info.out, "Data file: ", "\n");
  ASSERT_FALSE(dataFile.empty()) << info.out;
  const auto stamp = std::filesystem::last_write_time(dataFile);
  const std::time_t t = std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(
          stamp - std::filesystem::file_time_type::clock::now() + std::chrono::system_clock::now()));
  char date[16];
  std::strftime(date, sizeof date, "%Y-%m-%d", std::gmtime(&t));
  EXPECT_EQ(Texts(reference, "source"),
            std::vector<std::string>{"Reference data: US Census Bureau state and county outlines, USGS 7.5\u2032 "
                                     "quadrangle index; lantrel.bin of " + std::string(date)});
  // Graticule ticks on all four edges around Frankfort, every 5'.
  const auto ticks = Elements(reference, "line", "tick");
  EXPECT_GE(ticks.size(), 8u);
  EXPECT_TRUE(Contains(reference, "data-value=\"84\u00B050\u2032W\""));
  EXPECT_TRUE(Contains(reference, "data-value=\"38\u00B015\u2032N\""));
}

TEST(MapGraticule, IntervalsAndValues) {
  const struct {
    double degrees;
    int minutes;
  } steps[] = {{0.05, 1}, {0.4, 5}, {0.9, 10}, {1.4, 15}, {2.9, 30}, {5.9, 60}, {6.4, 120}, {30.0, 240}};
  for (const auto& s : steps) EXPECT_EQ(cli::map::TickMinutes(s.degrees, 6), s.minutes) << s.degrees;
  const struct {
    long minutes;
    bool longitude;
    const char* text;
  } values[] = {{5070, true, "84\u00B030\u2032W"}, {2280, false, "38\u00B0N"}, {-30, true, "0\u00B030\u2032E"},
                {-125, false, "2\u00B05\u2032S"}};
  for (const auto& v : values) EXPECT_EQ(cli::map::TickText(v.minutes, v.longitude), v.text);
}

// The map replaces its output only with a complete picture, written to a new file created
// beside it: a name planted where a temporary file might go is never followed, an output that
// is not a regular file is refused, and a failure (here a file size limit) keeps the old map.
TEST(MapCommand, OutputIsReplacedOnlyByACompleteMap) {
  LANTREL_REQUIRE(LibraryHasData(), "the reference data file");
  const bool png = !FindOnPath("rsvg-convert").empty();
  const struct {
    const char* name;
    const char* output;  // in a fresh folder
    const char* setup;   // plant: links at the old temporary names; link: output is a link; mode
    const char* limit;   // ulimit -f for the run, or ""
    int status;
    const char* err;
    bool replaced;
  } cases[] = {
      {"planted-svg", "map.svg", "plant", "", 0, "", true},
      {"planted-png", "map.png", "plant", "", 0, "", true},
      {"link", "map.svg", "link", "", 1, "-o DIR/map.svg: not a regular file; the map replaces only a regular file", false},
      {"no-folder", "missing/map.svg", "", "", 1, "cannot write DIR/missing/map.svg: No such file or directory", false},
      {"full", "map.svg", "", "20", 1, "cannot write DIR/map.svg: File too large", false},
      {"mode", "map.svg", "mode", "", 0, "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (std::string(c.output).find(".png") != std::string::npos && !png) continue;
    const std::filesystem::path dir = std::filesystem::path(ScratchDir()) / "replace" / c.name;
    std::filesystem::create_directories(dir);
    const std::string out = (dir / c.output).string();
    const std::string victim = (dir / "victim").string();
    std::ofstream(victim) << "victim";
    if (std::string(c.setup) != "link") std::ofstream(out) << "earlier";
    if (std::string(c.setup) == "plant") {
      for (const char* suffix : {".svg.tmp", ".png.tmp", ".tmp"}) std::filesystem::create_symlink(victim, out + suffix);
    } else if (std::string(c.setup) == "link") {
      std::filesystem::create_symlink(victim, out);
    } else if (std::string(c.setup) == "mode") {
      std::filesystem::permissions(out, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                            std::filesystem::perms::group_read);
    }
    RunRequest request;
    request.input = Input(kFrankfort);
    if (c.limit[0] != '\0') {
      request.program = "/bin/sh";
      request.args = {"-c", std::string("ulimit -f ") + c.limit + "; exec \"$0\" \"$@\"", ToolPath(), "map", "-o", out};
    } else {
      request.args = {"map", "-o", out};
    }
    const auto r = RunTool(request);
    EXPECT_EQ(r.status, c.status) << r.err;
    std::string err = r.err;
    for (std::size_t at; (at = err.find(dir.string())) != std::string::npos;) err.replace(at, dir.string().size(), "DIR");
    EXPECT_EQ(err, c.status == 0 ? std::string() : "lantrel: " + std::string(c.err) + "\n");
    EXPECT_EQ(ReadText(victim), "victim");
    if (std::string(c.setup) == "link") {
      EXPECT_TRUE(std::filesystem::is_symlink(out));
    } else if (std::filesystem::exists(std::filesystem::path(out).parent_path())) {
      EXPECT_EQ(ReadText(out) != "earlier", c.replaced);
    }
    if (std::string(c.setup) == "mode") {
      EXPECT_EQ(std::filesystem::status(out).permissions() & std::filesystem::perms::all,
                std::filesystem::perms::owner_read | std::filesystem::perms::owner_write | std::filesystem::perms::group_read);
    }
    // Nothing is left beside the output but what the case put there.
    std::size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
      EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
      ++files;
    }
    const bool output = std::filesystem::exists(std::filesystem::symlink_status(out));
    EXPECT_EQ(files, 1u + output + (std::string(c.setup) == "plant" ? 3u : 0u));
  }
}

// ---- Rendering in headless Chromium -------------------------------------------------------


struct Rgb {
  int r, g, b;
};

// Draws the SVG file on a canvas in a page next to it and reads the pixels back: Chromium's
// rendering, probed at the given canvas points. The page also hands back the whole picture,
// kept as a PNG beside the test's build output for a look.
std::vector<Rgb> RenderAndProbe(const std::string& chromium, const std::string& svgPath,
                                const std::vector<Xy>& probes, const std::string& pngPath) {
  std::string list;
  for (const auto& p : probes) {
    list += (list.empty() ? "[" : ",[") + std::to_string(static_cast<int>(p.x)) + "," +
            std::to_string(static_cast<int>(p.y)) + "]";
  }
  const std::string page = WriteFile("render.html", R"(<!doctype html><html><body>
<canvas id="c" width="1000" height="820"></canvas><pre id="out">pending</pre><pre id="png"></pre>
<script>
const probes = [)" + list + R"(];
const img = new Image();
img.onload = () => {
  const canvas = document.getElementById('c');
  const ctx = canvas.getContext('2d');
  ctx.drawImage(img, 0, 0);
  document.getElementById('out').textContent = 'pixels ' + probes.map(([x, y]) =>
      Array.from(ctx.getImageData(x, y, 1, 1).data.slice(0, 3)).join(',')).join(' ');
  document.getElementById('png').textContent = canvas.toDataURL('image/png');
};
img.onerror = () => { document.getElementById('out').textContent = 'failed to load'; };
img.src = ')" + std::filesystem::path(svgPath).filename().string() + R"(';
</script></body></html>)");
  const std::string profile = ScratchDir() + "/chromium-profile";
  std::filesystem::create_directories(profile);
  RunRequest request;
  request.program = chromium;
  request.args = {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--user-data-dir=" + profile, "--allow-file-access-from-files",
                  "--virtual-time-budget=5000", "--dump-dom", "file://" + page};
  const auto r = RunTool(request);
  std::vector<Rgb> pixels;
  const std::string values = Between(r.out, "pixels ", "</pre>");
  if (values.empty()) {
    ADD_FAILURE() << "Chromium did not render the map: " << r.out.substr(0, 400) << r.err.substr(0, 400);
    return pixels;
  }
  std::istringstream in(values);
  std::string triple;
  while (in >> triple) {
    Rgb c{};
    if (std::sscanf(triple.c_str(), "%d,%d,%d", &c.r, &c.g, &c.b) == 3) pixels.push_back(c);
  }
  // Keep the picture: base64 PNG after "data:image/png;base64,".
  static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  int bits = 0, value = 0;
  for (const char ch : Between(r.out, "data:image/png;base64,", "<")) {
    const auto at = alphabet.find(ch);
    if (at == std::string::npos) break;
    value = ((value << 6) | static_cast<int>(at)) & 0xFFFFFF;
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes += static_cast<char>((value >> bits) & 0xFF);
    }
  }
  if (!bytes.empty()) std::ofstream(pngPath, std::ios::binary) << bytes;
  return pixels;
}

TEST(MapRender, ChromiumShowsThePointsAndCountyLinesWhereTheSvgPutsThem) {
  LANTREL_REQUIRE(LibraryHasData(), "the reference data file");
  const std::string chromium = FindOnPath("chromium");
  if (chromium.empty()) GTEST_SKIP() << "chromium is not installed (Debian package chromium): render check skipped";
  const std::string svgPath = ScratchDir() + "/render.svg";
  const auto r = RunTool({"map", "-o", svgPath}, Input(kFrankfort));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string svg = ReadText(svgPath);

  std::vector<Xy> probes;
  const auto points = Elements(svg, "circle", "point");
  for (const auto& p : points) probes.push_back({std::stod(p.at("cx")), std::stod(p.at("cy"))});
  // County lines: the middles of long outline edges well inside the frame.
  std::vector<Xy> edges;
  for (const auto& county : Elements(svg, "path", "county")) {
    const auto ring = PathPoints(county.at("d"));
    for (std::size_t i = 0; i + 1 < ring.size() && edges.size() < 24; ++i) {
      const Xy m{(ring[i].x + ring[i + 1].x) / 2, (ring[i].y + ring[i + 1].y) / 2};
      if (std::hypot(ring[i + 1].x - ring[i].x, ring[i + 1].y - ring[i].y) > 40 && m.x > 40 &&
          m.x < 960 && m.y > 64 && m.y < 644 &&
          std::fabs(ring[i + 1].y - ring[i].y) > std::fabs(ring[i + 1].x - ring[i].x)) {
        edges.push_back(m);  // a steep edge: its middle pixel lies on the line
      }
    }
  }
  ASSERT_GE(edges.size(), 4u);
  probes.insert(probes.end(), edges.begin(), edges.end());
  const std::filesystem::path keep = std::filesystem::path(LANTREL_BINARY_DIR) / "test-output";
  std::filesystem::create_directories(keep);
  const auto pixels = RenderAndProbe(chromium, svgPath, probes, (keep / "map-render.png").string());
  ASSERT_EQ(pixels.size(), probes.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    SCOPED_TRACE("point " + std::to_string(i));
    // The point's fill, #e41a1c.
    EXPECT_GT(pixels[i].r, 180);
    EXPECT_LT(pixels[i].g, 80);
    EXPECT_LT(pixels[i].b, 80);
  }
  int dark = 0;
  for (std::size_t i = points.size(); i < pixels.size(); ++i) {
    // The county line (#8c6d46) or a label over it, never the pale fill (#fbf6e6).
    if (pixels[i].r + pixels[i].g + pixels[i].b < 600) ++dark;
  }
  EXPECT_GE(dark * 10, static_cast<int>(edges.size()) * 8) << dark << " of " << edges.size();
}

// A PNG map is the SVG map as rsvg-convert draws it: a PNG of the document's size with the
// points where the SVG puts them (read back through Chromium).
TEST(MapRender, PngHoldsTheSvgPicture) {
  if (FindOnPath("rsvg-convert").empty()) {
    GTEST_SKIP() << "rsvg-convert is not installed (Debian package librsvg2-bin): PNG maps skipped";
  }
  const std::string svgPath = ScratchDir() + "/twin.svg";
  const std::string pngPath = ScratchDir() + "/twin.png";
  ASSERT_EQ(RunTool({"map", "-o", svgPath}, Input(kFrankfort)).status, 0);
  const auto r = RunTool({"map", "-o", pngPath}, Input(kFrankfort));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string png = ReadText(pngPath);
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  auto be32 = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(png[at + i]);
    return v;
  };
  const std::string svg = ReadText(svgPath);
  EXPECT_TRUE(Contains(svg, "width=\"" + std::to_string(be32(16)) + "\""));
  EXPECT_TRUE(Contains(svg, "height=\"" + std::to_string(be32(20)) + "\""));

  const std::string chromium = FindOnPath("chromium");
  if (chromium.empty()) GTEST_SKIP() << "chromium is not installed: the PNG's pixels are not read";
  std::vector<Xy> probes;
  for (const auto& p : Elements(svg, "circle", "point")) probes.push_back({std::stod(p.at("cx")), std::stod(p.at("cy"))});
  ASSERT_FALSE(probes.empty());
  const std::filesystem::path keep = std::filesystem::path(LANTREL_BINARY_DIR) / "test-output";
  std::filesystem::create_directories(keep);
  const auto pixels = RenderAndProbe(chromium, pngPath, probes, (keep / "map-png.png").string());
  ASSERT_EQ(pixels.size(), probes.size());
  for (const auto& c : pixels) {
    EXPECT_GT(c.r, 180);  // the point's fill, #e41a1c
    EXPECT_LT(c.g, 80);
    EXPECT_LT(c.b, 80);
  }
}

// Without a working rsvg-convert a PNG map fails clearly and leaves the output as it was:
// no file, or the earlier picture, never a half-written one.
TEST(MapCommand, PngFailuresLeaveTheOutputAsItWas) {
  const std::string broken = ScratchDir() + "/broken-rsvg";
  std::filesystem::create_directories(broken);
  // Writes part of a picture, then fails.
  WriteFile("broken-rsvg/rsvg-convert",
            "#!/bin/sh\nfor a; do case $a in --output=*) printf 'half' > \"${a#--output=}\";; esac; done\nexit 3\n");
  std::filesystem::permissions(broken + "/rsvg-convert", std::filesystem::perms::owner_all);
  const struct {
    std::string path;  // PATH for the run
    bool earlier;      // an earlier file stands at the output
    const char* message;
  } cases[] = {
      {ScratchDir() + "/no-such-folder", false, "rsvg-convert (Debian package librsvg2-bin)"},
      {broken, false, "rsvg-convert failed"},
      {broken, true, "rsvg-convert failed"},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const std::string pngPath = ScratchDir() + "/failed" + std::to_string(n++) + ".png";
    if (c.earlier) WriteFile(std::filesystem::path(pngPath).filename().string(), "earlier");
    RunRequest request;
    request.args = {"map", "-o", pngPath};
    request.input = Input(kFrankfort);
    request.env = {{"PATH", c.path}};
    const auto r = RunTool(request);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
    if (c.earlier) EXPECT_EQ(ReadText(pngPath), "earlier");
    else EXPECT_FALSE(std::filesystem::exists(pngPath));
    // No temporary file is left beside the output.
    for (const auto& e : std::filesystem::directory_iterator(ScratchDir())) {
      EXPECT_EQ(e.path().string().find(".tmp"), std::string::npos) << e.path();
    }
  }
}

}  // namespace
}  // namespace lantrel::testing
