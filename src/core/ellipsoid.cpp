#include "core/ellipsoid.hpp"

#include <array>

#include "core/raise.hpp"

namespace lantrel::detail {
namespace {

constexpr std::array<double, 2> kSemiMajorAxis = {6378137.0, 6378206.4};
constexpr std::array<double, 2> kEccentricitySquared = {0.00669438002290348,
                                                        0.00676865799760964};

}  // namespace

double SemiMajorAxis(std::int32_t datum) {
  CheckIndex(datum, 1);
  return kSemiMajorAxis[static_cast<std::size_t>(datum)];
}

double EccentricitySquared(std::int32_t datum) {
  CheckIndex(datum, 1);
  return kEccentricitySquared[static_cast<std::size_t>(datum)];
}

}  // namespace lantrel::detail
