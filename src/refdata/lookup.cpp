// The location search: the home state and its counties, then the neighbouring states, then
// the quadrangles. A point on a border belongs to every area that carries it (up to three
// states, three counties, four quadrangles); a point strictly inside an area ends the search
// for that kind of area.
#include "refdata/lookup.hpp"

#include <cmath>

#include "position/raise.hpp"
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

  template <typename Visit>
  void ForQuadCandidates(Pair p, Visit visit) const {
    if (index_ && index_->quads.usable) {
      for (const std::int32_t i : index_->quads.Cell(p)) {
        if (!visit(data_.quads[static_cast<std::size_t>(i)])) return;
      }
    } else {
      for (const QuadRecord& q : data_.quads) {
        if (!visit(q)) return;
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

void AppendState(LocationResults& out, const RegionRecord& r) {
  const auto slot = static_cast<std::size_t>(out.stateCount++);
  out.stateFIPS[slot] = r.FIPS;
  out.stateName[slot] = r.Name;
}

void AppendCounty(LocationResults& out, const RegionRecord& r) {
  const auto slot = static_cast<std::size_t>(out.countyCount++);
  out.countyFIPS[slot] = r.FIPS;
  out.countyName[slot] = r.Name;
}

void AppendQuad(LocationResults& out, const QuadRecord& q) {
  const auto slot = static_cast<std::size_t>(out.quadCount++);
  out.quadName[slot] = q.Name;
  out.quadState[slot] = q.State;
  out.quadTile[slot] = q.Tile;
}

void Run(const ReferenceData& data, const Search& search, Pair p, LocationResults& out) {
  if (data.states.size() < 2) RaiseRuntime(errc::SubscriptOutOfRange);
  bool onBoundary = false;
  bool strictlyInHome = false;
  // Home state: record 0 (main body), else record 1; its counties only when it holds p.
  for (std::size_t home = 0; home < 2; ++home) {
    if (!search.InState(home, p, onBoundary)) continue;
    AppendState(out, data.states[home]);
    strictlyInHome = !onBoundary;
    for (std::size_t c = 0; c < data.counties.size(); ++c) {
      if (!search.InCounty(c, p, onBoundary)) continue;
      AppendCounty(out, data.counties[c]);
      if (!onBoundary || out.countyCount == kMaxCounties) break;
    }
    break;
  }
  // Neighbouring states, unless p lies strictly inside the home state.
  if (!strictlyInHome) {
    for (std::size_t s = 2; s < data.states.size(); ++s) {
      if (!search.InState(s, p, onBoundary)) continue;
      AppendState(out, data.states[s]);
      if (!onBoundary || out.stateCount == kMaxStates) break;
    }
  }
  // Quadrangles, in file order.
  search.ForQuadCandidates(p, [&](const QuadRecord& q) {
    switch (ClassifyQuad(q, p)) {
      case QuadMatch::Interior:
        AppendQuad(out, q);
        return false;
      case QuadMatch::Boundary:
        AppendQuad(out, q);
        return out.quadCount < kMaxQuads;
      case QuadMatch::None:
        return true;
    }
    return true;
  });
}

}  // namespace

void SearchLocations(const ReferenceData& data, Pair p, LocationResults& out) {
  // The index answers for finite points; anything else is walked (and fails where it fails).
  const EdgeIndex* index = data.index.get();
  const bool indexFits = index != nullptr && index->states.size() == data.states.size() &&
                         index->counties.size() == data.counties.size() &&
                         std::isfinite(p.x) && std::isfinite(p.y);
  Run(data, Search(data, indexFits ? index : nullptr), p, out);
}

void SearchLocationsScan(const ReferenceData& data, Pair p, LocationResults& out) {
  Run(data, Search(data, nullptr), p, out);
}

}  // namespace lantrel::detail
