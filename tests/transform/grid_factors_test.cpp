// Batch scale factor and convergence equal the position's properties point for point.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "transform/reference_position.hpp"

namespace {

using lantrel::CoordinateSystem;
using lantrel::Pair;
using namespace lantrel::testing;

TEST(GridFactors, EverySystemMatchesThePosition) {
  int mismatches = 0;
  for (const auto& s : AllSystems()) {
    std::vector<double> x, y;
    for (const Pair& g : GeographicPoints(20)) {
      const Pair p = InSystem(s, g);
      x.push_back(p.x);
      y.push_back(p.y);
    }
    for (const Pair& h : HostileInputs()) {
      x.push_back(h.x);
      y.push_back(h.y);
    }
    const std::size_t n = x.size();
    std::vector<double> k(n), gamma(n);
    std::vector<std::int32_t> status(n, -7);
    lantrel::GridFactors(s, true, n, x.data(), y.data(), k.data(), gamma.data(), status.data());
    for (std::size_t i = 0; i < n; ++i) {
      const PointOutcome want = ReferenceFactors(s, x[i], y[i]);
      if (!SameOutcome({status[i], k[i], gamma[i]}, want) && ++mismatches <= 5) {
        ADD_FAILURE() << Describe(s) << " (" << x[i] << ", " << y[i] << "): got " << status[i]
                      << " " << k[i] << " " << gamma[i] << ", position " << want.status << " "
                      << want.x << " " << want.y;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(GridFactors, ValidatesLikeATransformerSource) {
  double x = 1, y = 1, k, g;
  std::int32_t s;
  const struct {
    CoordinateSystem system;
    std::int32_t number;
  } cases[] = {
      {{16, 0, 1}, lantrel::errc::InvalidProjection}, {{1, 2, 1}, lantrel::errc::InvalidDatum},
      {{1, 0, 6}, lantrel::errc::InvalidUnits},       {{6, 0, 0}, lantrel::errc::InvalidArgument},
      {{0, 1, 1}, lantrel::errc::InvalidArgument},    {{3, 0, 0}, lantrel::errc::InvalidArgument},
  };
  for (const auto& c : cases) {
    try {
      lantrel::GridFactors(c.system, true, 1, &x, &y, &k, &g, &s);
      ADD_FAILURE() << Describe(c.system) << " accepted";
    } catch (const lantrel::Error& e) {
      EXPECT_EQ(e.number(), c.number) << Describe(c.system);
      EXPECT_EQ(e.source(), "lantrel:GridFactors:");
    }
  }
  EXPECT_THROW(lantrel::GridFactors({1, 0, 1}, true, 1, &x, &y, nullptr, &g, &s), lantrel::Error);
  EXPECT_NO_THROW(lantrel::GridFactors({1, 0, 1}, true, 0, nullptr, nullptr, nullptr, nullptr,
                                       nullptr));
}

}  // namespace
