#include "map/map_svg.hpp"

#include <algorithm>
#include <cmath>

#include "map/label_space.hpp"
#include "map/point_labels.hpp"
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
// the frame's edge would cut, or that would cover a point or a label placed before, is left
// out.
std::vector<CountyLabel> PlaceCountyLabels(const MapDocument& doc, LabelSpace& space) {
  std::vector<CountyLabel> placed;
  for (const auto& c : doc.layers.counties) {
    if (!c.label) continue;
    const double room = VisibleWidth(c.points, doc.frame);
    double size = 14.0;
    if (ApproximateTextWidth(c.name, size) > room) size = 9.0;
    if (ApproximateTextWidth(c.name, size) > room) continue;
    const ScreenPoint at{c.label->x, c.label->y + size / 3.0};
    const Box box = LabelBox(c.name, size, at, 0.5);
    if (!InsideFrame(box, doc.frame) || !space.Free(box)) continue;
    space.Take(box);
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

struct TickLabel {
  const GraticuleTick* tick;
  ScreenPoint at;
  double anchorShare;
};

constexpr double kTickLength = 7.0;
constexpr double kTickFontSize = 9.0;

// Everything placed before the quadrangle names, in order of what matters to a reader: the
// north arrow, the graticule values, the points, their labels, the county names and the
// Carter block names. Each is placed only where it covers nothing placed before it.
struct Placement {
  LabelSpace space;
  double radius = 5.0;
  double fontSize = 12.0;
  std::vector<TickLabel> ticks;
  std::vector<PointLabel> points;
  std::vector<CountyLabel> counties;
  std::vector<const GridLabel*> blocks;
};

Placement Place(const MapDocument& doc) {
  Placement p;
  const ScreenPoint arrow = NorthArrowCentre(doc.frame);
  p.space.Take({arrow.x - 34.0, arrow.y - 46.0, arrow.x + 34.0, arrow.y + 46.0});
  // Meridian values along the bottom edge, parallel values along the left one, just inside
  // the frame beside their ticks.
  for (const auto& t : doc.ticks) {
    TickLabel label{&t, {}, 0.0};
    if (t.edge == FrameEdge::Bottom) label = {&t, {t.at.x, t.at.y - kTickLength - 3.0}, 0.5};
    else if (t.edge == FrameEdge::Left) label = {&t, {t.at.x + kTickLength + 3.0, t.at.y + 3.0}, 0.0};
    else continue;
    const Box box = LabelBox(t.text, kTickFontSize, label.at, label.anchorShare);
    if (!InsideFrame(box, doc.frame) || !p.space.Free(box)) continue;
    p.space.Take(box);
    p.ticks.push_back(label);
  }
  p.radius = MarkerRadius(doc.points.size());
  p.fontSize = PointLabelSize(doc.points.size());
  std::vector<ScreenPoint> at;
  std::vector<std::string> labels;
  for (const auto& pt : doc.points) {
    p.space.Take(MarkerBox(pt.at, p.radius));
    at.push_back(pt.at);
    labels.push_back(pt.label);
  }
  p.points = PlacePointLabels(at, labels, p.radius, p.fontSize, doc.frame, p.space);
  p.counties = PlaceCountyLabels(doc, p.space);
  if (doc.carter) {
    for (const auto& l : doc.carter->labels) {
      if (!l.block) continue;
      const Box box = CarterLabelBox(l);
      if (!p.space.Free(box)) continue;
      p.space.Take(box);
      p.blocks.push_back(&l);
    }
  }
  return p;
}

void DrawLabels(SvgWriter& svg, const MapDocument& doc, Placement& placed) {
  const std::vector<CountyLabel>& counties = placed.counties;
  LabelSpace& space = placed.space;
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
    for (const GridLabel* l : placed.blocks) {
      svg.Text({{"class", "carter-block-label"}, {"x", Num(l->at.x)}, {"y", Num(l->at.y)},
                {"font-size", "11"}, {"font-weight", "bold"}},
               l->text);
    }
    for (const auto& l : doc.carter->labels) {
      if (l.block) continue;
      const ScreenPoint at = CarterLabelAnchor(l);
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

void DrawPoints(SvgWriter& svg, const MapDocument& doc, const Placement& placed) {
  const std::string radius = Num(placed.radius);
  svg.Open("g", {{"id", "points"}, {"fill", kPointFill}, {"stroke", "#ffffff"},
                 {"stroke-width", "1.5"}});
  for (const auto& p : doc.points) {
    svg.Element("circle", {{"class", "point"}, {"cx", Num(p.at.x)}, {"cy", Num(p.at.y)},
                           {"r", radius}, {"data-line", std::to_string(p.line)},
                           {"data-county", p.county}, {"data-quad", p.quad}});
  }
  svg.Close();
  svg.Open("g", {{"id", "lead-lines"}, {"stroke", "#555555"}, {"stroke-width", "0.7"}});
  for (const auto& l : placed.points) {
    if (!l.lead) continue;
    svg.Element("line", {{"class", "lead-line"}, {"x1", Num(l.leadFrom.x)}, {"y1", Num(l.leadFrom.y)},
                         {"x2", Num(l.leadTo.x)}, {"y2", Num(l.leadTo.y)}});
  }
  svg.Close();
  const std::string size = Num(placed.fontSize);
  svg.Open("g", {{"id", "point-labels"}, {"font-family", "DejaVu Sans, Arial, sans-serif"},
                 {"font-size", size}, {"fill", "#111111"}, {"style", kHalo}});
  for (const auto& l : placed.points) {
    svg.Text({{"class", "point-label"}, {"x", Num(l.at.x)}, {"y", Num(l.at.y)}, {"font-size", size},
              {"data-line", std::to_string(doc.points[l.point].line)}},
             doc.points[l.point].label);
  }
  svg.Close();
}

void DrawTicks(SvgWriter& svg, const MapDocument& doc, const Placement& placed) {
  svg.Open("g", {{"id", "graticule"}, {"stroke", "#333333"}, {"stroke-width", "1"}});
  for (const auto& t : doc.ticks) {
    const double dx = t.edge == FrameEdge::Left ? kTickLength : t.edge == FrameEdge::Right ? -kTickLength : 0.0;
    const double dy = t.edge == FrameEdge::Top ? kTickLength : t.edge == FrameEdge::Bottom ? -kTickLength : 0.0;
    svg.Element("line", {{"class", "tick"}, {"x1", Num(t.at.x)}, {"y1", Num(t.at.y)},
                         {"x2", Num(t.at.x + dx)}, {"y2", Num(t.at.y + dy)}, {"data-value", t.text}});
  }
  svg.Close();
  svg.Open("g", {{"id", "graticule-labels"}, {"font-family", "DejaVu Sans, Arial, sans-serif"},
                 {"font-size", Num(kTickFontSize)}, {"fill", "#333333"}, {"style", kHalo}});
  for (const auto& l : placed.ticks) {
    svg.Text({{"class", "tick-label"}, {"x", Num(l.at.x)}, {"y", Num(l.at.y)},
              {"text-anchor", l.anchorShare == 0.0 ? "start" : "middle"}},
             l.tick->text);
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

void DrawLegend(SvgWriter& svg, const MapDocument& doc, double radius) {
  const double top = doc.frame.top() + doc.frame.height() + 22.0;
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
      svg.Element("circle", {{"cx", Num(x + 15)}, {"cy", Num(y)}, {"r", Num(radius)}, {"fill", e.colour},
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
  const double x = doc.width - 300.0;
  DrawScaleBar(svg, ChooseScaleBar(ppm, 260.0, 1000.0, "km", "m", 1.0), x, top + 8.0);
  DrawScaleBar(svg, ChooseScaleBar(ppm, 260.0, kMetresPerMile, "mi"), x, top + 48.0);
  svg.Close();
}

}  // namespace

MapFrame FrameFor(const Extent& extent, double width, double height) {
  return MapFrame(extent, kFrameLeft, kFrameTop, width - kFrameLeft - kFrameRightMargin,
                  height - kFrameTop - kFrameBottomMargin);
}

std::string RenderSvg(const MapDocument& doc, LabelCount* labels) {
  Placement placed = Place(doc);
  if (labels) {
    *labels = {};
    for (const auto& p : doc.points) labels->wanted += p.label.empty() ? 0 : 1;
    for (const auto& l : placed.points) (l.lead ? labels->led : labels->placed) += 1;
  }
  SvgWriter svg(doc.width, doc.height);
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

  svg.Open("g", {{"id", "map"}, {"clip-path", "url(#map-frame)"}});
  DrawAreas(svg, doc);
  DrawQuads(svg, doc);
  if (doc.carter) DrawCarter(svg, *doc.carter);
  DrawOutlines(svg, doc);
  DrawLabels(svg, doc, placed);
  DrawPoints(svg, doc, placed);
  svg.Close();
  svg.Element("rect", {{"x", Num(doc.frame.left())}, {"y", Num(doc.frame.top())},
                       {"width", Num(doc.frame.width())}, {"height", Num(doc.frame.height())},
                       {"fill", "none"}, {"stroke", "#333333"}, {"stroke-width", "1"}});
  DrawTicks(svg, doc, placed);
  DrawNorthArrow(svg, doc);
  DrawLegend(svg, doc, placed.radius);
  // The systems of the map and where its data comes from, in the panel's last two lines.
  svg.Open("g", {{"id", "credits"}, {"font-family", "DejaVu Sans, Arial, sans-serif"},
                 {"font-size", "11"}, {"fill", "#555555"}});
  svg.Text({{"class", "subtitle"}, {"x", "20"}, {"y", Num(doc.height - 28)}}, doc.subtitle);
  if (!doc.source.empty()) svg.Text({{"class", "source"}, {"x", "20"}, {"y", Num(doc.height - 12)}}, doc.source);
  svg.Close();
  return svg.Finish();
}

}  // namespace lantrel::cli::map
