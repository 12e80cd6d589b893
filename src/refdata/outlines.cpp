#include "refdata/outlines.hpp"

#include "core/raise.hpp"

namespace lantrel::detail {
namespace {

template <typename Record>
OutlineBounds BoundsOf(const Record& r) {
  return OutlineBounds{r.XMin, r.XMax, r.YMin, r.YMax};
}

template <typename Table>
const auto& At(const Table& table, std::int32_t index) {
  CheckIndex(index, static_cast<std::int64_t>(table.size()) - 1);
  return table[static_cast<std::size_t>(index)];
}

const std::vector<RegionRecord>& Regions(const ReferenceData& data, OutlineTable table) {
  if (table == OutlineTable::States) return data.states;
  if (table == OutlineTable::Counties) return data.counties;
  RaiseRuntime(errc::InvalidArgument);
}

bool Meets(const OutlineBounds& a, const OutlineBounds& b) noexcept {
  return a.xMin <= b.xMax && a.xMax >= b.xMin && a.yMin <= b.yMax && a.yMax >= b.yMin;
}

}  // namespace

std::size_t OutlineCount(const ReferenceData& data, OutlineTable table) noexcept {
  switch (table) {
    case OutlineTable::States: return data.states.size();
    case OutlineTable::Counties: return data.counties.size();
    case OutlineTable::Quads: return data.quads.size();
  }
  return 0;
}

OutlineBounds RecordBounds(const ReferenceData& data, OutlineTable table, std::int32_t index) {
  if (table == OutlineTable::Quads) return BoundsOf(At(data.quads, index));
  return BoundsOf(At(Regions(data, table), index));
}

std::vector<Pair> RecordRing(const ReferenceData& data, OutlineTable table, std::int32_t index) {
  std::vector<Pair> ring;
  if (table == OutlineTable::Quads) {
    const QuadRecord& q = At(data.quads, index);
    ring = {{q.XMax, q.YMin}, {q.XMin, q.YMin}, {q.XMin, q.YMax}, {q.XMax, q.YMax}, {q.XMax, q.YMin}};
    return ring;
  }
  const RegionRecord& r = At(Regions(data, table), index);
  if (r.FirstVertex < 0 || r.LastVertex < r.FirstVertex ||
      static_cast<std::size_t>(r.LastVertex) >= data.vertexIndexList.size()) {
    RaiseRuntime(errc::SubscriptOutOfRange);
  }
  ring.reserve(static_cast<std::size_t>(r.LastVertex - r.FirstVertex) + 2);
  for (std::int32_t k = r.FirstVertex; k <= r.LastVertex; ++k) {
    const std::int32_t v = data.vertexIndexList[static_cast<std::size_t>(k)];
    CheckIndex(v, static_cast<std::int64_t>(data.vertexList.size()) - 1);
    ring.push_back(data.vertexList[static_cast<std::size_t>(v)]);
  }
  if (ring.front().x != ring.back().x || ring.front().y != ring.back().y) ring.push_back(ring.front());
  return ring;
}

std::vector<std::int32_t> RecordsMeeting(const ReferenceData& data, OutlineTable table,
                                         const OutlineBounds& box) {
  std::vector<std::int32_t> found;
  const auto n = static_cast<std::int32_t>(OutlineCount(data, table));
  for (std::int32_t i = 0; i < n; ++i) {
    if (Meets(RecordBounds(data, table, i), box)) found.push_back(i);
  }
  return found;
}

}  // namespace lantrel::detail
