// Finding the coordinate columns of a table (CSV header or attribute fields) by name.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace lantrel::cli {

/// Where a table holds its coordinates: an x and a y column, or one Carter location column.
struct CoordinateColumns {
  std::size_t x = 0;                 // x, or the Carter location column
  std::optional<std::size_t> y;      // empty when the source is a Carter location
};

/// What the caller asked for: columns named on the command line, and whether the source is
/// a Carter location (one column).
struct ColumnRequest {
  std::optional<std::string> x;
  std::optional<std::string> y;
  bool carter = false;
};

/// The index of the column called name: an exact match first, then one ignoring case.
std::optional<std::size_t> FindColumn(const std::vector<std::string>& names, const std::string& name);

/// Finds the coordinate columns. Columns not named are sought under their usual names, pair by
/// pair (x/y, lon/lat, long/lat, lng/lat, longitude/latitude, easting/northing, east/north;
/// carter or location for Carter sources), each name matched exactly first and then ignoring
/// case. Returns a message (what was sought, which columns exist) when a column is missing or
/// x and y would be the same column.
std::optional<CoordinateColumns> FindCoordinateColumns(const std::vector<std::string>& names,
                                                       const ColumnRequest& request,
                                                       std::string& error);

}  // namespace lantrel::cli
