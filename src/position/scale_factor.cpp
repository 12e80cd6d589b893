// ScaleFactor and Convergence: grid quantities at the point, from the inverse projection of
// the stored pair run afresh at every call. Angular systems have k = 1 and no convergence; a
// Carter position's pair is not checked (its location was).
#include "lantrel/position.hpp"
#include "projection/zone_driver.hpp"
#include "transform/conversion_sequence.hpp"

namespace lantrel {

double ZrGeoPosition::ScaleFactor() const {
  if (FamilyOf(projection_) == ProjectionFamily::Carter) return 1.0;
  const Pair geo = detail::RefreshGeographic(stored_, datum_, projection_, units_,
                                             "lantrel:zrGeoPosition:ScaleFactor:");
  return detail::ScaleFactorAt(geo, datum_, projection_);
}

double ZrGeoPosition::Convergence() const {
  if (FamilyOf(projection_) == ProjectionFamily::Carter) return 0.0;
  const Pair geo = detail::RefreshGeographic(stored_, datum_, projection_, units_,
                                             "lantrel:zrGeoPosition:Convergence:");
  return detail::ConvergenceAt(geo, datum_, projection_);
}

}  // namespace lantrel
