// The per-point path of the array conversion, through the same checked kernels the position
// uses, step for step in the order of Convert.
#include "transform/point_conversion.hpp"

#include "core/stored_pair.hpp"
#include "lantrel/enums.hpp"
#include "lantrel/error.hpp"
#include "projection/zone_driver.hpp"
#include "transform/conversion_sequence.hpp"

namespace lantrel::detail {

std::int32_t ConvertPoint(CoordinateSystem from, CoordinateSystem to, bool westPositive,
                          double x, double y, Pair& out) noexcept {
  try {
    const Pair geo = RefreshGeographic(LetPair(x, y), from.datum, from.projection, from.units,
                                       "lantrel:Transformer:");
    Pair shifted, result;
    const std::int32_t s = ShiftAndProject(geo, from.datum, to.datum, to.projection, to.units, shifted, result);
    if (s != 0) return s;
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
    const Pair geo = RefreshGeographic(LetPair(x, y), s.datum, s.projection, s.units, "lantrel:factors:");
    const ZoneFactors f = FactorsAt(geo, s.datum, s.projection);
    scaleFactor = f.scaleFactor;
    convergence = f.convergence;
    return 0;
  } catch (const Error& e) {
    return e.number();
  } catch (...) {
    return 51;
  }
}

}  // namespace lantrel::detail
