#include "transform/conversion_sequence.hpp"

#include "core/shift_window.hpp"
#include "core/unit_fitting.hpp"
#include "datum/nadcon.hpp"
#include "lantrel/enums.hpp"
#include "projection/geographic_range.hpp"
#include "projection/zone_driver.hpp"

namespace lantrel::detail {

Pair RefreshGeographic(Pair stored, std::int32_t datum, std::int32_t projection,
                       std::int32_t units, const char* source) {
  const ProjectionFamily family = FamilyOf(projection);
  if (family == ProjectionFamily::Geographic || family == ProjectionFamily::Carter) {
    return CheckGeographicPoint(stored, source);
  }
  return ZoneToGeographic(stored, datum, projection, units);
}

std::int32_t ShiftAndProject(Pair geo, std::int32_t fromDatum, std::int32_t toDatum,
                             std::int32_t toProjection, std::int32_t toUnits, Pair& shifted,
                             Pair& out) {
  Pair g = geo;
  if (toDatum != fromDatum) {
    if (!InShiftWindow(g)) return kOutsideShiftWindow;
    g = fromDatum == kNAD27 ? Nad27ToNad83(g) : Nad83ToNad27(g);
  }
  out = GeographicToZone(g, toDatum, toProjection, toUnits);
  shifted = g;
  return 0;
}

}  // namespace lantrel::detail
