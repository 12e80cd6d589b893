// The per-point path of the array conversion, through the same checked kernels the position
// uses, step for step in the order of Convert.
#include "transform/point_conversion.hpp"

#include "datum/nadcon.hpp"
#include "lantrel/enums.hpp"
#include "lantrel/error.hpp"
#include "position/arithmetic_check.hpp"
#include "position/shift_window.hpp"
#include "position/unit_fitting.hpp"
#include "projection/geographic_range.hpp"
#include "projection/lambert.hpp"
#include "projection/transverse_mercator.hpp"
#include "transform/let_pair.hpp"

namespace lantrel::detail {
namespace {

Pair ToGeographic(CoordinateSystem s, Pair stored) {
  switch (FamilyOf(s.projection)) {
    case ProjectionFamily::Lambert:
      return LambertToGeographic(stored, s.datum, s.projection, s.units);
    case ProjectionFamily::TransverseMercator:
      return MercatorToGeographic(stored, s.datum, s.projection, s.units);
    case ProjectionFamily::Geographic:
    case ProjectionFamily::Carter:  // refused when the systems are validated
      break;
  }
  return CheckGeographicPoint(stored, "lantrel:Transformer:");
}

Pair FromGeographic(CoordinateSystem s, Pair geo) {
  switch (FamilyOf(s.projection)) {
    case ProjectionFamily::Lambert:
      return GeographicToLambert(geo, s.datum, s.projection, s.units);
    case ProjectionFamily::TransverseMercator:
      return GeographicToMercator(geo, s.datum, s.projection, s.units);
    case ProjectionFamily::Geographic:
    case ProjectionFamily::Carter:
      break;
  }
  return ArithmeticScope().Check(geo);
}

}  // namespace

std::int32_t ConvertPoint(CoordinateSystem from, CoordinateSystem to, bool westPositive,
                          double x, double y, Pair& out) noexcept {
  try {
    // Refresh, shift, project.
    Pair geo = ToGeographic(from, LetPair(x, y));
    if (to.datum != from.datum) {
      if (!InShiftWindow(geo)) return kTransformOutsideShiftWindow;
      geo = from.datum == kNAD27 ? Nad27ToNad83(geo) : Nad83ToNad27(geo);
    }
    Pair result = FromGeographic(to, geo);
    if (FamilyOf(to.projection) == ProjectionFamily::Geographic && !westPositive) {
      result.x = -result.x;
    }
    out = result;
    return 0;
  } catch (const Error& e) {
    return e.number();
  } catch (...) {
    return 51;
  }
}

std::int32_t PointFactors(CoordinateSystem s, double x, double y, double& scaleFactor,
                          double& convergence) noexcept {
  try {
    const Pair stored = LetPair(x, y);
    switch (FamilyOf(s.projection)) {
      case ProjectionFamily::Lambert: {
        // Each property runs the inverse projection afresh; the results are the same.
        const Pair geo = LambertToGeographic(stored, s.datum, s.projection, s.units);
        const double k = LambertScaleFactor(geo, s.datum, s.projection);
        convergence = LambertConvergence(geo, s.datum, s.projection);
        scaleFactor = k;
        return 0;
      }
      case ProjectionFamily::TransverseMercator: {
        const Pair geo = MercatorToGeographic(stored, s.datum, s.projection, s.units);
        const double k = MercatorScaleFactor(geo, s.datum, s.projection);
        convergence = MercatorConvergence(geo, s.datum, s.projection);
        scaleFactor = k;
        return 0;
      }
      case ProjectionFamily::Geographic:
      case ProjectionFamily::Carter:
        CheckGeographicPoint(stored, "lantrel:factors:");
        break;
    }
    scaleFactor = 1.0;
    convergence = 0.0;
    return 0;
  } catch (const Error& e) {
    return e.number();
  } catch (...) {
    return 51;
  }
}

}  // namespace lantrel::detail
