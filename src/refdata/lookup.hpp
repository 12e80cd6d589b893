// Which states, counties and quadrangles contain a NAD 83 point.
#pragma once

#include <cstdint>
#include <string>

#include "lantrel/location_results.hpp"
#include "lantrel/pair.hpp"
#include "refdata/reference_data.hpp"

namespace lantrel::detail {

/// Fills `out` (already cleared) for the west-positive NAD 83 point `p`: home state and its
/// counties, neighbouring states, quadrangles. Raises error 9 on faulty data; `out` then keeps
/// what was appended so far.
void SearchLocations(const ReferenceData& data, Pair p, LocationResults& out);

/// The same search walking every outline and testing every quadrangle in file order, without
/// the index. Gives the same answers and errors as SearchLocations.
void SearchLocationsScan(const ReferenceData& data, Pair p, LocationResults& out);

/// Plane-coordinate zone word ("North", "South" or "") of a home-state county FIPS code;
/// raises error 9 outside 0..239.
const std::string& SPZoneOfCounty(std::int32_t fips);

}  // namespace lantrel::detail
