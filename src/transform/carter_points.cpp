// A position's conversions to and from the Carter system, one point at a time, without the
// position: the lets and Convert's steps written out in its order.
#include "transform/carter_points.hpp"

#include <charconv>
#include <cmath>

#include "carter/carter_access.hpp"
#include "carter/carter_conversion.hpp"
#include "core/stored_pair.hpp"
#include "lantrel/enums.hpp"
#include "lantrel/error.hpp"
#include "transform/conversion_sequence.hpp"

namespace lantrel::detail {

namespace {

// The source a position's Convert raises its errors with.
constexpr const char* kConvertSource = "lantrel:zrGeoPosition:Convert:";

constexpr std::int32_t kGeographic = static_cast<std::int32_t>(zrGeoProjection::zrGeographic);
constexpr std::int32_t kCarter = static_cast<std::int32_t>(zrGeoProjection::zrCarter);
constexpr std::int32_t kDegrees = static_cast<std::int32_t>(zrGeoUnits::zrDecimalDegrees);

std::string Degrees(double v) {
  if (!std::isfinite(v)) return std::isnan(v) ? "nan" : (v < 0 ? "-inf" : "inf");
  char text[400];
  auto [end, ec] = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 9);
  if (ec != std::errc()) return "?";
  while (end > text && end[-1] == '0') --end;
  if (end > text && end[-1] == '.') --end;
  return std::string(text, end);
}

[[noreturn]] void Refuse(std::string reason) {
  throw Error(errc::InvalidArgument, kCarterLocationsSource, std::move(reason));
}

}  // namespace

void CheckCarterDatum(zrGeoDatum datum) {
  if (datum != zrGeoDatum::zrNAD83 && datum != zrGeoDatum::zrNAD27) {
    throw Error(errc::InvalidDatum, "lantrel:zrGeoPosition:Datum:",
                "Invalid horizontal datum specified.");
  }
}

std::shared_ptr<zrCarter> NewCarter() { return CarterAccess::Create(); }

std::string CarterLocationOf(zrCarter& carter, std::int32_t datum, double lon, double lat,
                             bool zgs) {
  if (!(std::fabs(lat) <= 90.0)) {
    Refuse("latitude " + Degrees(lat) + " is out of range (-90 to 90)");
  }
  if (!(std::fabs(lon) <= 180.0)) {
    Refuse("longitude " + Degrees(lon) + " is out of range (-180 to 180)");
  }
  // The lets Projection, Datum, Units, x and y of a geographic position, then Convert to the
  // Carter system on the same datum.
  const Pair geo = RefreshGeographic(LetPair(lon, lat), datum, kGeographic, kDegrees,
                                     kConvertSource);
  Pair shifted, stored;
  ShiftAndProject(geo, datum, datum, kCarter, kDegrees, shifted, stored);
  GeographicToCarter(carter, shifted, datum);
  std::string text = carter.LocationString(zgs);
  if (text.empty()) {
    Refuse("the point lies outside the Carter grid (81.916667-89.583333 W, 36.5-39.25 N)");
  }
  return text;
}

Pair CarterLocationPoint(zrCarter& carter, std::int32_t datum) {
  // A Carter position's refresh reads the location; Convert to the geographic system on the
  // same datum checks the pair and projects it.
  const Pair geo = RefreshGeographic(CarterToGeographic(carter, datum), datum, kCarter,
                                     kDegrees, kConvertSource);
  Pair shifted, stored;
  ShiftAndProject(geo, datum, datum, kGeographic, kDegrees, shifted, stored);
  return stored;
}

}  // namespace lantrel::detail
