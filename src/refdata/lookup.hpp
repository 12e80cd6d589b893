// Which states, counties and quadrangles contain a NAD 83 point.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "lantrel/location_results.hpp"
#include "lantrel/pair.hpp"
#include "refdata/reference_data.hpp"

namespace lantrel::detail {

/// The records found at a point, as positions in the data's tables, in the order found. Slots
/// at or beyond a count are not meaningful.
struct LocationIndices {
  std::int32_t stateCount = 0;
  std::int32_t countyCount = 0;
  std::int32_t quadCount = 0;
  std::array<std::int32_t, 3> state{};
  std::array<std::int32_t, 3> county{};
  std::array<std::int32_t, 4> quad{};
};

/// How much of the load-time index a search may use. Every mode gives the same answers and
/// errors; the slower ones exist to prove that.
enum class SearchMode {
  Indexed,    // lookup grid, edge bands and quadrangle cells
  EdgesOnly,  // edge bands and quadrangle cells, no lookup grid
  Scan,       // every outline walked, every quadrangle tested, in file order
};

/// Appends to `out` (counts 0 on entry) the records holding the west-positive NAD 83 point
/// `p`: home state and its counties, neighbouring states, quadrangles. Raises error 9 on faulty
/// data and the arithmetic error at a faulty edge computation; `out` then keeps what was
/// appended so far.
void SearchLocationIndices(const ReferenceData& data, Pair p, LocationIndices& out,
                           SearchMode mode = SearchMode::Indexed);
/// The same over the given index (null: none) instead of data.Index().
void SearchLocationIndicesOver(const ReferenceData& data, const EdgeIndex* index, Pair p,
                               LocationIndices& out, SearchMode mode);

/// Fills `out` (already cleared) with the names and codes of the records SearchLocationIndices
/// finds; on an error `out` keeps what was appended so far.
void SearchLocations(const ReferenceData& data, Pair p, LocationResults& out);
/// The same with a chosen part of the index.
void SearchLocationsWith(const ReferenceData& data, Pair p, LocationResults& out,
                         SearchMode mode);

/// The same search walking every outline and testing every quadrangle in file order, without
/// the index. Gives the same answers and errors as SearchLocations.
void SearchLocationsScan(const ReferenceData& data, Pair p, LocationResults& out);

/// Copies the names and codes of the records in `found` into `out` (already cleared).
void FillResults(const ReferenceData& data, const LocationIndices& found, LocationResults& out);

/// Plane-coordinate zone word ("North", "South" or "") of a home-state county FIPS code;
/// raises error 9 outside 0..239.
const std::string& SPZoneOfCounty(std::int32_t fips);

}  // namespace lantrel::detail
