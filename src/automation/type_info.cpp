// The type description of the library: its name and version, the members of both interfaces
// in slot order with their kinds, and the members of the three enumerations.
#include <array>
#include <cstdint>
#include <cstring>
#include <span>

#include "automation/boundary.hpp"

using lantrel::automation::Guard;
using lantrel::automation::InText;
using lantrel::automation::RaiseLayer;

namespace {

struct Member {
  const char* name;
  std::int32_t kinds;
};

struct EnumMember {
  const char* name;
  std::int32_t value;
};

constexpr std::int32_t kGet = LANTREL_KIND_GET;
constexpr std::int32_t kLet = LANTREL_KIND_LET;
constexpr std::int32_t kSet = LANTREL_KIND_SET;
constexpr std::int32_t kMethod = LANTREL_KIND_METHOD;

constexpr std::array<Member, 26> kPositionMembers{{
    {"Carter", kGet | kSet},     {"Version", kGet},        {"ReleaseDate", kGet},
    {"About", kGet},             {"WestPositive", kGet | kLet},
    {"x", kGet | kLet},          {"y", kGet | kLet},       {"Projection", kGet | kLet},
    {"Datum", kGet | kLet},      {"Units", kGet | kLet},   {"StateCount", kGet},
    {"StateName", kGet},         {"StateFIPS", kGet},      {"CountyCount", kGet},
    {"CountyName", kGet},        {"CountyFIPS", kGet},     {"CountySPZone", kGet},
    {"QuadCount", kGet},         {"QuadTile", kGet},       {"QuadName", kGet},
    {"QuadState", kGet},         {"ScaleFactor", kGet},    {"Convergence", kGet},
    {"Convert", kMethod},        {"InBounds", kGet},       {"SetPath", kMethod},
}};

constexpr std::array<Member, 16> kCarterMembers{{
    {"Clear", kMethod},          {"LocationString", kGet}, {"FNSL", kGet},
    {"FNL", kGet | kLet},        {"FSL", kGet | kLet},     {"FEWL", kGet},
    {"FEL", kGet | kLet},        {"FWL", kGet | kLet},     {"Section", kGet | kLet},
    {"Letter", kGet | kLet},     {"IsLetter", kMethod},    {"Number", kGet | kLet},
    {"CellNumber", kGet | kLet}, {"BlockLetter", kGet | kLet},
    {"IsBlockLetter", kMethod},  {"BlockNumber", kGet | kLet},
}};

constexpr std::array<EnumMember, 2> kDatumMembers{{{"zrNAD83", 0}, {"zrNAD27", 1}}};

constexpr std::array<EnumMember, 6> kUnitsMembers{{
    {"zrDecimalDegrees", 0}, {"zrUSFt", 1}, {"zrMeters", 2},
    {"zrIntlFt", 3}, {"zrMiles", 4}, {"zrKilometers", 5},
}};

constexpr std::array<EnumMember, 16> kProjectionMembers{{
    {"zrSingleZone", 0}, {"zrNorthZone", 1}, {"zrSouthZone", 2}, {"zrUTM16", 3},
    {"zrUTM17", 4}, {"zrGeographic", 5}, {"zrCarter", 6}, {"moEastZone", 7},
    {"ilWestZone", 8}, {"ilEastZone", 9}, {"inWestZone", 10}, {"inEastZone", 11},
    {"ohSouthZone", 12}, {"wvSouthZone", 13}, {"vaSouthZone", 14}, {"tnSingleZone", 15},
}};

// The entry at a zero-based index; the index is widened first so that callers may pass
// slot - 1 for any 32-bit slot without overflowing.
template <typename T>
const T& Entry(std::span<const T> table, std::int64_t index) {
  if (index < 0 || static_cast<std::uint64_t>(index) >= table.size()) RaiseLayer(9);
  return table[static_cast<std::size_t>(index)];
}

}  // namespace

extern "C" {

const char* lantrel_typelib_name(void) { return "Lantrel"; }

void lantrel_typelib_version(int32_t* major, int32_t* minor) {
  if (major != nullptr) *major = 3;
  if (minor != nullptr) *minor = 23;
}

int32_t lantrel_typelib_member(const char* interface_name, int32_t slot, const char** name,
                               int32_t* kinds) {
  return Guard([&] {
    const std::string interface = InText(interface_name);
    std::span<const Member> table;
    if (interface == "_ZrGeoPosition") {
      table = kPositionMembers;
    } else if (interface == "_zrCarter") {
      table = kCarterMembers;
    } else {
      RaiseLayer(5);
    }
    const Member& m = Entry(table, std::int64_t{slot} - 1);
    if (name != nullptr) *name = m.name;
    if (kinds != nullptr) *kinds = m.kinds;
  });
}

int32_t lantrel_typelib_enum_member(const char* enum_name, int32_t index, const char** name,
                                    int32_t* value) {
  return Guard([&] {
    const std::string enumeration = InText(enum_name);
    std::span<const EnumMember> table;
    if (enumeration == "zrGeoDatum") {
      table = kDatumMembers;
    } else if (enumeration == "zrGeoUnits") {
      table = kUnitsMembers;
    } else if (enumeration == "zrGeoProjection") {
      table = kProjectionMembers;
    } else {
      RaiseLayer(5);
    }
    const EnumMember& m = Entry(table, index);
    if (name != nullptr) *name = m.name;
    if (value != nullptr) *value = m.value;
  });
}

}  // extern "C"
