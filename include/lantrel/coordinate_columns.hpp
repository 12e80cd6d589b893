/// \file
/// lantrel — finding the coordinate columns of a table (CSV header or attribute fields) by
/// name, under the names every front end looks for. Pure functions, thread-safe.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lantrel {

/// Where a table holds its coordinates: an x and a y column, or one Carter location column.
struct CoordinateColumns {
  std::size_t x = 0;             ///< x, or the Carter location column
  std::optional<std::size_t> y;  ///< empty when the source is a Carter location
};

/// What the caller asked for: columns named by the user, and whether the source is a Carter
/// location (one column).
struct ColumnRequest {
  std::optional<std::string> x;  ///< the x (or Carter location) column named, if any
  std::optional<std::string> y;  ///< the y column named, if any
  bool carter = false;           ///< the source is a Carter location
};

/// The usual names of coordinate column pairs (x, y), in the order they are sought.
inline constexpr std::string_view kCoordinateColumnPairs[][2] = {
    {"x", "y"},
    {"lon", "lat"},
    {"long", "lat"},
    {"lng", "lat"},
    {"longitude", "latitude"},
    {"easting", "northing"},
    {"east", "north"},
};

/// The usual names of a Carter location column, in the order they are sought.
inline constexpr std::string_view kCarterColumnNames[] = {"carter", "location"};

/// The index of the column called name: an exact match first, then one ignoring case.
std::optional<std::size_t> FindColumn(const std::vector<std::string>& names,
                                      std::string_view name);

/// Finds the coordinate columns. Columns not named are sought under their usual names, pair by
/// pair (kCoordinateColumnPairs; kCarterColumnNames for Carter sources), each name matched
/// exactly first and then ignoring case; the first pair whose missing half (or both halves)
/// the table has is taken. Gives nothing with a message in `error` (what was sought, which
/// columns exist) when a column is missing or x and y would be the same column; `namingHint`
/// (how the caller's users name columns, e.g. "name them with --x-col and --y-col") then
/// follows what was sought.
std::optional<CoordinateColumns> FindCoordinateColumns(const std::vector<std::string>& names,
                                                       const ColumnRequest& request,
                                                       std::string& error,
                                                       std::string_view namingHint = {});

}  // namespace lantrel
