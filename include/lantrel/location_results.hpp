// lantrel — the states, counties and quadrangles found at a position's point.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace lantrel {

struct LocationResults {
  std::int32_t stateCount = 0;
  std::array<std::int32_t, 3> stateFIPS{};
  std::array<std::string, 3> stateName;
  std::int32_t countyCount = 0;
  std::array<std::int32_t, 3> countyFIPS{};
  std::array<std::string, 3> countyName;
  std::int32_t quadCount = 0;
  std::array<std::string, 4> quadName;
  std::array<std::string, 4> quadState;
  std::array<std::string, 4> quadTile;

  /// Empties every list: counts 0, codes 0, texts empty.
  void Clear() { *this = LocationResults{}; }
};

}  // namespace lantrel
