#include "map/map_svg.hpp"

#include <algorithm>
#include <cmath>

#include "map/label_space.hpp"
#include "map/scale_bar.hpp"

namespace lantrel::cli::map {

namespace {

using Attrs = std::initializer_list<std::pair<std::string_view, std::string>>;

// A text halo: a white stroke painted under the letters keeps labels readable over lines.
constexpr const char* kHalo = "stroke:#ffffff;stroke-width:3px;stroke-linejoin:round;paint-order:stroke";

// Where the north arrow sits: inside the frame's top right corner.
ScreenPoint NorthArrowCentre(const MapFrame& f) { return {f.left() + f.width() - 44.0, f.top() + 50.0}; }

// Width on the canvas of the part of an outline's bounding box inside the frame.
double VisibleWidth(const std::vector<ScreenPoint>& points, const MapFrame& f) {
  if (points.empty()) return 0.0;
  double lo = points.front().x, hi = lo;
  for (const auto& p : points) {
    lo = std::min(lo, p.x);
    hi = std::max(hi, p.x);
  }
  return std::max(0.0, std::min(hi, f.left() + f.width()) - std::max(lo, f.left()));
}

void DrawAreas(SvgWriter& svg, const MapDocument& doc) {
  const MapFrame& f = doc.frame;
  svg.Element("rect", {{"x", Num(f.left())}, {"y", Num(f.top())}, {"width", Num(f.width())},
                       {"height", Num(f.height())}, {"fill", kNoDataFill}});
  svg.Open("g", {{"id", "state-fills"}, {"stroke", "none"}, {"fill-rule", "evenodd"}});
  for (const auto& s : doc.layers.states) {
    svg.Element("path", {{"class", "state-fill"}, {"fill", s.home ? kHomeStateFill : kOtherStateFill},
                         {"d", PathData(s.points, false)}});
  }
  svg.Close();
}

void DrawQuads(SvgWriter& svg, const MapDocument& doc) {
  svg.Open("g", {{"id", "quadrangles"}, {"fill", "none"}, {"stroke", kQuadLine},
                 {"stroke-width", "0.8"}, {"stroke-dasharray", "5 3"}});
  for (const auto& q : doc.layers.quads) {
    svg.Element("path", {{"class", "quad"}, {"data-name", q.name}, {"data-tile", q.tile},
                         {"d", PathData(q.ring, true)}});
  }
  svg.Close();
}

void DrawCarter(SvgWriter& svg, const CarterGrid& grid) {
  svg.Open("g", {{"id", "carter-grid"}, {"fill", "none"}});
  for (const auto& line : grid.lines) {
    svg.Element("path", {{"class", line.block ? "carter-block" : "carter-section"},
                         {"stroke", line.block ? kBlockLine : kSectionLine},
                         {"stroke-width", line.block ? "1.4" : "0.6"},
                         {"d", PathData(line.points, false)}});
  }
  svg.Close();
}

void DrawOutlines(SvgWriter& svg, const MapDocument& doc) {
  svg.Open("g", {{"id", "counties"}, {"fill", "none"}, {"stroke", kCountyLine},
                 {"stroke-width", "1.2"}, {"stroke-linejoin", "round"}});
  for (const auto& c : doc.layers.counties) {
    svg.Element("path", {{"class", "county"}, {"data-name", c.name},
                         {"data-fips", std::to_string(c.fips)}, {"d", PathData(c.points, false)}});
  }
  svg.Close();
  svg.Open("g", {{"id", "states"}, {"fill", "none"}, {"stroke", kStateLine},
                 {"stroke-width", "2.4"}, {"stroke-linejoin", "round"}});
  for (const auto& s : doc.layers.states) {
    svg.Element("path", {{"class", "state"}, {"data-name", s.name},
                         {"data-fips", std::to_string(s.fips)}, {"d", PathData(s.points, false)}});
  }
  svg.Close();
}

struct CountyLabel {
  const std::string* name;
  ScreenPoint at;  // the middle of the baseline
  double size;
};

bool InsideFrame(const Box& box, const MapFrame& frame) {
  return frame.Contains({box.left, box.top}, 2.0) && frame.Contains({box.right, box.bottom}, 2.0);
}

// County names in 14 px, or 9 px when the county is small on the canvas, or not at all; a name
// the frame's edge would cut is left out.
std::vector<CountyLabel> PlaceCountyLabels(const MapDocument& doc) {
  std::vector<CountyLabel> placed;
  for (const auto& c : doc.layers.counties) {
    if (!c.label) continue;
    const double room = VisibleWidth(c.points, doc.frame);
    double size = 14.0;
    if (ApproximateTextWidth(c.name, size) > room) size = 9.0;
    if (ApproximateTextWidth(c.name, size) > room) continue;
    const ScreenPoint at{c.label->x, c.label->y + size / 3.0};
    if (!InsideFrame(LabelBox(c.name, size, at, 0.5), doc.frame)) continue;
    placed.push_back({&c.name, at, size});
  }
  return placed;
}

// Where a Carter label's text stands: block names start at their point, section numbers are
// centred a little below theirs.
ScreenPoint CarterLabelAnchor(const GridLabel& l) { return l.block ? l.at : ScreenPoint{l.at.x, l.at.y + 3.0}; }
Box CarterLabelBox(const GridLabel& l) {
  return l.block ? LabelBox(l.text, 11.0, l.at, 0.0) : LabelBox(l.text, 9.0, CarterLabelAnchor(l), 0.5);
}

// The space taken before quadrangle names are placed: the north arrow, the points with their
// labels, the county names and the Carter block names, which matter more to a reader than
// quadrangle names; section numbers come last.
LabelSpace TakenSpace(const MapDocument& doc, const std::vector<CountyLabel>& counties) {
  LabelSpace space;
  const ScreenPoint arrow = NorthArrowCentre(doc.frame);
  space.Take({arrow.x - 34.0, arrow.y - 46.0, arrow.x + 34.0, arrow.y + 46.0});
  for (const auto& p : doc.points) {
    space.Take({p.at.x - 6.0, p.at.y - 6.0, p.at.x + 6.0, p.at.y + 6.0});
    if (!p.label.empty()) space.Take(LabelBox(p.label, 12.0, {p.at.x + 8.0, p.at.y - 6.0}, 0.0));
  }
  for (const auto& c : counties) space.Take(LabelBox(*c.name, c.size, c.at, 0.5));
  if (doc.carter) {
    for (const auto& l : doc.carter->labels) {
      if (l.block) space.Take(CarterLabelBox(l));
    }
  }
  return space;
}

void DrawLabels(SvgWriter& svg, const MapDocument& doc) {
  const std::vector<CountyLabel> counties = PlaceCountyLabels(doc);
  LabelSpace space = TakenSpace(doc, counties);
  // Quadrangle names only where a quadrangle is wide enough on the canvas to hold one, and
  // where the name and tile clear the frame's edge and every label already placed; a name
  // that would cover another is moved up or down within its quadrangle, or left out.
  svg.Open("g", {{"id", "quad-labels"}, {"font-family", "DejaVu Sans, Arial, sans-serif"},
                 {"font-size", "10"}, {"fill", kQuadLine}, {"text-anchor", "middle"},
                 {"font-style", "italic"}, {"style", kHalo}});
  for (const auto& q : doc.layers.quads) {
    if (!q.label || q.ring.size() < 4) continue;
    const double width = std::fabs(q.ring[q.ring.size() / 4].x - q.ring[0].x);
    if (width < 70.0) continue;
    double top = q.ring.front().y, bottom = top;
    for (const auto& p : q.ring) {
      top = std::min(top, p.y);
      bottom = std::max(bottom, p.y);
    }
    for (const double shift : {0.0, 40.0, -40.0, 80.0, -80.0}) {
      const ScreenPoint name{q.label->x, q.label->y + 16.0 + shift};
      const ScreenPoint tile{q.label->x, name.y + 12.0};
      const Box a = LabelBox(q.name, 10.0, name, 0.5);
      const Box b = LabelBox(q.tile, 8.0, tile, 0.5);
      const Box both{std::min(a.left, b.left), a.top, std::max(a.right, b.right), b.bottom};
      if (both.top < top + 2.0 || both.bottom > bottom - 2.0) continue;
      if (!InsideFrame(both, doc.frame) || !space.Free(both)) continue;
      space.Take(both);
      svg.Text({{"class", "quad-label"}, {"x", Num(name.x)}, {"y", Num(name.y)}}, q.name);
      svg.Text({{"class", "quad-tile"}, {"x", Num(tile.x)}, {"y", Num(tile.y)}, {"font-size", "8"}},
               q.tile);
      break;
    }
  }
  svg.Close();
  if (doc.carter) {
    svg.Open("g", {{"id", "carter-labels"}, {"font-family", "DejaVu Sans, Arial, sans-serif"},
                   {"fill", kBlockLine}, {"style", kHalo}});
    for (const auto& l : doc.carter->labels) {
      const ScreenPoint at = CarterLabelAnchor(l);
      if (l.block) {
        svg.Text({{"class", "carter-block-label"}, {"x", Num(at.x)}, {"y", Num(at.y)},
                  {"font-size", "11"}, {"font-weight", "bold"}},
                 l.text);
        continue;
      }
      // A section number under another label is left out; its neighbours show the numbering.
      const Box box = CarterLabelBox(l);
      if (!space.Free(box)) continue;
      space.Take(box);
      svg.Text({{"class", "carter-section-label"}, {"x", Num(at.x)}, {"y", Num(at.y)},
                {"font-size", "9"}, {"text-anchor", "middle"}},
               l.text);
    }
    svg.Close();
  }
  svg.Open("g", {{"id", "county-labels"}, {"font-family", "DejaVu Sans, Arial, sans-serif"},
                 {"font-size", "14"}, {"font-weight", "bold"}, {"fill", "#5a4630"},
                 {"text-anchor", "middle"}, {"style", kHalo}});
  for (const auto& c : counties) {
    svg.Text({{"class", "county-label"}, {"x", Num(c.at.x)}, {"y", Num(c.at.y)}, {"font-size", Num(c.size)}},
             *c.name);
  }
  svg.Close();
}

void DrawPoints(SvgWriter& svg, const MapDocument& doc) {
  svg.Open("g", {{"id", "points"}, {"fill", kPointFill}, {"stroke", "#ffffff"},
                 {"stroke-width", "1.5"}});
  for (const auto& p : doc.points) {
    svg.Element("circle", {{"class", "point"}, {"cx", Num(p.at.x)}, {"cy", Num(p.at.y)},
                           {"r", "5"}, {"data-line", std::to_string(p.line)},
                           {"data-county", p.county}, {"data-quad", p.quad}});
  }
  svg.Close();
  svg.Open("g", {{"id", "point-labels"}, {"font-family", "DejaVu Sans, Arial, sans-serif"},
                 {"font-size", "12"}, {"fill", "#111111"}, {"style", kHalo}});
  for (const auto& p : doc.points) {
    if (p.label.empty()) continue;
    svg.Text({{"class", "point-label"}, {"x", Num(p.at.x + 8.0)}, {"y", Num(p.at.y - 6.0)}},
             p.label);
  }
  svg.Close();
}

void DrawNorthArrow(SvgWriter& svg, const MapDocument& doc) {
  const ScreenPoint c = NorthArrowCentre(doc.frame);
  svg.Open("g", {{"id", "north-arrow"}, {"data-angle", Num(doc.northAngle)},
                 {"transform", "translate(" + Num(c.x) + " " + Num(c.y) + ")"}});
  svg.Element("circle", {{"r", "30"}, {"fill", "#ffffff"}, {"fill-opacity", "0.85"},
                         {"stroke", "#333333"}, {"stroke-width", "1"}});
  svg.Open("g", {{"transform", "rotate(" + Num(doc.northAngle) + ")"}});
  svg.Element("polygon", {{"points", "0,-24 8,8 0,2 -8,8"}, {"fill", "#222222"}});
  svg.Text({{"x", "0"}, {"y", "22"}, {"font-family", "DejaVu Sans, Arial, sans-serif"},
            {"font-size", "12"}, {"font-weight", "bold"}, {"text-anchor", "middle"},
            {"fill", "#222222"}},
           "N");
  svg.Close();
  svg.Close();
}

void DrawScaleBar(SvgWriter& svg, const ScaleBar& bar, double x, double y) {
  if (bar.pixels <= 0.0) return;
  svg.Open("g", {{"class", "scale-bar"}, {"data-length", bar.label}});
  // Two halves, black and white, over a baseline; ticks at both ends and the middle.
  svg.Element("rect", {{"x", Num(x)}, {"y", Num(y)}, {"width", Num(bar.pixels / 2)}, {"height", "6"},
                       {"fill", "#222222"}});
  svg.Element("rect", {{"x", Num(x + bar.pixels / 2)}, {"y", Num(y)}, {"width", Num(bar.pixels / 2)},
                       {"height", "6"}, {"fill", "#ffffff"}, {"stroke", "#222222"}});
  svg.Text({{"x", Num(x)}, {"y", Num(y - 4)}, {"font-size", "11"}, {"text-anchor", "middle"}}, "0");
  svg.Text({{"x", Num(x + bar.pixels)}, {"y", Num(y - 4)}, {"font-size", "11"},
            {"text-anchor", "middle"}},
           bar.label);
  svg.Close();
}

void DrawLegend(SvgWriter& svg, const MapDocument& doc) {
  const double top = kFrameTop + kFrameHeight + 22.0;
  svg.Open("g", {{"id", "legend"}, {"font-family", "DejaVu Sans, Arial, sans-serif"},
                 {"font-size", "12"}, {"fill", "#222222"}});
  struct Entry {
    std::string text;
    std::string kind;  // point, line
    std::string colour;
    std::string width;
    std::string dash;
  };
  std::vector<Entry> entries = {
      {"Point (" + std::to_string(doc.points.size()) + ")", "point", kPointFill, "", ""},
      {"State boundary", "line", kStateLine, "2.4", ""},
      {"County boundary", "line", kCountyLine, "1.2", ""},
      {doc.layers.quadsDrawn ? "7.5' quadrangle" : "7.5' quadrangles: too small to draw at this scale",
       "line", kQuadLine, "0.8", "5 3"},
  };
  if (doc.carter) {
    const std::string datum = doc.carter->datum == zrGeoDatum::zrNAD27 ? "NAD 27" : "NAD 83";
    entries.push_back({doc.carter->blocks ? "Carter 5' block (" + datum + ")"
                                          : "Carter blocks: too small to draw at this scale",
                       "line", kBlockLine, "1.4", ""});
    if (doc.carter->sections) entries.push_back({"Carter 1' section", "line", kSectionLine, "0.6", ""});
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const double x = 20.0 + static_cast<double>(i / 4) * 250.0;
    const double y = top + static_cast<double>(i % 4) * 22.0;
    const Entry& e = entries[i];
    if (e.kind == "point") {
      svg.Element("circle", {{"cx", Num(x + 15)}, {"cy", Num(y)}, {"r", "5"}, {"fill", e.colour},
                             {"stroke", "#ffffff"}, {"stroke-width", "1.5"}});
    } else {
      svg.Element("line", {{"x1", Num(x)}, {"y1", Num(y)}, {"x2", Num(x + 30)}, {"y2", Num(y)},
                           {"stroke", e.colour}, {"stroke-width", e.width},
                           {"stroke-dasharray", e.dash.empty() ? "none" : e.dash}});
    }
    svg.Text({{"x", Num(x + 40)}, {"y", Num(y + 4)}}, e.text);
  }
  svg.Close();

  const double ppm = doc.frame.PixelsPerMetre();
  svg.Open("g", {{"id", "scale-bars"}, {"font-family", "DejaVu Sans, Arial, sans-serif"},
                 {"fill", "#222222"}});
  DrawScaleBar(svg, ChooseScaleBar(ppm, 260.0, 1000.0, "km", "m", 1.0), 700.0, top + 8.0);
  DrawScaleBar(svg, ChooseScaleBar(ppm, 260.0, kMetresPerMile, "mi"), 700.0, top + 48.0);
  svg.Close();
}

}  // namespace

std::string RenderSvg(const MapDocument& doc) {
  SvgWriter svg(kCanvasWidth, kCanvasHeight);
  svg.Element("rect", {{"width", "100%"}, {"height", "100%"}, {"fill", "#ffffff"}});
  svg.Open("defs");
  svg.Open("clipPath", {{"id", "map-frame"}});
  svg.Element("rect", {{"x", Num(doc.frame.left())}, {"y", Num(doc.frame.top())},
                       {"width", Num(doc.frame.width())}, {"height", Num(doc.frame.height())}});
  svg.Close();
  svg.Close();
  svg.Text({{"x", "20"}, {"y", "30"}, {"font-family", "DejaVu Sans, Arial, sans-serif"},
            {"font-size", "20"}, {"font-weight", "bold"}, {"fill", "#222222"}},
           doc.title);
  svg.Text({{"x", Num(kCanvasWidth - 20)}, {"y", "30"}, {"font-family", "DejaVu Sans, Arial, sans-serif"},
            {"font-size", "11"}, {"fill", "#555555"}, {"text-anchor", "end"}},
           doc.subtitle);

  svg.Open("g", {{"id", "map"}, {"clip-path", "url(#map-frame)"}});
  DrawAreas(svg, doc);
  DrawQuads(svg, doc);
  if (doc.carter) DrawCarter(svg, *doc.carter);
  DrawOutlines(svg, doc);
  DrawLabels(svg, doc);
  DrawPoints(svg, doc);
  svg.Close();
  svg.Element("rect", {{"x", Num(doc.frame.left())}, {"y", Num(doc.frame.top())},
                       {"width", Num(doc.frame.width())}, {"height", Num(doc.frame.height())},
                       {"fill", "none"}, {"stroke", "#333333"}, {"stroke-width", "1"}});
  DrawNorthArrow(svg, doc);
  DrawLegend(svg, doc);
  return svg.Finish();
}

}  // namespace lantrel::cli::map
