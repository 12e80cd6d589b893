#include "point_converter.hpp"

#include <cmath>
#include <limits>
#include <utility>

#include "lantrel/angle_text.hpp"
#include "lantrel/number_text.hpp"
#include "lantrel/quoted_text.hpp"
#include "line_fields.hpp"

namespace lantrel::cli {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::string DescribeLibraryError(const Error& e) {
  std::string text = "error " + std::to_string(e.number()) + ": ";
  const std::string& d = e.description();
  for (std::size_t i = 0; i < d.size(); ++i) {
    if (d[i] == '\r' && i + 1 < d.size() && d[i + 1] == '\n') {
      text += ' ';
      ++i;
    } else if (d[i] == '\n' || d[i] == '\r') {
      text += ' ';
    } else {
      text += d[i];
    }
  }
  return OneLine(text);
}

PointConverter::PointConverter(const System& from, const System& to, bool westPositive,
                               bool zgsLayout)
    : from_(from), to_(to), westPositive_(westPositive), zgsLayout_(zgsLayout) {}

bool PointConverter::Fail(std::string message) {
  error_ = std::move(message);
  libraryError_.reset();
  return false;
}

bool PointConverter::Fail(const Error& e, std::string_view hint) {
  error_ = DescribeLibraryError(e);
  error_ += hint;
  libraryError_ = e;
  return false;
}

// Relabels the position with the source system. The labels are set in the order projection,
// datum, units so each let sees the projection it is fitted to. When the target system is the
// source system the labels do not change, and neither would the position's marks if the new
// pair happened to equal the stored one; storing a NaN first makes the next pair always count
// as a new point, so every line is converted from scratch.
void PointConverter::Label() {
  position_.Projection(from_.projection);
  position_.Datum(from_.datum);
  position_.Units(from_.units);
  if (from_ == to_) position_.y(std::numeric_limits<double>::quiet_NaN());
}

bool PointConverter::PlacePair(double x, double y) {
  if (std::string problem = PairRangeProblem(from_, x, y); !problem.empty()) {
    return Fail(std::move(problem));
  }
  placedX_ = x;
  placedY_ = y;
  try {
    Label();
    position_.x(x);
    position_.y(y);
  } catch (const Error& e) {
    return Fail(e);
  }
  return true;
}

bool PointConverter::PlaceCarter(const CarterText& loc) {
  commaDecimalSuspect_ = false;
  if (!acceptDistant_) {
    if (std::string problem = FootageProblem(loc); !problem.empty()) {
      return Fail(problem + "; --accept-distant takes it");
    }
  }
  try {
    Label();
    StoreCarterText(*position_.Carter(), loc);
  } catch (const Error& e) {
    return Fail(e);
  }
  return true;
}

// Longitude and latitude written with or without hemisphere letters. The letters name the
// axes: a pair given latitude first ("N38 12 03 W84 52 23") is put the right way round.
bool PointConverter::PlaceAngles(AngleText x, AngleText y, std::string_view xs,
                                 std::string_view ys) {
  if (x.NamesLatitude() && y.NamesLongitude()) {
    std::swap(x, y);
    std::swap(xs, ys);
  }
  if (x.NamesLatitude()) {
    return Fail("x value " + Excerpt(xs) + " is a latitude (" + x.hemisphere + "); x is the longitude");
  }
  if (y.NamesLongitude()) {
    return Fail("y value " + Excerpt(ys) + " is a longitude (" + y.hemisphere + "); y is the latitude");
  }
  // The position keeps longitudes as west magnitudes: an east longitude would silently turn
  // into the west one of the same size.
  if (x.hemisphere == 'E' && x.degrees != 0.0) {
    return Fail("east longitude " + Excerpt(xs) +
                " cannot be converted (the position keeps longitudes as west magnitudes)");
  }
  return PlacePair(x.degrees, y.degrees);
}

bool PointConverter::PlaceValues(std::string_view xs, std::string_view ys) {
  xs = TrimBlanks(xs);
  ys = TrimBlanks(ys);
  if (xs.empty()) return Fail("missing x value");
  if (ys.empty()) return Fail("missing y value");
  commaDecimalSuspect_ = false;
  if (from_.projection == zrGeoProjection::zrGeographic) {
    const AngleParse x = ParseAngle(xs);
    if (!x.angle) {
      return Fail("cannot read x value " + Excerpt(xs) + DecimalCommaHint(xs) + (x.error.empty() ? "" : ": " + x.error));
    }
    const AngleParse y = ParseAngle(ys);
    if (!y.angle) {
      return Fail("cannot read y value " + Excerpt(ys) + DecimalCommaHint(ys) + (y.error.empty() ? "" : ": " + y.error));
    }
    return PlaceAngles(*x.angle, *y.angle, xs, ys);
  }
  const auto x = ParseDecimal(xs);
  if (!x) return Fail("cannot read x value " + Excerpt(xs) + DecimalCommaHint(xs));
  const auto y = ParseDecimal(ys);
  if (!y) return Fail("cannot read y value " + Excerpt(ys) + DecimalCommaHint(ys));
  return PlacePair(*x, *y);
}

bool PointConverter::PlaceLocation(std::string_view text) {
  const CarterParse parsed = ParseCarter(text);
  if (!parsed.location) return Fail(parsed.error);
  if (!RestAfter(text, parsed.length).empty()) {
    return Fail("unexpected text after the Carter location");
  }
  return PlaceCarter(*parsed.location);
}

bool PointConverter::PlaceLine(std::string_view line, std::string_view& separator,
                               std::string_view& rest) {
  if (from_.IsCarter()) {
    const CarterParse parsed = ParseCarter(line);
    if (!parsed.location) return Fail(parsed.error);
    rest = RestAfter(line, parsed.length);
    // A pair written in place of the location takes the separator the line uses after it.
    separator = " ";
    for (std::size_t i = 0; i < rest.size(); ++i) {
      if (rest[i] == ',' || rest[i] == ';') {
        separator = rest.substr(i, 1);
        break;
      }
      if (rest[i] != ' ' && rest[i] != '\t') break;
    }
    return PlaceCarter(*parsed.location);
  }
  if (from_.projection == zrGeoProjection::zrGeographic) {
    const AnglePairParse angles = SplitAnglePair(line);
    if (!angles.x || !angles.y) return Fail(angles.error);
    separator = angles.separator;
    rest = angles.rest;
    const bool placed = PlaceAngles(*angles.x, *angles.y, angles.xText, angles.yText);
    commaDecimalSuspect_ = MayBeDecimalComma(angles.separator, angles.xText, angles.yText);
    return placed;
  }
  PairFields f;
  if (const char* message = SplitPair(line, f)) return Fail(message);
  separator = f.separator;
  rest = f.rest;
  const bool placed = PlaceValues(f.x, f.y);
  // "-84,8 38,2" reads as x -84, y 8: a bare comma between two whole numbers may have been
  // meant as a decimal mark.
  commaDecimalSuspect_ = MayBeDecimalComma(f.separator, f.x, f.y);
  return placed;
}

bool PointConverter::CheckRegion(double lon, double lat) {
  const RegionVerdict verdict =
      JudgeRegion(from_, placedX_, placedY_, lon, lat, acceptDistant_, commaDecimalSuspect_);
  if (verdict.ok()) return true;
  if (verdict.kind == RegionVerdict::Kind::OffGlobe) return Fail(verdict.message);
  return Fail(verdict.message + "; --accept-distant takes it");
}

bool PointConverter::Check() {
  try {
    if (!from_.Angular() || from_.IsCarter()) {
      position_.ConvertTo(from_.datum, zrGeoProjection::zrGeographic,
                          zrGeoUnits::zrDecimalDegrees);
    }
    return CheckRegion(position_.x(), position_.y());  // x reads the west-positive magnitude
  } catch (const Error& e) {
    // The inverse projections refuse a result beyond ±90/±180 with the invalid-argument error.
    const bool offGlobe = e.number() == 5 && !from_.Angular();
    return Fail(e, offGlobe ? " (no geographic position: the coordinates lie far outside the zone)" : "");
  }
}

bool PointConverter::Convert(ConvertedPoint& out) {
  // The geographic point on the source datum comes first; the conversion to the target then
  // starts from it exactly as it would from the source pair (the refresh is not repeated).
  if (!Check()) return false;
  try {
    const std::int32_t rc = position_.ConvertTo(to_.datum, to_.projection, to_.units);
    if (rc == 4) {
      return Fail("datum change refused: the point lies outside the NAD 27/NAD 83 shift "
                  "window (81.5-90 W, 36-39.5 N)");
    }
    out.y = position_.y();
    const double x = position_.x();  // west longitudes come out positive (WestPositive True)
    out.x = (to_.Angular() && !westPositive_) ? -x : x;
    if (to_.IsCarter()) {
      out.location = position_.Carter()->LocationString(zgsLayout_);
      if (out.location.empty()) {
        return Fail("the point lies outside the Carter grid (81.916667-89.583333 W, "
                    "36.5-39.25 N)");
      }
    }
  } catch (const Error& e) {
    return Fail(e);
  }
  return true;
}

}  // namespace lantrel::cli
