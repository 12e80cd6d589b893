// One fuzz input: load it as a data file and, when it loads, search at points taken from its
// own data with and without the index. Loading may fail only with the library's Error; the two
// searches must agree in every list and every error. A file the consistency checks refuse is
// also decoded without them and searched the same way, so the search stays safe on faulty data
// that reaches it by other roads. Any other outcome aborts.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lantrel/error.hpp"
#include "refdata/edge_index.hpp"
#include "refdata/lookup.hpp"
#include "refdata/lookup_grid.hpp"
#include "refdata/reference_data.hpp"

namespace refdata_fuzz {

using lantrel::Pair;
using lantrel::LocationResults;

struct Outcome {
  LocationResults results;
  std::int32_t error = 0;
};

template <typename Search>
Outcome Run(Search search, const lantrel::detail::ReferenceData& data, Pair p) {
  Outcome o;
  try {
    search(data, p, o.results);
  } catch (const lantrel::Error& e) {
    o.error = e.number();
  }
  return o;
}

inline bool Same(const Outcome& a, const Outcome& b) {
  const auto& x = a.results;
  const auto& y = b.results;
  return a.error == b.error && x.stateCount == y.stateCount && x.stateFIPS == y.stateFIPS &&
         x.stateName == y.stateName && x.countyCount == y.countyCount &&
         x.countyFIPS == y.countyFIPS && x.countyName == y.countyName &&
         x.quadCount == y.quadCount && x.quadName == y.quadName && x.quadState == y.quadState &&
         x.quadTile == y.quadTile;
}

inline std::vector<Pair> ProbePoints(const lantrel::detail::ReferenceData& d,
                                     const std::uint8_t* bytes, std::size_t size) {
  std::vector<Pair> points = {{84.5, 37.5}, {86.0, 37.0}, {0.0, 0.0}, {1.0, 1.0}};
  for (std::size_t i = 0; i < d.vertexList.size() && i < 8; ++i) {
    const Pair v = d.vertexList[i];
    points.push_back(v);
    points.push_back({v.x + 5e-13, v.y});
    if (i + 1 < d.vertexList.size()) {
      const Pair w = d.vertexList[i + 1];
      points.push_back({(v.x + w.x) / 2, (v.y + w.y) / 2});
      points.push_back({v.x - 1.0, w.y});
    }
  }
  for (std::size_t i = 0; i < d.quads.size() && i < 4; ++i) {
    points.push_back({d.quads[i].XMin, d.quads[i].YMin});
    points.push_back({d.quads[i].XMax, (d.quads[i].YMin + d.quads[i].YMax) / 2});
  }
  if (size >= 16) {
    Pair tail;
    std::memcpy(&tail.x, bytes + size - 16, 8);
    std::memcpy(&tail.y, bytes + size - 8, 8);
    points.push_back(tail);
  }
  return points;
}

inline void CheckSearches(const lantrel::detail::ReferenceData& data, const std::uint8_t* bytes,
                          std::size_t size) {
  for (const Pair p : ProbePoints(data, bytes, size)) {
    const Outcome indexed = Run(lantrel::detail::SearchLocations, data, p);
    const Outcome scanned = Run(lantrel::detail::SearchLocationsScan, data, p);
    if (!Same(indexed, scanned)) {
      std::fprintf(stderr, "indexed and full searches differ at %.17g %.17g (errors %d, %d)\n",
                   p.x, p.y, indexed.error, scanned.error);
      std::abort();
    }
    for (int i = 0; i < indexed.results.countyCount; ++i) {
      try {
        lantrel::detail::SPZoneOfCounty(indexed.results.countyFIPS[static_cast<std::size_t>(i)]);
      } catch (const lantrel::Error&) {
      }
    }
  }
}

/// True when the input loads; its searches are checked either way when it can be decoded.
inline bool CheckInput(const std::uint8_t* bytes, std::size_t size) {
  std::shared_ptr<const lantrel::detail::ReferenceData> data;
  try {
    data = lantrel::detail::ParseReferenceData(bytes, size, "fuzz.bin");
  } catch (const lantrel::Error&) {
    std::shared_ptr<lantrel::detail::ReferenceData> decoded;
    try {
      decoded = lantrel::detail::DecodeReferenceData(bytes, size, "fuzz.bin");
    } catch (const lantrel::Error&) {
      return false;
    }
    const auto index = lantrel::detail::BuildEdgeIndex(*decoded);
    index->grid = lantrel::detail::BuildLookupGrid(*decoded, *index);
    decoded->index = index;
    CheckSearches(*decoded, bytes, size);
    return false;
  }
  CheckSearches(*data, bytes, size);
  return true;
}

}  // namespace refdata_fuzz
