// lantrel map: the SVG's structure (points inside the outlines of the counties the lookup
// names, labels, furniture), the command's failures, and the document as Chromium renders it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "map/label_space.hpp"
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

// Names are moved or left out rather than printed over each other: no quadrangle name or tile
// covers a county name, a point, a point's label or another quadrangle's name.
TEST_F(MapSvg, LabelsDoNotCoverEachOther) {
  const struct {
    const char* name;
    std::string input;
    bool quadNames;  // quadrangles large enough on the canvas to be named
    std::vector<std::string> options;
  } maps[] = {
      {"labels-frankfort.svg", Input(kFrankfort), true, {}},
      {"labels-statewide.svg", Input(kStatewide), false, {}},
      {"labels-lexington.svg", "-84.5037 38.0406 Lexington\n-84.62 38.21 Georgetown\n-84.87 38.20 Frankfort\n", true, {}},
      {"labels-carter.svg", "-84.8733 38.2009 Frankfort\n-84.95 38.15 Well 2\n", true, {"--carter"}},
  };
  for (const auto& m : maps) {
    SCOPED_TRACE(m.name);
    const std::string svg = Draw(m.name, m.options, m.input);
    struct Label {
      std::string text;
      cli::map::Box box;
    };
    auto labels = [&](const char* cls, double defaultSize, double anchorShare) {
      std::vector<Label> out;
      const auto attrs = Elements(svg, "text", cls);
      const auto texts = Texts(svg, cls);
      for (std::size_t i = 0; i < attrs.size(); ++i) {
        const auto size = attrs[i].count("font-size") ? std::stod(attrs[i].at("font-size")) : defaultSize;
        out.push_back({texts[i], cli::map::LabelBox(texts[i], size, {std::stod(attrs[i].at("x")),
                                                                std::stod(attrs[i].at("y"))}, anchorShare)});
      }
      return out;
    };
    std::vector<Label> fixed = labels("county-label", 14.0, 0.5);
    for (const auto& more : {labels("point-label", 12.0, 0.0), labels("carter-block-label", 11.0, 0.0)}) {
      fixed.insert(fixed.end(), more.begin(), more.end());
    }
    for (const auto& p : Elements(svg, "circle", "point")) {
      const double x = std::stod(p.at("cx")), y = std::stod(p.at("cy"));
      fixed.push_back({"point " + p.at("data-line"), {x - 5, y - 5, x + 5, y + 5}});
    }
    std::vector<Label> quads = labels("quad-label", 10.0, 0.5);
    const auto tiles = labels("quad-tile", 8.0, 0.5);
    ASSERT_EQ(quads.size(), tiles.size());
    EXPECT_EQ(!quads.empty(), m.quadNames);
    // Every name lies wholly inside the frame (960 x 620 from 20, 44).
    for (const auto& f : fixed) {
      if (f.text.rfind("point ", 0) == 0) continue;
      EXPECT_TRUE(f.box.left >= 20 && f.box.right <= 980 && f.box.top >= 44 && f.box.bottom <= 664)
          << f.text << " is cut by the frame";
    }
    // Section numbers sit clear of every other label.
    const auto sections = labels("carter-section-label", 9.0, 0.5);
    EXPECT_EQ(!sections.empty(), !m.options.empty());
    for (const auto& n : sections) {
      for (const auto& f : fixed) EXPECT_FALSE(n.box.Overlaps(f.box)) << "section " << n.text << " under " << f.text;
      for (const auto& q : quads) EXPECT_FALSE(n.box.Overlaps(q.box)) << "section " << n.text << " under " << q.text;
    }
    for (std::size_t i = 0; i < quads.size(); ++i) {
      SCOPED_TRACE(quads[i].text);
      const Label* marks[] = {&quads[i], &tiles[i]};
      for (const Label* mark : marks) {
        for (const auto& f : fixed) EXPECT_FALSE(mark->box.Overlaps(f.box)) << "covers " << f.text;
        for (std::size_t j = 0; j < i; ++j) {
          EXPECT_FALSE(mark->box.Overlaps(quads[j].box) || mark->box.Overlaps(tiles[j].box))
              << "covers " << quads[j].text;
        }
      }
    }
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
    if (c.status == 1 && !LibraryHasData()) continue;
    const auto r = RunTool(c.args, c.input);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_TRUE(Contains(r.err, c.err)) << r.err;
    EXPECT_EQ(std::filesystem::exists(out), c.written);
  }
}

// ---- Rendering in headless Chromium -------------------------------------------------------

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
