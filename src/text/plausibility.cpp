#include "lantrel/plausibility.hpp"

#include <cmath>

#include "lantrel/error.hpp"
#include "lantrel/number_text.hpp"
#include "lantrel/position.hpp"

namespace lantrel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view s) {
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
  if (s.empty()) return false;
  for (const char c : s) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

}  // namespace

std::string MessageNumber(double v) {
  char text[kMaxFixedChars];
  if (!(std::fabs(v) < 1e15)) return std::string(text, FormatShortest(text, v));
  // The tool's fixed form (no minus on a zero), its trailing zeros and point dropped.
  char* end = FormatFixed(text, v, 9);
  while (end > text && end[-1] == '0') --end;
  if (end > text && end[-1] == '.') --end;
  return std::string(text, end);
}

std::string FootageProblem(const CarterText& loc) {
  const auto beyond = [](double feet, double limit) { return !(feet >= 0.0 && feet <= limit); };
  if (beyond(loc.northSouthFeet, SectionFootage::kNorthSouth)) {
    return "footage " + MessageNumber(loc.northSouthFeet) + "-" + (loc.fromNorth ? "FNL" : "FSL") +
           " is beyond what a section holds (0 to " + MessageNumber(SectionFootage::kNorthSouth) +
           " ft north-south)";
  }
  if (beyond(loc.eastWestFeet, SectionFootage::kEastWest)) {
    return "footage " + MessageNumber(loc.eastWestFeet) + "-" + (loc.fromEast ? "FEL" : "FWL") +
           " is beyond what a section holds (0 to " + MessageNumber(SectionFootage::kEastWest) +
           " ft east-west)";
  }
  return {};
}

bool PairInRange(const System& from, double x, double y) {
  if (from.Angular()) return std::fabs(y) <= 90.0 && std::fabs(x) <= 180.0;
  return x >= 0.0;
}

std::string PairRangeProblem(const System& from, double x, double y) {
  if (from.Angular()) {
    if (!(std::fabs(y) <= 90.0)) return "latitude " + MessageNumber(y) + " is out of range (-90 to 90)";
    if (!(std::fabs(x) <= 180.0)) {
      return "longitude " + MessageNumber(x) + " is out of range (-180 to 180)";
    }
  } else if (x < 0.0) {
    return "negative easting " + MessageNumber(x) +
           " cannot be converted (the position keeps eastings as magnitudes)";
  }
  return {};
}

namespace {

bool OnGlobe(double lon, double lat) { return std::fabs(lat) <= 90.0 && std::fabs(lon) <= 180.0; }

}  // namespace

bool RegionPlausible(double lon, double lat, bool acceptDistant) {
  return OnGlobe(lon, lat) && (acceptDistant || ServedRegion::Contains(lon, lat));
}

std::string DecimalCommaHint(std::string_view s) {
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
  const std::size_t comma = s.find(',');
  if (comma == std::string_view::npos || comma == 0 || comma + 1 == s.size()) return {};
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (i != comma && !IsDigit(s[i])) return {};
  }
  return " (comma used as decimal mark?)";
}

bool MayBeDecimalComma(std::string_view separator, std::string_view x, std::string_view y) {
  return separator == "," && AllDigits(x) && AllDigits(y);
}

bool SwappedIsPlausible(const System& from, double x, double y) {
  if (from.Angular()) {
    return !from.IsCarter() && std::fabs(x) <= 90.0 && ServedRegion::Contains(std::fabs(y), x);
  }
  if (y < 0.0) return false;
  try {
    ZrGeoPosition position;
    position.Projection(from.projection);
    position.Datum(from.datum);
    position.Units(from.units);
    position.x(y);
    position.y(x);
    position.ConvertTo(from.datum, zrGeoProjection::zrGeographic, zrGeoUnits::zrDecimalDegrees);
    return ServedRegion::Contains(position.x(), position.y());
  } catch (const Error&) {
    return false;
  }
}

RegionVerdict JudgeRegion(const System& from, double placedX, double placedY, double lon,
                          double lat, bool acceptDistant, bool commaSuspect) {
  // A geographic point beyond the globe is the arithmetic failing, not a result.
  if (!OnGlobe(lon, lat)) {
    return {RegionVerdict::Kind::OffGlobe,
            "the coordinates give latitude " + MessageNumber(lat) + ", longitude " +
                MessageNumber(-lon) +
                ", outside -90 to 90 and -180 to 180: they lie far outside the zone"};
  }
  if (acceptDistant || ServedRegion::Contains(lon, lat)) return {};
  std::string message = "the point at longitude " + MessageNumber(-lon) + ", latitude " +
                        MessageNumber(lat) +
                        " lies far outside the served region (73-98 W, 33-45 N)";
  if (commaSuspect) {
    message += "; comma used as decimal mark?";
  } else if (SwappedIsPlausible(from, placedX, placedY)) {
    message += "; x and y may be swapped";
  }
  return {RegionVerdict::Kind::Distant, std::move(message)};
}

}  // namespace lantrel
