// Plane-coordinate zone of each home-state county: "North" or "South" for the odd county codes
// 1-239, "" for 0 and the even codes.
#include <array>
#include <string>

#include "core/raise.hpp"
#include "refdata/lookup.hpp"

namespace lantrel::detail {

namespace {

constexpr std::array<int, 40> kNorthCounties = {
    5,   11,  15,  17,  19,  23,  29,  37,  41,  43,  49,  63,  67,  69,
    73,  77,  81,  89,  97,  103, 111, 113, 117, 127, 135, 161, 165, 173,
    175, 181, 185, 187, 191, 201, 205, 209, 211, 215, 223, 239};

enum class Zone : unsigned char { None, North, South };

constexpr std::array<Zone, 240> MakeZoneTable() {
  std::array<Zone, 240> table{};
  for (std::size_t code = 1; code < table.size(); code += 2) table[code] = Zone::South;
  for (const int code : kNorthCounties) table[static_cast<std::size_t>(code)] = Zone::North;
  return table;
}

constexpr std::array<Zone, 240> kZoneTable = MakeZoneTable();

}  // namespace

const std::string& SPZoneOfCounty(std::int32_t fips) {
  static const std::string kWords[] = {"", "North", "South"};
  CheckIndex(fips, static_cast<std::int64_t>(kZoneTable.size()) - 1);
  return kWords[static_cast<std::size_t>(kZoneTable[static_cast<std::size_t>(fips)])];
}

}  // namespace lantrel::detail
