// The unit a projection family accepts: angular systems always take decimal degrees, plane
// systems replace decimal degrees by their default linear unit and keep any other unit.
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
  switch (FamilyOf(projection)) {
    case ProjectionFamily::Geographic:
    case ProjectionFamily::Carter:
      return kDecimalDegrees;
    case ProjectionFamily::TransverseMercator:
      return units == kDecimalDegrees ? kMeters : units;
    case ProjectionFamily::Lambert:
      break;
  }
  return units == kDecimalDegrees ? kUSFt : units;
}

}  // namespace lantrel::detail
