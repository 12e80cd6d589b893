// Checked Lambert operations on the zone table: unit scaling around the projection, one
// floating-point check per operation (covering the scaling too), and no result that is an infinity or a NaN.
#include "projection/lambert.hpp"

#include "lantrel/enums.hpp"
#include "position/arithmetic_check.hpp"
#include "position/raise.hpp"
#include "position/units.hpp"
#include "projection/geographic_range.hpp"
#include "projection/lambert_conformal_conic.hpp"
#include "projection/zone_table.hpp"

namespace lantrel::detail {
namespace {

// The zone of (datum, projection). A code outside the tables, a code of another family or an
// empty record (the single zone exists on NAD 83 only) is a subscript error: projecting with
// an all-zero record would otherwise quietly give (0, 0).
LambertConformalConic LambertZone(std::int32_t datum, std::int32_t projection) {
  const ZoneRecord& z = Zone(datum, projection);
  if (FamilyOf(projection) != ProjectionFamily::Lambert || z.n == 0.0) {
    RaiseRuntime(errc::SubscriptOutOfRange);
  }
  return LambertConformalConic(z);
}

}  // namespace

Pair LambertToGeographic(Pair plane, std::int32_t datum, std::int32_t projection,
                         std::int32_t units) {
  const LambertConformalConic zone = LambertZone(datum, projection);
  return CheckGeographicRange(
      CheckedStep([&] { return zone.Reverse(ScaleToMetres(plane, units)); }));
}

Pair GeographicToLambert(Pair geo, std::int32_t datum, std::int32_t projection,
                         std::int32_t units) {
  const LambertConformalConic zone = LambertZone(datum, projection);
  return CheckedStep([&] { return ScaleFromMetres(zone.Forward(geo), units); });
}

double LambertScaleFactor(Pair geo, std::int32_t datum, std::int32_t projection) {
  const LambertConformalConic zone = LambertZone(datum, projection);
  return CheckedStep([&] { return zone.ScaleFactor(geo); });
}

double LambertConvergence(Pair geo, std::int32_t datum, std::int32_t projection) {
  const LambertConformalConic zone = LambertZone(datum, projection);
  return CheckedStep([&] { return zone.Convergence(geo); });
}

}  // namespace lantrel::detail
