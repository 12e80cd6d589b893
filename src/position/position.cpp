// ZrGeoPosition: construction, the Carter object field and the labelling properties.
// Lets validate before they change anything, and writing the current value does nothing.
#include <cmath>
#include <utility>

#include "carter/carter_access.hpp"
#include "lantrel/error.hpp"
#include "lantrel/position.hpp"
#include "core/raise.hpp"
#include "core/unit_fitting.hpp"
#include "refdata/data_path.hpp"
#include "refdata/reference_data.hpp"

namespace lantrel {

namespace {

std::string Source(const char* member) {
  return std::string(detail::kPositionSource) + member + ":";
}

}  // namespace

ZrGeoPosition::ZrGeoPosition() {
  // 1. Carter object, cleared.
  EnsureCarter()->Clear();
  // 2-3. Defaults: geographic, NAD 83, decimal degrees, every mark set (member initialisers).
  // 4. Reference data from the first folder that holds it; a missing file is not an error.
  SetPath(detail::DefaultDataPath());
  // 5. The ellipsoid, zone, zone-word and shift tables are compiled-in constants.
}

ZrGeoPosition::~ZrGeoPosition() = default;

std::shared_ptr<zrCarter>& ZrGeoPosition::EnsureCarter() {
  if (!carter_) carter_ = detail::CarterAccess::Create();
  return carter_;
}

std::shared_ptr<zrCarter> ZrGeoPosition::Carter() { return EnsureCarter(); }

void ZrGeoPosition::Carter(std::shared_ptr<zrCarter> c) { carter_ = std::move(c); }

bool ZrGeoPosition::WestPositive() const { return westPositive_; }
void ZrGeoPosition::WestPositive(bool value) { westPositive_ = value; }

double ZrGeoPosition::x() const {
  const auto family = FamilyOf(projection_);
  const bool angular =
      family == ProjectionFamily::Geographic || family == ProjectionFamily::Carter;
  return (angular && !westPositive_) ? -stored_.x : stored_.x;
}

void ZrGeoPosition::x(double value) {
  if (value == stored_.x) return;
  // Longitudes are kept as west-positive magnitudes; eastings are kept as magnitudes too.
  stored_.x = std::fabs(value);
  locationsChanged_ = true;
  geographicChanged_ = true;
}

double ZrGeoPosition::y() const { return stored_.y; }

void ZrGeoPosition::y(double value) {
  if (value == stored_.y) return;
  stored_.y = value;
  locationsChanged_ = true;
  geographicChanged_ = true;
}

zrGeoProjection ZrGeoPosition::Projection() const {
  return static_cast<zrGeoProjection>(projection_);
}
void ZrGeoPosition::Projection(zrGeoProjection value) {
  Projection(static_cast<std::int32_t>(value));
}
void ZrGeoPosition::Projection(std::int32_t value) {
  if (value == projection_) return;
  if (value < 0 || value > 15) {
    throw Error(errc::InvalidProjection, Source("Projection"), "Invalid projection specified.");
  }
  projection_ = value;
  locationsChanged_ = true;
  geographicChanged_ = true;
  units_ = detail::FitUnits(value, units_);
  if (value == detail::kSingleZone) Datum(detail::kNAD83);
}

zrGeoDatum ZrGeoPosition::Datum() const { return static_cast<zrGeoDatum>(datum_); }
void ZrGeoPosition::Datum(zrGeoDatum value) { Datum(static_cast<std::int32_t>(value)); }
void ZrGeoPosition::Datum(std::int32_t value) {
  if (value == datum_) return;
  if (value != 0 && value != 1) {
    throw Error(errc::InvalidDatum, Source("Datum"), "Invalid horizontal datum specified.");
  }
  datum_ = projection_ == detail::kSingleZone ? detail::kNAD83 : value;
  locationsChanged_ = true;
  geographicChanged_ = true;
}

zrGeoUnits ZrGeoPosition::Units() const { return static_cast<zrGeoUnits>(units_); }
void ZrGeoPosition::Units(zrGeoUnits value) { Units(static_cast<std::int32_t>(value)); }
void ZrGeoPosition::Units(std::int32_t value) {
  if (value == units_) return;
  if (value < 0 || value > 5) {
    throw Error(errc::InvalidUnits, Source("Units"), "Invalid units specified.");
  }
  units_ = detail::FitUnits(projection_, value);
  locationsChanged_ = true;
  geographicChanged_ = true;
}

}  // namespace lantrel
