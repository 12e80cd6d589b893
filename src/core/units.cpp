#include "core/units.hpp"

#include <array>

#include "core/arithmetic_check.hpp"

namespace lantrel::detail {
namespace {

// Indexed by zrGeoUnits. Code 0 (decimal degrees) and code 2 (metres, copied) hold no factor.
constexpr std::array<double, 6> kMetresPerUnit = {
    0.0,
    0.3048006096012192,   // US survey foot, 1200 / 3937
    1.0,
    0.3048,               // international foot
    1609.3472186944373,   // US survey mile, 6336000 / 3937
    1000.0,               // kilometre
};

constexpr std::array<double, 6> kUnitsPerMetre = {
    0.0,
    3.2808333333333333,     // 3937 / 1200
    1.0,
    3.280839895013123,      // 1 / 0.3048 evaluated in double precision
    0.0006213699494949494,  // 3937 / 6336000
    0.001,
};

double Factor(std::int32_t units, const std::array<double, 6>& factors) noexcept {
  return (units >= 0 && units < 6) ? factors[static_cast<std::size_t>(units)] : 0.0;
}

Pair Scale(Pair p, std::int32_t units, const std::array<double, 6>& factors) noexcept {
  ScaleInPlace(p.x, p.y, units, Factor(units, factors));
  return p;
}

}  // namespace

double MetresPerUnit(std::int32_t units) noexcept { return Factor(units, kMetresPerUnit); }
double UnitsPerMetre(std::int32_t units) noexcept { return Factor(units, kUnitsPerMetre); }

Pair ScaleToMetres(Pair p, std::int32_t units) noexcept {
  return Scale(p, units, kMetresPerUnit);
}
Pair ScaleFromMetres(Pair p, std::int32_t units) noexcept {
  return Scale(p, units, kUnitsPerMetre);
}

Pair ToMetres(Pair p, std::int32_t units) {
  const ArithmeticScope scope;
  return scope.Check(ScaleToMetres(p, units));
}
Pair FromMetres(Pair p, std::int32_t units) {
  const ArithmeticScope scope;
  return scope.Check(ScaleFromMetres(p, units));
}

}  // namespace lantrel::detail
