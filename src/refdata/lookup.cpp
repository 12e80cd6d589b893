// The location search: the home state and its counties, then the neighbouring states, then
// the quadrangles. A point on a border belongs to every area that carries it (up to three
// states, three counties, four quadrangles); a point strictly inside an area ends the search
// for that kind of area.
#include "refdata/lookup.hpp"

#include <cmath>

#include "core/raise.hpp"
#include "refdata/edge_index.hpp"
#include "refdata/point_in_region.hpp"

namespace lantrel::detail {

namespace {

constexpr std::int32_t kMaxStates = 3;
constexpr std::int32_t kMaxCounties = 3;
constexpr std::int32_t kMaxQuads = 4;

class Search {
 public:
  Search(const ReferenceData& data, const EdgeIndex* index) : data_(data), index_(index) {}

  bool InState(std::size_t i, Pair p, bool& onBoundary) const {
    return InRegion(data_.states[i], index_ ? &index_->states[i] : nullptr, p, onBoundary);
  }
  bool InCounty(std::size_t i, Pair p, bool& onBoundary) const {
    return InRegion(data_.counties[i], index_ ? &index_->counties[i] : nullptr, p, onBoundary);
  }

  /// Calls visit(number, record) for the quadrangles that may hold p, in file order, until it
  /// returns false.
  template <typename Visit>
  void ForQuadCandidates(Pair p, Visit visit) const {
    if (index_ && index_->quads.usable) {
      for (const std::int32_t i : index_->quads.Cell(p)) {
        if (!visit(i, data_.quads[static_cast<std::size_t>(i)])) return;
      }
    } else {
      for (std::size_t i = 0; i < data_.quads.size(); ++i) {
        if (!visit(static_cast<std::int32_t>(i), data_.quads[i])) return;
      }
    }
  }

 private:
  bool InRegion(const RegionRecord& r, const RegionEdgeIndex* index, Pair p,
                bool& onBoundary) const {
    if (index && index->usable) return PointInRegionIndexed(*index, r, p, onBoundary);
    return PointInRegionScan(data_, r, p, onBoundary);
  }

  const ReferenceData& data_;
  const EdgeIndex* index_;
};

void Append(std::int32_t& count, std::int32_t* slots, std::size_t record) {
  slots[count++] = static_cast<std::int32_t>(record);
}

// States and home-state counties.
void SearchAreas(const ReferenceData& data, const Search& search, Pair p, LocationIndices& out) {
  if (data.states.size() < 2) RaiseRuntime(errc::SubscriptOutOfRange);
  bool onBoundary = false;
  bool strictlyInHome = false;
  // Home state: record 0 (main body), else record 1; its counties only when it holds p.
  for (std::size_t home = 0; home < 2; ++home) {
    if (!search.InState(home, p, onBoundary)) continue;
    Append(out.stateCount, out.state.data(), home);
    strictlyInHome = !onBoundary;
    for (std::size_t c = 0; c < data.counties.size(); ++c) {
      if (!search.InCounty(c, p, onBoundary)) continue;
      Append(out.countyCount, out.county.data(), c);
      if (!onBoundary || out.countyCount == kMaxCounties) break;
    }
    break;
  }
  // Neighbouring states, unless p lies strictly inside the home state.
  if (!strictlyInHome) {
    for (std::size_t s = 2; s < data.states.size(); ++s) {
      if (!search.InState(s, p, onBoundary)) continue;
      Append(out.stateCount, out.state.data(), s);
      if (!onBoundary || out.stateCount == kMaxStates) break;
    }
  }
}

// Quadrangles, in file order.
void SearchQuads(const Search& search, Pair p, LocationIndices& out) {
  search.ForQuadCandidates(p, [&](std::int32_t number, const QuadRecord& q) {
    switch (ClassifyQuad(q, p)) {
      case QuadMatch::Interior:
        out.quad[static_cast<std::size_t>(out.quadCount++)] = number;
        return false;
      case QuadMatch::Boundary:
        out.quad[static_cast<std::size_t>(out.quadCount++)] = number;
        return out.quadCount < kMaxQuads;
      case QuadMatch::None:
        return true;
    }
    return true;
  });
}

}  // namespace

void SearchLocationIndices(const ReferenceData& data, Pair p, LocationIndices& out,
                           SearchMode mode) {
  SearchLocationIndicesOver(data, mode == SearchMode::Scan ? nullptr : data.Index(), p, out, mode);
}

void SearchLocationIndicesOver(const ReferenceData& data, const EdgeIndex* given, Pair p,
                               LocationIndices& out, SearchMode mode) {
  // The index answers for finite points; anything else is walked (and fails where it fails).
  const EdgeIndex* index = mode == SearchMode::Scan ? nullptr : given;
  const bool indexFits = index != nullptr && index->states.size() == data.states.size() &&
                         index->counties.size() == data.counties.size() &&
                         std::isfinite(p.x) && std::isfinite(p.y);
  const Search search(data, indexFits ? index : nullptr);
  const AreaLabel* label =
      indexFits && mode == SearchMode::Indexed ? index->grid.Label(p) : nullptr;
  if (label != nullptr) {
    // The cell's states and counties hold every point of it.
    out.stateCount = label->stateCount;
    out.countyCount = label->countyCount;
    out.state = label->state;
    out.county = label->county;
  } else {
    SearchAreas(data, search, p, out);
  }
  SearchQuads(search, p, out);
}

void FillResults(const ReferenceData& data, const LocationIndices& found, LocationResults& out) {
  for (std::int32_t i = 0; i < found.stateCount; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    const RegionRecord& r = data.states[static_cast<std::size_t>(found.state[slot])];
    out.stateFIPS[slot] = r.FIPS;
    out.stateName[slot] = r.Name;
  }
  for (std::int32_t i = 0; i < found.countyCount; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    const RegionRecord& r = data.counties[static_cast<std::size_t>(found.county[slot])];
    out.countyFIPS[slot] = r.FIPS;
    out.countyName[slot] = r.Name;
  }
  for (std::int32_t i = 0; i < found.quadCount; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    const QuadRecord& q = data.quads[static_cast<std::size_t>(found.quad[slot])];
    out.quadName[slot] = q.Name;
    out.quadState[slot] = q.State;
    out.quadTile[slot] = q.Tile;
  }
  out.stateCount = found.stateCount;
  out.countyCount = found.countyCount;
  out.quadCount = found.quadCount;
}

void SearchLocationsWith(const ReferenceData& data, Pair p, LocationResults& out,
                         SearchMode mode) {
  LocationIndices found;
  try {
    SearchLocationIndices(data, p, found, mode);
  } catch (...) {
    FillResults(data, found, out);
    throw;
  }
  FillResults(data, found, out);
}

void SearchLocations(const ReferenceData& data, Pair p, LocationResults& out) {
  SearchLocationsWith(data, p, out, SearchMode::Indexed);
}

void SearchLocationsScan(const ReferenceData& data, Pair p, LocationResults& out) {
  SearchLocationsWith(data, p, out, SearchMode::Scan);
}

}  // namespace lantrel::detail
