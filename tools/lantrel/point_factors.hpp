// Grid scale factor and meridian convergence of a position's point, as the fields a record
// gains with --factors.
#pragma once

#include <array>
#include <string_view>

#include "lantrel/lantrel.hpp"

namespace lantrel::cli {

inline constexpr std::array<std::string_view, 2> kFactorFieldNames{"scale_factor", "convergence"};

struct PointFactors {
  double scaleFactor = 1.0;
  double convergence = 0.0;  // decimal degrees
};

/// The factors of the point in the position's current system (1 and 0 for geographic and
/// Carter positions). Arithmetic faults are thrown as lantrel::Error.
inline PointFactors ReadFactors(const ZrGeoPosition& position) {
  return PointFactors{position.ScaleFactor(), position.Convergence()};
}

}  // namespace lantrel::cli
