// The unit a projection family accepts: angular systems always take decimal degrees, plane
// systems replace decimal degrees by their default linear unit (metres for UTM, US survey feet
// for the state-plane zones) and keep any other unit.
#pragma once

#include <cstdint>

#include "lantrel/enums.hpp"

namespace lantrel::detail {

inline constexpr std::int32_t kNAD83 = 0;
inline constexpr std::int32_t kNAD27 = 1;
inline constexpr std::int32_t kSingleZone = 0;
inline constexpr std::int32_t kDecimalDegrees = 0;
inline constexpr std::int32_t kUSFt = 1;
inline constexpr std::int32_t kMeters = 2;

constexpr std::int32_t FitUnits(std::int32_t projection, std::int32_t units) noexcept {
  const auto family = FamilyOf(projection);
  if (family == ProjectionFamily::Geographic || family == ProjectionFamily::Carter) {
    return kDecimalDegrees;
  }
  if (units != kDecimalDegrees) return units;
  // UTM zones default to metres; every state-plane zone to US survey feet.
  return (projection == 3 || projection == 4) ? kMeters : kUSFt;
}

}  // namespace lantrel::detail
