// Lookup grid: square cells over the served window, each labelled at load time with the states
// and counties that hold every point of the cell, or marked to be searched point by point.
//
// A cell is labelled only when no state or county outline comes within kGridMargin of it. Every
// outline is a closed ring whose box encloses it, so across such a cell no outline is crossed
// and none carries a point: every record holds all of the cell or none of it, and the search
// gives one answer for all its points. Cells that touch one another without an outline between
// them form one area with one answer, so the full search runs once per area, at one cell centre.
// Files with open outlines, boxes that do not enclose their outlines, or coordinates far outside
// the globe get no grid: every point is searched.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "lantrel/pair.hpp"

namespace lantrel::detail {

struct ReferenceData;
struct EdgeIndex;  // refdata/edge_index.hpp

/// States and home-state counties holding every point of a cell, as record numbers.
struct AreaLabel {
  std::int32_t stateCount = 0;
  std::int32_t countyCount = 0;
  std::array<std::int32_t, 3> state{};
  std::array<std::int32_t, 3> county{};
  bool operator==(const AreaLabel&) const = default;
};

struct LookupGrid {
  static constexpr double kCellsPerDegree = 128.0;  // a power of two: cell edges are exact
  static constexpr double kWest = 90.0 + 1.0 / 128;  // the window 81.5-90 W, 36-39.5 N, and
  static constexpr double kEast = 81.5 - 1.0 / 128;  // one cell more on every side for points
  static constexpr double kSouth = 36.0 - 1.0 / 128;  // shifted from NAD 27
  static constexpr double kNorth = 39.5 + 1.0 / 128;
  static constexpr std::int32_t kColumns = static_cast<std::int32_t>((kWest - kEast) * kCellsPerDegree);
  static constexpr std::int32_t kRows = static_cast<std::int32_t>((kNorth - kSouth) * kCellsPerDegree);

  bool usable = false;
  std::vector<std::uint16_t> cells;  // row-major from the south-east; 0 = search, k = labels[k-1]
  std::vector<AreaLabel> labels;

  /// The label of the cell holding p, or nullptr when p must be searched.
  const AreaLabel* Label(Pair p) const noexcept {
    if (!usable) return nullptr;
    const double cx = (p.x - kEast) * kCellsPerDegree;
    const double cy = (p.y - kSouth) * kCellsPerDegree;
    if (!(cx >= 0.0 && cx < kColumns && cy >= 0.0 && cy < kRows)) return nullptr;
    const std::uint16_t label = cells[static_cast<std::size_t>(cy) * kColumns +
                                      static_cast<std::size_t>(cx)];
    return label == 0 ? nullptr : &labels[label - 1];
  }
};

/// Builds the grid of `data` over its edge index `index`; answers are found with the search
/// that walks the indexed edges.
LookupGrid BuildLookupGrid(const ReferenceData& data, const EdgeIndex& index);

}  // namespace lantrel::detail
