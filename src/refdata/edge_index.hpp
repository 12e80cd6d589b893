// Index over the outline edges and quadrangle rectangles of loaded reference data.
//
// An outline's edges are sorted into horizontal bands: an edge belongs to every band that its
// latitude range (ends included) reaches, so the band holding a point's latitude holds every
// edge the point's ray can meet, in outline order. The quadrangles are sorted into grid cells
// the same way, by their rectangles widened by far more than the 1e-12 tolerance. Band and cell
// numbers come from one monotone function used both to fill and to query, so no rounding can
// drop an edge or rectangle. The index changes no answer; it only skips edges and rectangles
// that the straightforward scan would pass over.
//
// Outlines whose vertex positions or numbers are out of range, or whose coordinates are not
// finite, are left out (marked unusable) and walked edge by edge, so faulty data still raises
// the errors the walk raises. The index's size is bounded by a small multiple of the data's.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "lantrel/pair.hpp"
#include "refdata/lookup_grid.hpp"
#include "refdata/reference_data.hpp"

namespace lantrel::detail {

struct Edge {
  Pair a, b;
};

/// Maps a coordinate to a slot 0..slots-1; monotone (never decreasing) in v.
struct SlotScale {
  double origin = 0.0;
  double width = 1.0;
  std::int32_t slots = 1;

  std::int32_t Of(double v) const noexcept {
    const double t = (v - origin) / width;
    if (!(t >= 0.0)) return 0;
    if (t >= static_cast<double>(slots)) return slots - 1;
    return static_cast<std::int32_t>(t);
  }
};

struct RegionEdgeIndex {
  bool usable = false;
  SlotScale bands;
  std::vector<std::uint32_t> bandStart;  // bands.slots + 1 offsets into edges
  std::vector<Edge> edges;

  std::span<const Edge> Band(double y) const noexcept {
    const auto band = static_cast<std::size_t>(bands.Of(y));
    return {edges.data() + bandStart[band], edges.data() + bandStart[band + 1]};
  }
};

struct QuadGrid {
  bool usable = false;
  SlotScale columns, rows;
  std::vector<std::uint32_t> cellStart;  // columns.slots * rows.slots + 1 offsets into quads
  std::vector<std::int32_t> quads;       // quadrangle numbers, ascending within a cell

  std::span<const std::int32_t> Cell(Pair p) const noexcept {
    const auto cell = static_cast<std::size_t>(rows.Of(p.y)) *
                          static_cast<std::size_t>(columns.slots) +
                      static_cast<std::size_t>(columns.Of(p.x));
    return {quads.data() + cellStart[cell], quads.data() + cellStart[cell + 1]};
  }
};

struct EdgeIndex {
  std::vector<RegionEdgeIndex> states;
  std::vector<RegionEdgeIndex> counties;
  QuadGrid quads;
  LookupGrid grid;  // filled by the reader once the edges above are in place
};

std::shared_ptr<EdgeIndex> BuildEdgeIndex(const ReferenceData& data);

}  // namespace lantrel::detail
