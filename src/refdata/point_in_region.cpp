#include "refdata/point_in_region.hpp"

#include "core/raise.hpp"
#include "refdata/edge_index.hpp"

namespace lantrel::detail {

namespace {

[[gnu::always_inline]] inline Pair VertexAt(const ReferenceData& data, std::int64_t position) {
  CheckIndex(position, static_cast<std::int64_t>(data.vertexIndexList.size()) - 1);
  const std::int32_t number = data.vertexIndexList[static_cast<std::size_t>(position)];
  CheckIndex(number, static_cast<std::int64_t>(data.vertexList.size()) - 1);
  return data.vertexList[static_cast<std::size_t>(number)];
}

}  // namespace

void RaiseEdgeFault(Pair a, Pair b, double x, double y) {
  const ArithmeticScope scope;
  scope.Check(EdgeDistance(a, b, x, y));
  RaiseRuntime(errc::InvalidArgument);  // not reached: the result is not finite
}

bool PointInRegionScan(const ReferenceData& data, const RegionRecord& r, Pair p,
                       bool& onBoundary) {
  onBoundary = false;
  if (OutsideBox(r, p)) return false;
  bool odd = false;
  Pair b = VertexAt(data, r.FirstVertex);
  for (std::int64_t k = std::int64_t{r.FirstVertex} + 1; k <= r.LastVertex; ++k) {
    const Pair a = b;
    b = VertexAt(data, k);
    switch (ExamineEdge(a, b, p.x, p.y)) {
      case EdgeVerdict::OnOutline:
        onBoundary = true;
        return true;
      case EdgeVerdict::Crossing:
        odd = !odd;
        break;
      case EdgeVerdict::Miss:
        break;
    }
  }
  return odd;
}

bool PointInRegionIndexed(const RegionEdgeIndex& index, const RegionRecord& r, Pair p,
                          bool& onBoundary) {
  onBoundary = false;
  if (OutsideBox(r, p)) return false;
  bool odd = false;
  for (const Edge& e : index.Band(p.y)) {
    switch (ExamineEdge(e.a, e.b, p.x, p.y)) {
      case EdgeVerdict::OnOutline:
        onBoundary = true;
        return true;
      case EdgeVerdict::Crossing:
        odd = !odd;
        break;
      case EdgeVerdict::Miss:
        break;
    }
  }
  return odd;
}

}  // namespace lantrel::detail
