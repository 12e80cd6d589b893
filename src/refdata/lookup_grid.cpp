#include "refdata/lookup_grid.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "lantrel/error.hpp"
#include "refdata/lookup.hpp"
#include "refdata/reference_data.hpp"

namespace lantrel::detail {

namespace {

// How close an outline may come to a cell before the cell is searched point by point: far
// more than the 1e-12 tolerance within which a point lies on an outline, and than the rounding
// of any edge or cell computation.
constexpr double kGridMargin = 1e-9;
// Outlines with coordinates beyond this many degrees are not gridded.
constexpr double kLargestCoordinate = 1000.0;

using Grid = LookupGrid;
constexpr std::size_t kCells = static_cast<std::size_t>(Grid::kColumns) * Grid::kRows;

std::int32_t Slot(double offset, std::int32_t slots) {
  const double t = std::floor(offset * Grid::kCellsPerDegree);
  if (t < 0.0) return 0;
  if (t >= slots) return slots - 1;
  return static_cast<std::int32_t>(t);
}

// Marks every cell that the edge from a to b comes within the margin of.
void MarkEdge(Pair a, Pair b, std::vector<unsigned char>& touched) {
  const double low = std::min(a.y, b.y);
  const double high = std::max(a.y, b.y);
  if (high + kGridMargin < Grid::kSouth || low - kGridMargin > Grid::kNorth) return;
  if (std::max(a.x, b.x) + kGridMargin < Grid::kEast ||
      std::min(a.x, b.x) - kGridMargin > Grid::kWest) {
    return;
  }
  const std::int32_t r0 = Slot(low - kGridMargin - Grid::kSouth, Grid::kRows);
  const std::int32_t r1 = Slot(high + kGridMargin - Grid::kSouth, Grid::kRows);
  for (std::int32_t r = r0; r <= r1; ++r) {
    // The part of the edge within the row's latitudes, widened by the margin.
    const double rowSouth = Grid::kSouth + r / Grid::kCellsPerDegree - kGridMargin;
    const double rowNorth = Grid::kSouth + (r + 1) / Grid::kCellsPerDegree + kGridMargin;
    const double from = std::max(rowSouth, low);
    const double to = std::min(rowNorth, high);
    if (from > to) continue;
    double xa = a.x;
    double xb = b.x;
    if (a.y != b.y) {
      const double t0 = std::clamp((from - a.y) / (b.y - a.y), 0.0, 1.0);
      const double t1 = std::clamp((to - a.y) / (b.y - a.y), 0.0, 1.0);
      xa = a.x + t0 * (b.x - a.x);
      xb = a.x + t1 * (b.x - a.x);
    }
    const double west = std::max(xa, xb) + kGridMargin;
    const double east = std::min(xa, xb) - kGridMargin;
    if (west < Grid::kEast || east > Grid::kWest) continue;
    const std::int32_t c0 = Slot(east - Grid::kEast, Grid::kColumns);
    const std::int32_t c1 = Slot(west - Grid::kEast, Grid::kColumns);
    for (std::int32_t c = c0; c <= c1; ++c) {
      touched[static_cast<std::size_t>(r) * Grid::kColumns + static_cast<std::size_t>(c)] = 1;
    }
  }
}

// Marks the cells an outline touches; false when the outline cannot be gridded: a position or
// vertex number out of range, a coordinate not finite or far off the globe, an open ring, or
// a box that does not enclose the outline.
bool MarkOutline(const ReferenceData& data, const RegionRecord& r,
                 std::vector<unsigned char>& touched) {
  const auto positions = static_cast<std::int64_t>(data.vertexIndexList.size());
  const auto vertices = static_cast<std::int64_t>(data.vertexList.size());
  if (r.FirstVertex < 0 || r.FirstVertex > r.LastVertex || r.LastVertex >= positions) {
    return false;
  }
  Pair first{}, previous{};
  for (std::int64_t k = r.FirstVertex; k <= r.LastVertex; ++k) {
    const std::int32_t number = data.vertexIndexList[static_cast<std::size_t>(k)];
    if (number < 0 || number >= vertices) return false;
    const Pair v = data.vertexList[static_cast<std::size_t>(number)];
    if (!(std::fabs(v.x) <= kLargestCoordinate && std::fabs(v.y) <= kLargestCoordinate)) {
      return false;
    }
    if (!(v.x >= r.XMin && v.x <= r.XMax && v.y >= r.YMin && v.y <= r.YMax)) return false;
    if (k == r.FirstVertex) {
      first = v;
    } else {
      MarkEdge(previous, v, touched);
    }
    previous = v;
  }
  return previous == first;
}

AreaLabel LabelOf(const LocationIndices& found) {
  AreaLabel label;
  label.stateCount = found.stateCount;
  label.countyCount = found.countyCount;
  for (std::int32_t i = 0; i < found.stateCount; ++i) label.state[i] = found.state[i];
  for (std::int32_t i = 0; i < found.countyCount; ++i) label.county[i] = found.county[i];
  return label;
}

auto KeyOf(const AreaLabel& l) {
  return std::tuple(l.stateCount, l.countyCount, l.state, l.county);
}

}  // namespace

LookupGrid BuildLookupGrid(const ReferenceData& data, const EdgeIndex& index) {
  LookupGrid grid;
  if (data.states.size() < 2) return grid;
  std::vector<unsigned char> touched(kCells, 0);
  for (const auto* table : {&data.states, &data.counties}) {
    for (const RegionRecord& r : *table) {
      if (!MarkOutline(data, r, touched)) return grid;
    }
  }

  // Label each area of untouched cells with the answer at the centre of its first cell.
  std::vector<std::uint16_t> cells(kCells, 0);
  std::vector<unsigned char> seen(kCells, 0);
  std::vector<AreaLabel> labels;
  std::map<decltype(KeyOf(AreaLabel{})), std::uint16_t> numbers;
  std::vector<std::size_t> area, queue;
  for (std::size_t start = 0; start < kCells; ++start) {
    if (touched[start] || seen[start]) continue;
    area.clear();
    queue.assign(1, start);
    seen[start] = 1;
    while (!queue.empty()) {
      const std::size_t cell = queue.back();
      queue.pop_back();
      area.push_back(cell);
      const std::size_t column = cell % Grid::kColumns;
      const std::size_t row = cell / Grid::kColumns;
      const auto visit = [&](std::size_t next) {
        if (!touched[next] && !seen[next]) {
          seen[next] = 1;
          queue.push_back(next);
        }
      };
      if (column > 0) visit(cell - 1);
      if (column + 1 < static_cast<std::size_t>(Grid::kColumns)) visit(cell + 1);
      if (row > 0) visit(cell - Grid::kColumns);
      if (row + 1 < static_cast<std::size_t>(Grid::kRows)) visit(cell + Grid::kColumns);
    }
    const Pair centre{Grid::kEast + (static_cast<double>(start % Grid::kColumns) + 0.5) /
                                        Grid::kCellsPerDegree,
                      Grid::kSouth + (static_cast<double>(start / Grid::kColumns) + 0.5) /
                                         Grid::kCellsPerDegree};
    LocationIndices found;
    try {
      SearchLocationIndicesOver(data, &index, centre, found, SearchMode::EdgesOnly);
    } catch (const Error&) {
      continue;  // the area's points are searched one by one, and fail where they fail
    }
    const AreaLabel label = LabelOf(found);
    auto [at, added] = numbers.try_emplace(KeyOf(label), 0);
    if (added) {
      if (labels.size() >= 0xFFFF) return LookupGrid{};
      labels.push_back(label);
      at->second = static_cast<std::uint16_t>(labels.size());
    }
    for (const std::size_t cell : area) cells[cell] = at->second;
  }
  grid.cells = std::move(cells);
  grid.labels = std::move(labels);
  grid.usable = true;
  return grid;
}

}  // namespace lantrel::detail
