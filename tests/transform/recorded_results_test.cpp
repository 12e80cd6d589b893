// Results recorded from the per-point conversion before the array kernels existed: a digest of
// every result bit per zone record (all units; inverse, forward and datum-changing routes),
// which the position and the transformer must both still reproduce exactly.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "transform/reference_position.hpp"

namespace {

using lantrel::CoordinateSystem;
using lantrel::Pair;
using namespace lantrel::testing;

struct Digest {
  std::uint64_t h = 1469598103934665603ull;
  void Add(std::uint64_t v) {
    for (int i = 0; i < 8; ++i) {
      h ^= (v >> (8 * i)) & 0xff;
      h *= 1099511628211ull;
    }
  }
  void Add(const PointOutcome& o) {
    Add(static_cast<std::uint64_t>(static_cast<std::uint32_t>(o.status)));
    if (o.status == 0) {
      Add(std::bit_cast<std::uint64_t>(o.x));
      Add(std::bit_cast<std::uint64_t>(o.y));
    }
  }
};

struct Recorded {
  std::int32_t projection, datum;
  std::uint64_t digest;
};

// Routes of one record in one unit: to geographic on its datum, from geographic on its datum,
// and to geographic on the other datum.
std::vector<std::pair<CoordinateSystem, CoordinateSystem>> Routes(const CoordinateSystem& s) {
  const CoordinateSystem geo{5, s.DatumCode(), 0}, other{5, 1 - s.DatumCode(), 0};
  return {{s, geo}, {geo, s}, {s, other}};
}

// Inputs in the route's source system, as doubles in x and y.
void Inputs(const CoordinateSystem& from, std::vector<double>& x, std::vector<double>& y) {
  x.clear();
  y.clear();
  for (const Pair& g : GeographicPoints(100, 4242)) {
    // The point itself for a geographic source; its plane form (by the forward kernel) else.
    const Pair p = from.ProjectionCode() == 5 ? g : InSystem(from, g);
    x.push_back(p.x);
    y.push_back(p.y);
  }
  for (const Pair& h : HostileInputs()) {
    x.push_back(h.x);
    y.push_back(h.y);
  }
}

const Recorded kRecorded[] = {
#include "transform/recorded_digests.inc"
};

TEST(RecordedResults, PositionAndTransformerReproduceTheRecordedDigests) {
  const bool print = std::getenv("LANTREL_PRINT_DIGESTS") != nullptr;
  for (const Recorded& r : kRecorded) {
    Digest position, batch;
    for (const auto& s : AllSystems()) {
      if (s.ProjectionCode() != r.projection || s.DatumCode() != r.datum) continue;
      for (const auto& [from, to] : Routes(s)) {
        std::vector<double> x, y;
        Inputs(from, x, y);
        const std::size_t n = x.size();
        std::vector<double> ox(n), oy(n);
        std::vector<std::int32_t> st(n);
        lantrel::Transformer(from, to, true).Transform(n, x.data(), y.data(), ox.data(), oy.data(),
                                                 st.data());
        for (std::size_t i = 0; i < n; ++i) {
          position.Add(ReferenceConvert(from, to, true, x[i], y[i]));
          batch.Add(PointOutcome{st[i], ox[i], oy[i]});
        }
      }
    }
    if (print) {
      std::printf("    {%d, %d, 0x%016llxull},\n", r.projection, r.datum,
                  static_cast<unsigned long long>(position.h));
    }
    EXPECT_EQ(position.h, r.digest) << r.projection << "/" << r.datum;
    EXPECT_EQ(batch.h, r.digest) << r.projection << "/" << r.datum;
  }
}

}  // namespace
