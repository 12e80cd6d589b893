#include "refdata/edge_index.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lantrel::detail {

namespace {

// Rectangles are widened by this much before they are filed into grid cells; a point within
// the 1e-12 tolerance of an edge is therefore always in a cell that lists the rectangle.
constexpr double kQuadMargin = 1e-9;
// Most entries per edge (per rectangle) before the band (cell) count is halved.
constexpr std::size_t kEntriesPerItem = 4;
constexpr std::int32_t kMaxSlots = 1 << 16;

bool Finite(Pair p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// The edges of a record whose vertex positions and numbers are all in range and whose
// coordinates are finite; false otherwise.
bool CollectEdges(const ReferenceData& data, const RegionRecord& r, std::vector<Edge>& edges) {
  edges.clear();
  const auto positions = static_cast<std::int64_t>(data.vertexIndexList.size());
  const auto vertices = static_cast<std::int64_t>(data.vertexList.size());
  if (r.FirstVertex < 0 || r.FirstVertex > r.LastVertex || r.LastVertex >= positions) {
    return false;
  }
  if (!(std::isfinite(r.XMin) && std::isfinite(r.XMax) && std::isfinite(r.YMin) &&
        std::isfinite(r.YMax))) {
    return false;
  }
  Pair previous{};
  for (std::int64_t k = r.FirstVertex; k <= r.LastVertex; ++k) {
    const std::int32_t number = data.vertexIndexList[static_cast<std::size_t>(k)];
    if (number < 0 || number >= vertices) return false;
    const Pair v = data.vertexList[static_cast<std::size_t>(number)];
    if (!Finite(v)) return false;
    if (k > r.FirstVertex) edges.push_back({previous, v});
    previous = v;
  }
  return true;
}

// Files entries [lo(i), hi(i)] of `items` items into `slots` slots, stable in item order.
template <typename Range, typename Emit>
std::vector<std::uint32_t> Distribute(std::size_t items, std::size_t slots, Range range,
                                      Emit emit) {
  std::vector<std::uint32_t> start(slots + 1, 0);
  for (std::size_t i = 0; i < items; ++i) {
    const auto [lo, hi] = range(i);
    for (auto s = lo; s <= hi; ++s) ++start[static_cast<std::size_t>(s) + 1];
  }
  for (std::size_t s = 0; s < slots; ++s) start[s + 1] += start[s];
  std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
  for (std::size_t i = 0; i < items; ++i) {
    const auto [lo, hi] = range(i);
    for (auto s = lo; s <= hi; ++s) emit(next[static_cast<std::size_t>(s)]++, i);
  }
  return start;
}

RegionEdgeIndex IndexRegion(const std::vector<Edge>& edges) {
  RegionEdgeIndex index;
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  for (const Edge& e : edges) {
    low = std::min({low, e.a.y, e.b.y});
    high = std::max({high, e.a.y, e.b.y});
  }
  std::int32_t slots = static_cast<std::int32_t>(
      std::clamp<std::size_t>(edges.size() / 2, 1, static_cast<std::size_t>(kMaxSlots)));
  for (;;) {
    index.bands = {low, 1.0, 1};
    const double width = (high - low) / slots;
    if (slots > 1 && std::isnormal(width)) index.bands = {low, width, slots};
    std::size_t entries = 0;
    for (const Edge& e : edges) {
      entries += static_cast<std::size_t>(index.bands.Of(std::max(e.a.y, e.b.y)) -
                                          index.bands.Of(std::min(e.a.y, e.b.y)) + 1);
    }
    if (index.bands.slots == 1 || entries <= kEntriesPerItem * edges.size() + 64) {
      if (entries > std::numeric_limits<std::uint32_t>::max()) return RegionEdgeIndex{};
      index.edges.resize(entries);
      break;
    }
    slots /= 2;
  }
  const auto range = [&](std::size_t i) {
    const Edge& e = edges[i];
    return std::pair{index.bands.Of(std::min(e.a.y, e.b.y)),
                     index.bands.Of(std::max(e.a.y, e.b.y))};
  };
  index.bandStart = Distribute(edges.size(), static_cast<std::size_t>(index.bands.slots), range,
                               [&](std::uint32_t at, std::size_t i) { index.edges[at] = edges[i]; });
  index.usable = true;
  return index;
}

std::vector<RegionEdgeIndex> IndexRegions(const ReferenceData& data,
                                          const std::vector<RegionRecord>& records,
                                          std::size_t& budget) {
  std::vector<RegionEdgeIndex> result(records.size());
  std::vector<Edge> edges;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const RegionRecord& r = records[i];
    if (r.LastVertex < r.FirstVertex) continue;
    const auto length = static_cast<std::size_t>(std::int64_t{r.LastVertex} - r.FirstVertex);
    // Records may share or overlap their outlines; beyond the budget they are walked instead.
    if (length > budget) continue;
    if (!CollectEdges(data, r, edges)) continue;
    budget -= length;
    result[i] = IndexRegion(edges);
  }
  return result;
}

double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

QuadGrid IndexQuads(const std::vector<QuadRecord>& quads) {
  QuadGrid grid;
  if (quads.empty() || quads.size() > static_cast<std::size_t>(INT32_MAX)) return grid;
  std::vector<double> lo_x, hi_x, lo_y, hi_y, widths, heights;
  for (const QuadRecord& q : quads) {
    if (!(std::isfinite(q.XMin) && std::isfinite(q.XMax) && std::isfinite(q.YMin) &&
          std::isfinite(q.YMax))) {
      return grid;
    }
    lo_x.push_back(std::min(q.XMin, q.XMax) - kQuadMargin);
    hi_x.push_back(std::max(q.XMin, q.XMax) + kQuadMargin);
    lo_y.push_back(std::min(q.YMin, q.YMax) - kQuadMargin);
    hi_y.push_back(std::max(q.YMin, q.YMax) + kQuadMargin);
    widths.push_back(hi_x.back() - lo_x.back());
    heights.push_back(hi_y.back() - lo_y.back());
  }
  const double x0 = *std::min_element(lo_x.begin(), lo_x.end());
  const double x1 = *std::max_element(hi_x.begin(), hi_x.end());
  const double y0 = *std::min_element(lo_y.begin(), lo_y.end());
  const double y1 = *std::max_element(hi_y.begin(), hi_y.end());
  const auto slotsFor = [](double extent, double cell) {
    const double n = std::ceil(extent / cell);
    return n >= 1.0 ? static_cast<std::int32_t>(std::min(n, 1024.0)) : 1;
  };
  std::int32_t nx = slotsFor(x1 - x0, Median(widths));
  std::int32_t ny = slotsFor(y1 - y0, Median(heights));
  const auto scale = [](double origin, double extent, std::int32_t n) {
    const double width = extent / n;
    return (n > 1 && std::isnormal(width)) ? SlotScale{origin, width, n} : SlotScale{origin, 1.0, 1};
  };
  for (;;) {
    grid.columns = scale(x0, x1 - x0, nx);
    grid.rows = scale(y0, y1 - y0, ny);
    const auto cells = static_cast<std::size_t>(grid.columns.slots) *
                       static_cast<std::size_t>(grid.rows.slots);
    std::size_t entries = 0;
    for (std::size_t i = 0; i < quads.size(); ++i) {
      entries += static_cast<std::size_t>(grid.columns.Of(hi_x[i]) - grid.columns.Of(lo_x[i]) + 1) *
                 static_cast<std::size_t>(grid.rows.Of(hi_y[i]) - grid.rows.Of(lo_y[i]) + 1);
    }
    if (cells == 1 ||
        (entries <= kEntriesPerItem * quads.size() + 64 && cells <= 4 * quads.size() + 64)) {
      if (entries > std::numeric_limits<std::uint32_t>::max()) return QuadGrid{};
      grid.quads.resize(entries);
      break;
    }
    nx = std::max(1, nx / 2);
    ny = std::max(1, ny / 2);
  }
  // A rectangle covering cells (c0..c1) x (r0..r1) is filed row by row; Distribute works on one
  // dimension, so the cells are numbered row-major and each rectangle emits its cells in turn.
  const auto nxs = static_cast<std::size_t>(grid.columns.slots);
  const std::size_t cells = nxs * static_cast<std::size_t>(grid.rows.slots);
  grid.cellStart.assign(cells + 1, 0);
  const auto forCells = [&](std::size_t i, auto&& visit) {
    for (auto r = grid.rows.Of(lo_y[i]); r <= grid.rows.Of(hi_y[i]); ++r) {
      for (auto c = grid.columns.Of(lo_x[i]); c <= grid.columns.Of(hi_x[i]); ++c) {
        visit(static_cast<std::size_t>(r) * nxs + static_cast<std::size_t>(c));
      }
    }
  };
  for (std::size_t i = 0; i < quads.size(); ++i) {
    forCells(i, [&](std::size_t cell) { ++grid.cellStart[cell + 1]; });
  }
  for (std::size_t c = 0; c < cells; ++c) grid.cellStart[c + 1] += grid.cellStart[c];
  std::vector<std::uint32_t> next(grid.cellStart.begin(), grid.cellStart.end() - 1);
  for (std::size_t i = 0; i < quads.size(); ++i) {
    forCells(i, [&](std::size_t cell) { grid.quads[next[cell]++] = static_cast<std::int32_t>(i); });
  }
  grid.usable = true;
  return grid;
}

}  // namespace

std::shared_ptr<EdgeIndex> BuildEdgeIndex(const ReferenceData& data) {
  auto index = std::make_shared<EdgeIndex>();
  // Total outline length indexed: a few times the vertex-number list, which well-formed files
  // use once per record.
  std::size_t budget = 4 * data.vertexIndexList.size() + 4096;
  index->states = IndexRegions(data, data.states, budget);
  index->counties = IndexRegions(data, data.counties, budget);
  index->quads = IndexQuads(data.quads);
  return index;
}

}  // namespace lantrel::detail
