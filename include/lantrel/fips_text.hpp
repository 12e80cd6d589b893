/// \file
/// lantrel — FIPS codes as the text Census tables join on.
//
// The position reports FIPS codes as numbers (Clinton County is 53). Tables that carry them
// (the Census COUNTYFP and GEOID columns) write them as fixed-width text with leading zeros:
// "21" for Kentucky, "053" for Clinton County, "21053" for both. Pure and thread-safe.
#pragma once

#include <cstdint>
#include <string>

namespace lantrel {

/// The FIPS code of the home state, whose counties the reference data holds (Kentucky).
inline constexpr std::int32_t kHomeStateFips = 21;

/// A state code as two digits ("21", "05"); empty for a code outside 0-99.
std::string StateFipsText(std::int32_t code);
/// A county code (the county part only) as three digits ("053"); empty outside 0-999.
std::string CountyFipsText(std::int32_t code);
/// The five-digit GEOID of a home-state county ("21053"); empty outside 0-999.
std::string CountyGeoid(std::int32_t countyCode);

}  // namespace lantrel
