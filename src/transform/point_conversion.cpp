// The per-point path of the array conversion, through the same checked kernels the position
// uses, step for step in the order of Convert.
#include "transform/point_conversion.hpp"

#include "core/point_failure.hpp"
#include "core/stored_pair.hpp"
#include "lantrel/enums.hpp"
#include "lantrel/error.hpp"
#include "projection/zone_driver.hpp"
#include "transform/conversion_sequence.hpp"

namespace lantrel::detail {

namespace {

constexpr const char* kFactorsSource = "lantrel:factors:";

}  // namespace

std::int32_t ConvertPoint(System from, System to, bool westPositive,
                          double x, double y, Pair& out, PointErrors* errors,
                          std::size_t index) {
  try {
    const Pair geo = RefreshGeographic(LetPair(x, y), from.DatumCode(), from.ProjectionCode(),
                                       from.UnitsCode(), kTransformerSource);
    Pair shifted, result;
    const std::int32_t s = ShiftAndProject(geo, from.DatumCode(), to.DatumCode(),
                                             to.ProjectionCode(), to.UnitsCode(), shifted, result);
    if (s != 0) return NoteFailure(errors, index, s, kTransformerSource, kShiftRefused);
    if (FamilyOf(to.ProjectionCode()) == ProjectionFamily::Geographic && !westPositive) {
      result.x = -result.x;
    }
    out = result;
    return 0;
  } catch (const Error& e) {
    return NoteFailure(errors, index, e);
  } catch (...) {
    return NoteInternalFailure(errors, index, kTransformerSource);
  }
}

std::int32_t PointFactors(System s, double x, double y, double& scaleFactor,
                          double& convergence, PointErrors* errors, std::size_t index) {
  try {
    const Pair geo = RefreshGeographic(LetPair(x, y), s.DatumCode(), s.ProjectionCode(),
                                       s.UnitsCode(), kFactorsSource);
    const ZoneFactors f = FactorsAt(geo, s.DatumCode(), s.ProjectionCode());
    scaleFactor = f.scaleFactor;
    convergence = f.convergence;
    return 0;
  } catch (const Error& e) {
    return NoteFailure(errors, index, e);
  } catch (...) {
    return NoteInternalFailure(errors, index, kFactorsSource);
  }
}

}  // namespace lantrel::detail
