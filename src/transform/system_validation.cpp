#include "transform/system_validation.hpp"

#include "lantrel/enums.hpp"
#include "lantrel/error.hpp"
#include "core/unit_fitting.hpp"

namespace lantrel::detail {
namespace {

// The raw codes of a system, as the checks compare them.
struct Codes {
  explicit Codes(System system)
      : projection(system.ProjectionCode()), datum(system.DatumCode()),
        units(system.UnitsCode()) {}
  std::int32_t projection, datum, units;
};

bool ValidProjection(std::int32_t p) { return p >= 0 && p <= 15; }
bool ValidDatum(std::int32_t d) { return d == 0 || d == 1; }
bool ValidUnits(std::int32_t u) { return u >= 0 && u <= 5; }

// Error 5 for a system a position cannot hold as named.
void ValidateCombination(System system, const std::string& source) {
  const Codes s{system};
  if (FamilyOf(s.projection) == ProjectionFamily::Carter) {
    throw Error(errc::InvalidArgument, source,
                "The Carter system is not a coordinate-pair system; use a position's Carter "
                "object.");
  }
  if (s.projection == kSingleZone && s.datum != kNAD83) {
    throw Error(errc::InvalidArgument, source, "The single zone exists on NAD 83 only.");
  }
  if (FitUnits(s.projection, s.units) != s.units) {
    throw Error(errc::InvalidArgument, source,
                s.units == kDecimalDegrees
                    ? "Decimal degrees are not a unit of a plane zone."
                    : "The geographic system takes decimal degrees only.");
  }
}

}  // namespace

void ValidateSourceSystem(System system, const std::string& source) {
  const Codes s{system};
  if (!ValidProjection(s.projection)) {
    throw Error(errc::InvalidProjection, source, "Invalid projection specified.");
  }
  if (!ValidDatum(s.datum)) {
    throw Error(errc::InvalidDatum, source, "Invalid horizontal datum specified.");
  }
  if (!ValidUnits(s.units)) throw Error(errc::InvalidUnits, source, "Invalid units specified.");
  ValidateCombination(system, source);
}

void ValidateTargetSystem(System system, const std::string& source) {
  const Codes s{system};
  if (!ValidDatum(s.datum)) throw Error(errc::InvalidDatum, source, "Invalid toDatum specified.");
  if (!ValidUnits(s.units)) throw Error(errc::InvalidUnits, source, "Invalid toUnits specified.");
  if (!ValidProjection(s.projection)) {
    throw Error(errc::InvalidProjection, source, "Invalid toProjection specified.");
  }
  ValidateCombination(system, source);
}

}  // namespace lantrel::detail
