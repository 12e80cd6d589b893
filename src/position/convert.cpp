// Convert: re-express the point in another datum, projection and unit. Every conversion goes
// through geographic coordinates: refresh the geographic pair, shift the datum, project.
#include "carter/carter_access.hpp"
#include "carter/carter_conversion.hpp"
#include "lantrel/error.hpp"
#include "lantrel/position.hpp"
#include "core/arithmetic_check.hpp"
#include "core/raise.hpp"
#include "core/shift_window.hpp"
#include "core/unit_fitting.hpp"
#include "projection/geographic_range.hpp"
#include "projection/zone_driver.hpp"
#include "transform/conversion_sequence.hpp"

namespace lantrel {

namespace {

const std::string kConvertSource = std::string(detail::kPositionSource) + "Convert:";

// Writes a resolved argument back into the caller's variable, when there is one.
void WriteBack(std::int32_t* target, std::int32_t value) {
  if (target != nullptr) *target = value;
}

}  // namespace

std::int32_t ZrGeoPosition::Convert(std::int32_t* toDatum, std::int32_t* toProjection,
                                    std::int32_t* toUnits) {
  std::int32_t datum = toDatum ? *toDatum : -1;
  std::int32_t projection = toProjection ? *toProjection : -1;
  std::int32_t units = toUnits ? *toUnits : -1;
  if (datum == -1 && projection == -1 && units == -1) return 0;

  // Resolve and validate in the order datum, units, projection.
  if (datum == -1) WriteBack(toDatum, datum = datum_);
  if (datum < 0 || datum > 1) {
    throw Error(errc::InvalidDatum, kConvertSource, "Invalid toDatum specified.");
  }
  if (units == -1) WriteBack(toUnits, units = units_);
  if (units < 0 || units > 5) {
    throw Error(errc::InvalidUnits, kConvertSource, "Invalid toUnits specified.");
  }
  if (projection == -1) WriteBack(toProjection, projection = projection_);
  if (projection < 0 || projection > 15) {
    throw Error(errc::InvalidProjection, kConvertSource, "Invalid toProjection specified.");
  }
  if (projection == detail::kSingleZone) WriteBack(toDatum, datum = detail::kNAD83);
  WriteBack(toUnits, units = detail::FitUnits(projection, units));

  // Refresh, shift, project.
  RefreshGeographic();
  // A pair beyond the globe (a geographic source, or a Carter location whose footages run past
  // its section) is no point; its results would only look like one.
  Pair geo = detail::CheckGeographicPoint(geo_, kConvertSource.c_str());
  Pair result;
  if (detail::ShiftAndProject(geo, datum_, datum, projection, units, geo, result) != 0) return 4;
  if (FamilyOf(projection) == ProjectionFamily::Carter) {
    detail::GeographicToCarter(*EnsureCarter(), geo, datum);
  }

  // The shifted pair is kept only once the whole conversion has succeeded, so a failure
  // never leaves the cached geographic pair on a datum the position does not carry.
  geo_ = geo;
  stored_ = result;
  datum_ = datum;
  projection_ = projection;
  units_ = units;
  return 0;
}

std::int32_t ZrGeoPosition::ConvertTo(zrGeoDatum toDatum, zrGeoProjection toProjection,
                                      zrGeoUnits toUnits) {
  auto d = static_cast<std::int32_t>(toDatum);
  auto p = static_cast<std::int32_t>(toProjection);
  auto u = static_cast<std::int32_t>(toUnits);
  return Convert(&d, &p, &u);
}

void ZrGeoPosition::RefreshGeographic() {
  auto& carter = EnsureCarter();
  if (!detail::CarterAccess::Changed(*carter) && !geographicChanged_) return;
  if (FamilyOf(projection_) == ProjectionFamily::Carter) {
    stored_ = detail::CarterToGeographic(*carter, datum_);
    geo_ = stored_;
  } else {
    geo_ = detail::ZoneToGeographic(stored_, datum_, projection_, units_);
  }
  inShiftWindow_ = detail::InShiftWindow(geo_);
  geographicChanged_ = false;
  detail::CarterAccess::Changed(*EnsureCarter(), false);
}

bool ZrGeoPosition::InBounds() {
  RefreshGeographic();
  return inShiftWindow_;
}

}  // namespace lantrel
