// Even-odd test of a point against one outline record, and the rectangle test of a quadrangle.
//
// The ray runs from the point towards larger x (westward). An edge carries the point when the
// point lies within 1e-12 degrees of it; the test then reports the point as on the outline.
// Each edge is judged on its own, so the answer does not depend on the order of the edges —
// which lets an edge index visit only the edges that reach the point's latitude.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "lantrel/pair.hpp"
#include "core/arithmetic_check.hpp"
#include "refdata/reference_data.hpp"

namespace lantrel::detail {

struct RegionEdgeIndex;  // refdata/edge_index.hpp

inline constexpr double kTolerance = 1e-12;

inline bool AlmostEqual(double a, double b) { return std::fabs(b - a) < kTolerance; }

enum class EdgeVerdict { Miss, Crossing, OnOutline };

/// How far west of x the sloping edge from a to b crosses latitude y.
inline double EdgeDistance(Pair a, Pair b, double x, double y) {
  const double xi = (y - a.y) * (b.x - a.x) / (b.y - a.y) + a.x;
  return xi - x;
}

/// Raises the arithmetic error of an edge computation whose result is not finite. The
/// computation is repeated inside an arithmetic scope, which raises exactly what a scope around
/// the first computation would have raised; finite results, the only ones met with sound data,
/// so cost no floating-point status access at all.
[[noreturn]] void RaiseEdgeFault(Pair a, Pair b, double x, double y);

/// What the edge from a to b does to the ray from (x, y).
///
/// Edges whose latitude range (closed at both ends) holds y are examined, so a point on a
/// vertex is found on both edges that meet there. A crossing is counted only below an edge's
/// upper end: where the ray passes exactly through a vertex, the edge that continues upward
/// counts and the one ending there does not, and an exactly level edge adds nothing. A ray
/// through a vertex where the outline passes on therefore counts once, and through a tip
/// twice or not at all, so the parity stays right at every latitude.
inline EdgeVerdict ExamineEdge(Pair a, Pair b, double x, double y) {
  if (x > std::max(a.x, b.x) || y < std::min(a.y, b.y) || y > std::max(a.y, b.y)) {
    return EdgeVerdict::Miss;
  }
  const bool belowUpperEnd = y < std::max(a.y, b.y);
  if (!AlmostEqual(a.y, b.y)) {
    // Sloping edge: where it meets the point's latitude, and how far west of the point.
    const double d = EdgeDistance(a, b, x, y);
    if (!std::isfinite(d)) RaiseEdgeFault(a, b, x, y);
    if (d >= -kTolerance && d <= kTolerance) return EdgeVerdict::OnOutline;
    return d > 0.0 && belowUpperEnd ? EdgeVerdict::Crossing : EdgeVerdict::Miss;
  }
  if (a.x != b.x) {
    // Level edge: the point is on it from end to end.
    const double l = std::min(a.x, b.x);
    const double r = std::max(a.x, b.x);
    if (x < l) return belowUpperEnd ? EdgeVerdict::Crossing : EdgeVerdict::Miss;
    if (x <= r) return EdgeVerdict::OnOutline;
    return EdgeVerdict::Miss;
  }
  // Single-point edge (a repeated vertex, or a rise shorter than the tolerance).
  if (AlmostEqual(x, a.x)) return EdgeVerdict::OnOutline;
  return x < a.x && belowUpperEnd ? EdgeVerdict::Crossing : EdgeVerdict::Miss;
}

/// True when p lies outside the record's box (four comparisons, box edges included).
inline bool OutsideBox(const RegionRecord& r, Pair p) {
  return p.x < r.XMin || p.x > r.XMax || p.y < r.YMin || p.y > r.YMax;
}

/// Walks the outline of `r` edge by edge. Raises error 9 at a vertex position or number out of
/// range, and the arithmetic error at a faulty edge computation.
bool PointInRegionScan(const ReferenceData& data, const RegionRecord& r, Pair p,
                       bool& onBoundary);

/// The same answer from the edges of the index band that holds p.y; `index` must have been
/// built from `r` and be usable.
bool PointInRegionIndexed(const RegionEdgeIndex& index, const RegionRecord& r, Pair p,
                          bool& onBoundary);

enum class QuadMatch { None, Boundary, Interior };

/// Classifies p against a quadrangle's rectangle: on an edge (within 1e-12), strictly inside,
/// or neither.
inline QuadMatch ClassifyQuad(const QuadRecord& q, Pair p) {
  const bool xOnEdge = AlmostEqual(p.x, q.XMin) || AlmostEqual(p.x, q.XMax);
  const bool yOnEdge = AlmostEqual(p.y, q.YMin) || AlmostEqual(p.y, q.YMax);
  const bool xInside = q.XMin < p.x && p.x < q.XMax;
  const bool yInside = q.YMin < p.y && p.y < q.YMax;
  if (xOnEdge && yOnEdge) return QuadMatch::Boundary;
  if (xOnEdge) return yInside ? QuadMatch::Boundary : QuadMatch::None;
  if (yOnEdge) return xInside ? QuadMatch::Boundary : QuadMatch::None;
  return xInside && yInside ? QuadMatch::Interior : QuadMatch::None;
}

}  // namespace lantrel::detail
