// Checked Transverse Mercator operations on the zone table: unit scaling around the
// projection, one floating-point check per operation (covering the scaling too), and no result that is an infinity or a
// NaN.
#include "projection/transverse_mercator.hpp"

#include "lantrel/enums.hpp"
#include "position/arithmetic_check.hpp"
#include "position/raise.hpp"
#include "position/units.hpp"
#include "projection/geographic_range.hpp"
#include "projection/transverse_mercator_series.hpp"
#include "projection/zone_table.hpp"

namespace lantrel::detail {
namespace {

// The zone of (datum, projection). A code outside the tables or a code of another family is a
// subscript error: projecting with an all-zero record would otherwise fault or give garbage.
TransverseMercator MercatorZone(std::int32_t datum, std::int32_t projection) {
  const ZoneRecord& z = Zone(datum, projection);
  if (FamilyOf(projection) != ProjectionFamily::TransverseMercator || z.k0 == 0.0) {
    RaiseRuntime(errc::SubscriptOutOfRange);
  }
  return TransverseMercator(z);
}

}  // namespace

Pair MercatorToGeographic(Pair plane, std::int32_t datum, std::int32_t projection,
                          std::int32_t units) {
  const TransverseMercator zone = MercatorZone(datum, projection);
  return CheckGeographicRange(
      CheckedStep([&] { return zone.Reverse(ScaleToMetres(plane, units)); }));
}

Pair GeographicToMercator(Pair geo, std::int32_t datum, std::int32_t projection,
                          std::int32_t units) {
  const TransverseMercator zone = MercatorZone(datum, projection);
  return CheckedStep([&] { return ScaleFromMetres(zone.Forward(geo), units); });
}

double MercatorScaleFactor(Pair geo, std::int32_t datum, std::int32_t projection) {
  const TransverseMercator zone = MercatorZone(datum, projection);
  return CheckedStep([&] { return zone.ScaleFactor(geo); });
}

double MercatorConvergence(Pair geo, std::int32_t datum, std::int32_t projection) {
  const TransverseMercator zone = MercatorZone(datum, projection);
  return CheckedStep([&] { return zone.Convergence(geo); });
}

}  // namespace lantrel::detail
