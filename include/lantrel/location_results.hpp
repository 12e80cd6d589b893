/// \file
/// lantrel — the states, counties and quadrangles found at a position's point.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace lantrel {

/// The lists a position's location search fills: up to three states, three counties and
/// four quadrangles, in data-file order. A plain value; any thread may use its own copy.
struct LocationResults {
  std::int32_t stateCount = 0;              ///< Number of states found (0–3).
  std::array<std::int32_t, 3> stateFIPS{};  ///< FIPS codes of the states found.
  std::array<std::string, 3> stateName;     ///< Names of the states found.
  std::int32_t countyCount = 0;             ///< Number of counties found (0–3).
  std::array<std::int32_t, 3> countyFIPS{}; ///< County parts of the FIPS codes found.
  std::array<std::string, 3> countyName;    ///< Names of the counties found.
  std::int32_t quadCount = 0;               ///< Number of quadrangles found (0–4).
  std::array<std::string, 4> quadName;      ///< Names of the quadrangles found.
  std::array<std::string, 4> quadState;     ///< Primary states of the quadrangles found.
  std::array<std::string, 4> quadTile;      ///< Tiles of the quadrangles found ("37085-A1").

  /// Empties every list: counts 0, codes 0, texts empty.
  void Clear() { *this = LocationResults{}; }
};

}  // namespace lantrel
