#include "lantrel/coordinate_columns.hpp"

#include "lantrel/quoted_text.hpp"
#include "lantrel/system_text.hpp"

namespace lantrel {

namespace {

std::optional<std::size_t> Find(const std::vector<std::string>& names, std::string_view name) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return i;
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (EqualsIgnoreCase(names[i], name)) return i;
  }
  return std::nullopt;
}

std::string Quoted(std::string_view name) { return Excerpt(name); }

// The header's column names for a message: each one escaped and cut short, at most a dozen.
std::string ColumnList(const std::vector<std::string>& names) {
  constexpr std::size_t kShown = 12;
  std::string list;
  for (std::size_t i = 0; i < names.size() && i < kShown; ++i) {
    list += (i == 0 ? "" : ", ") + OneLine(names[i], kExcerptBytes);
  }
  if (names.size() > kShown) list += ", ... (" + std::to_string(names.size()) + " columns)";
  return list;
}

}  // namespace

std::optional<std::size_t> FindColumn(const std::vector<std::string>& names,
                                      std::string_view name) {
  return Find(names, name);
}

std::optional<CoordinateColumns> FindCoordinateColumns(const std::vector<std::string>& names,
                                                       const ColumnRequest& request,
                                                       std::string& error,
                                                       std::string_view namingHint) {
  const std::string existing = " (columns: " + ColumnList(names) + ")";
  CoordinateColumns found;
  if (request.carter) {
    if (request.x) {
      const auto at = Find(names, *request.x);
      if (!at) {
        error = "no Carter location column " + Quoted(*request.x) + existing;
        return std::nullopt;
      }
      found.x = *at;
      return found;
    }
    for (const auto name : kCarterColumnNames) {
      if (const auto at = Find(names, name)) {
        found.x = *at;
        return found;
      }
    }
    error = "no Carter location column 'carter' or 'location'" + existing;
    return std::nullopt;
  }
  std::optional<std::size_t> x = request.x ? Find(names, *request.x) : std::nullopt;
  std::optional<std::size_t> y = request.y ? Find(names, *request.y) : std::nullopt;
  if (request.x && !x) {
    error = "no x column " + Quoted(*request.x) + existing;
    return std::nullopt;
  }
  if (request.y && !y) {
    error = "no y column " + Quoted(*request.y) + existing;
    return std::nullopt;
  }
  if (!x || !y) {
    // The first usual pair whose missing half (or both halves) the table has.
    for (const auto& [xn, yn] : kCoordinateColumnPairs) {
      const auto px = x ? x : Find(names, xn);
      const auto py = y ? y : Find(names, yn);
      if (px && py) {
        x = px;
        y = py;
        break;
      }
    }
  }
  if (!x || !y) {
    std::string sought;
    for (const auto& [xn, yn] : kCoordinateColumnPairs) {
      sought += (sought.empty() ? "" : ", ") + std::string(xn) + "/" + std::string(yn);
    }
    error = std::string(!x && !y ? "no coordinate columns" : !x ? "no x column" : "no y column") +
            " (looked for " + sought + (namingHint.empty() ? "" : "; ") + std::string(namingHint) +
            ")" + existing;
    return std::nullopt;
  }
  if (*x == *y) {
    error = "x and y name the same column " + Quoted(names[*x]);
    return std::nullopt;
  }
  found.x = *x;
  found.y = *y;
  return found;
}

}  // namespace lantrel
