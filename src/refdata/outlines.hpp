// Read-only access to the outlines of a loaded data file, for drawing them (maps, pages,
// GIS layers): a record's bounding box, its ring, and the records whose boxes meet a box.
#pragma once

#include <cstdint>
#include <vector>

#include "lantrel/pair.hpp"
#include "refdata/reference_data.hpp"

namespace lantrel::detail {

enum class OutlineTable : std::int32_t { States = 0, Counties = 1, Quads = 2 };

/// x west-positive longitude, y latitude, NAD 83, as the file holds them.
struct OutlineBounds {
  double xMin = 0.0, xMax = 0.0, yMin = 0.0, yMax = 0.0;
};

/// Records in a table (0 for a code that names none).
std::size_t OutlineCount(const ReferenceData& data, OutlineTable table) noexcept;

/// Bounds of record `index`; raises error 9 out of range, 5 for an unknown table.
OutlineBounds RecordBounds(const ReferenceData& data, OutlineTable table, std::int32_t index);

/// The ring of record `index`: a state's or county's vertices in the file's order, a
/// quadrangle's four corners (south-west, south-east, north-east, north-west); the first point
/// repeated at the end when the file does not close the ring itself. Raises error 9 out of
/// range (5 for an unknown table) or when the record's vertices lie outside the file's lists.
std::vector<Pair> RecordRing(const ReferenceData& data, OutlineTable table, std::int32_t index);

/// The records whose bounds meet `box` (edges touching count), in record order.
std::vector<std::int32_t> RecordsMeeting(const ReferenceData& data, OutlineTable table,
                                         const OutlineBounds& box);

}  // namespace lantrel::detail
