#include "projection/geographic_range.hpp"

#include <charconv>
#include <cmath>

#include "lantrel/error.hpp"

namespace lantrel::detail {
namespace {

std::string Shortest(double v) {
  if (std::isnan(v)) return "nan";
  char text[32];
  const auto r = std::to_chars(text, text + sizeof text, v);
  return std::string(text, r.ptr);
}

[[noreturn]] void Refuse(const char* axis, double v, double limit, const char* source) {
  std::string text = std::string(axis) + " " + Shortest(v);
  if (std::isnan(v)) {
    text += " is not a number";
  } else if (!std::isfinite(v)) {
    text += " is not a finite number";
  } else {
    text += " is outside -" + Shortest(limit) + " to " + Shortest(limit) + " degrees";
  }
  throw Error(errc::InvalidArgument, source, text);
}

}  // namespace

Pair CheckGeographicPoint(Pair geo, const char* source) {
  if (!(std::fabs(geo.y) <= kLatitudeLimit)) Refuse("latitude", geo.y, kLatitudeLimit, source);
  if (!(std::fabs(geo.x) <= kLongitudeLimit)) Refuse("longitude", geo.x, kLongitudeLimit, source);
  return geo;
}

}  // namespace lantrel::detail
