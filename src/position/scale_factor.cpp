// ScaleFactor and Convergence: grid quantities at the point, from the inverse projection of
// the stored pair run afresh at every call. Angular systems have k = 1 and no convergence.
#include "lantrel/position.hpp"
#include "projection/geographic_range.hpp"
#include "projection/lambert.hpp"
#include "projection/transverse_mercator.hpp"

namespace lantrel {

double ZrGeoPosition::ScaleFactor() const {
  switch (FamilyOf(projection_)) {
    case ProjectionFamily::Lambert:
      return detail::LambertScaleFactor(
          detail::LambertToGeographic(stored_, datum_, projection_, units_), datum_, projection_);
    case ProjectionFamily::TransverseMercator:
      return detail::MercatorScaleFactor(
          detail::MercatorToGeographic(stored_, datum_, projection_, units_), datum_, projection_);
    case ProjectionFamily::Geographic:
      detail::CheckGeographicPoint(stored_, "lantrel:zrGeoPosition:ScaleFactor:");
      break;
    case ProjectionFamily::Carter:
      break;
  }
  return 1.0;
}

double ZrGeoPosition::Convergence() const {
  switch (FamilyOf(projection_)) {
    case ProjectionFamily::Lambert:
      return detail::LambertConvergence(
          detail::LambertToGeographic(stored_, datum_, projection_, units_), datum_, projection_);
    case ProjectionFamily::TransverseMercator:
      return detail::MercatorConvergence(
          detail::MercatorToGeographic(stored_, datum_, projection_, units_), datum_, projection_);
    case ProjectionFamily::Geographic:
      detail::CheckGeographicPoint(stored_, "lantrel:zrGeoPosition:Convergence:");
      break;
    case ProjectionFamily::Carter:
      break;
  }
  return 0.0;
}

}  // namespace lantrel
