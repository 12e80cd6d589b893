// Every point of an array conversion must equal, bit for bit and status for status, what a new
// position gives after the lets and Convert: over every zone record, unit and datum as source
// and target, at the window's edges, at random points and for hostile inputs.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "transform/reference_position.hpp"

namespace {

using lantrel::CoordinateSystem;
using lantrel::Pair;
using lantrel::Transformer;
using namespace lantrel::testing;

// Inputs in system `s`: the geographic points expressed in it, then the hostile values.
std::vector<Pair> InputsFor(const CoordinateSystem& s, std::size_t randomCount) {
  std::vector<Pair> in;
  for (const Pair& g : GeographicPoints(randomCount)) in.push_back(InSystem(s, g));
  for (const Pair& h : HostileInputs()) in.push_back(h);
  return in;
}

// Runs `t` over `in` and compares each point with the reference; returns the mismatches.
int CompareWithPositions(const Transformer& t, const std::vector<Pair>& in) {
  const std::size_t n = in.size();
  std::vector<double> x(n), y(n), ox(n), oy(n);
  std::vector<std::int32_t> status(n, -7);
  for (std::size_t i = 0; i < n; ++i) {
    x[i] = in[i].x;
    y[i] = in[i].y;
  }
  t.Transform(n, x.data(), y.data(), ox.data(), oy.data(), status.data());
  int mismatches = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const PointOutcome want = ReferenceConvert(t.From(), t.To(), t.WestPositive(), x[i], y[i]);
    const PointOutcome got{status[i], ox[i], oy[i]};
    if (!SameOutcome(got, want)) {
      if (++mismatches <= 5) {
        ADD_FAILURE() << Describe(t.From()) << " -> " << Describe(t.To()) << " point " << i
                      << " (" << x[i] << ", " << y[i] << "): got " << got.status << " "
                      << got.x << " " << got.y << ", position gives " << want.status << " "
                      << want.x << " " << want.y;
      }
    }
  }
  return mismatches;
}

TEST(TransformerIdentity, EverySourceSystemToEveryTargetRecordMatchesThePosition) {
  // Every source system (record x unit) to every target record; the target's unit cycles
  // with the source, so each target unit is reached from every source family and datum.
  const auto systems = AllSystems();
  int mismatches = 0;
  std::size_t round = 0;
  for (const auto& from : systems) {
    const auto in = InputsFor(from, 2);
    ++round;
    for (std::int32_t p = 0; p <= 15; ++p) {
      for (std::int32_t d = 0; d <= 1; ++d) {
        if (p == 6 || (p == 0 && d == 1)) continue;
        const std::int32_t u = p == 5 ? 0 : static_cast<std::int32_t>(1 + (round + p) % 5);
        mismatches += CompareWithPositions(Transformer(from, {p, d, u}, true), in);
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(TransformerIdentity, RandomPointsThroughTheCommonRoutes) {
  // Both sign conventions, every datum change, many points per route.
  const struct {
    CoordinateSystem from, to;
  } routes[] = {
      {{5, 0, 0}, {1, 0, 1}},  {{1, 0, 1}, {5, 0, 0}},  {{5, 0, 0}, {3, 0, 2}},
      {{1, 1, 1}, {3, 0, 2}},  {{5, 0, 0}, {5, 1, 0}},  {{5, 1, 0}, {5, 0, 0}},
      {{14, 0, 4}, {10, 1, 3}}, {{9, 1, 5}, {15, 1, 1}}, {{0, 0, 3}, {2, 1, 2}},
  };
  for (const auto& r : routes) {
    const auto in = InputsFor(r.from, 400);
    for (const bool westPositive : {true, false}) {
      EXPECT_EQ(CompareWithPositions(Transformer(r.from, r.to, westPositive), in), 0);
    }
  }
}

TEST(TransformerIdentity, AFailingPointInAnyPlaceLeavesItsNeighboursExact) {
  // Each hostile input at each lane of a block and in each block of a superblock of 64 among
  // good points (two superblocks, a block and a tail of 3), so it shares a block and a
  // superblock with points that convert: those keep their bits and status 0. Without a datum
  // change, a pole reaches the Lambert kernel: it raises a flag with a finite result, which
  // only the floating-point status gives away.
  const struct {
    CoordinateSystem from, to;
  } routes[] = {{{3, 1, 2}, {1, 0, 1}}, {{5, 0, 0}, {1, 0, 1}}};
  const std::size_t offsets[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 21, 30, 46, 57, 63, 64, 100, 127,
                                 128, 135, 136, 138};
  for (const auto& r : routes) {
    const Transformer t(r.from, r.to, true);
    std::vector<Pair> good;
    for (const Pair& g : GeographicPoints(139, 5)) good.push_back(InSystem(r.from, g));
    for (const Pair& h : HostileInputs()) {
      for (const std::size_t at : offsets) {
        std::vector<Pair> in(good.begin(), good.begin() + 139);
        in[at] = h;
        EXPECT_EQ(CompareWithPositions(t, in), 0) << Describe(r.from) << " " << at;
      }
    }
  }
}

TEST(TransformerIdentity, StatusesAndNaNOutputs) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* what;
    CoordinateSystem from, to;
    Pair in;
    std::int32_t status;
  } cases[] = {
      {"inside the window", {5, 1, 0}, {5, 0, 0}, {84.5, 37.5}, 0},
      {"datum change outside the window", {5, 1, 0}, {5, 0, 0}, {80.0, 37.5}, 4},
      {"window corner is inside", {5, 0, 0}, {5, 1, 0}, {81.5, 36.0}, 0},
      {"just past the corner", {5, 0, 0}, {5, 1, 0}, {81.49999, 36.0}, 4},
      {"NaN with a datum change is no point", {5, 0, 0}, {5, 1, 0}, {nan, 37.0}, 5},
      {"NaN without one is an invalid operation", {5, 0, 0}, {5, 0, 0}, {nan, 37.0}, 5},
      {"pole on a Lambert zone", {5, 0, 0}, {1, 0, 1}, {85.0, 90.0}, 11},
      {"latitude past the pole from UTM", {3, 0, 2}, {5, 0, 0}, {500000, 10002000}, 5},
      {"huge UTM northing", {3, 0, 2}, {5, 0, 0}, {500000, 1e15}, 5},
      {"huge UTM easting", {3, 0, 2}, {5, 0, 0}, {1e15, 4150000}, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Transformer t(c.from, c.to, true);
    double ox = 1.0, oy = 1.0;
    std::int32_t status = -7;
    t.Transform(1, &c.in.x, &c.in.y, &ox, &oy, &status);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(std::isnan(ox), status != 0);
    EXPECT_EQ(std::isnan(oy), status != 0);
    EXPECT_TRUE(SameOutcome({status, ox, oy},
                            ReferenceConvert(c.from, c.to, true, c.in.x, c.in.y)));
  }
}

TEST(TransformerIdentity, InPlaceEqualsSeparateOutputs) {
  const Transformer t({1, 1, 1}, {3, 0, 2}, true);
  const auto in = InputsFor({1, 1, 1}, 50);
  std::vector<double> x, y;
  for (const Pair& p : in) {
    x.push_back(p.x);
    y.push_back(p.y);
  }
  std::vector<double> ox(x.size()), oy(x.size());
  std::vector<std::int32_t> s1(x.size()), s2(x.size());
  t.Transform(x.size(), x.data(), y.data(), ox.data(), oy.data(), s1.data());
  t.Transform(x.size(), x.data(), y.data(), x.data(), y.data(), s2.data());
  for (std::size_t i = 0; i < x.size(); ++i) {
    EXPECT_TRUE(SameOutcome({s1[i], ox[i], oy[i]}, {s2[i], x[i], y[i]})) << i;
  }
}

TEST(TransformerIdentity, WestPositiveSignsOnlyGeographicResults) {
  const double x = -84.5, y = 37.5;
  double ox = 0, oy = 0;
  std::int32_t s = -1;
  Transformer({5, 0, 0}, {5, 0, 0}, false).Transform(1, &x, &y, &ox, &oy, &s);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(ox, -84.5);  // read as the magnitude 84.5, shown west-negative
  double px = 0;
  Transformer({5, 0, 0}, {1, 0, 1}, false).Transform(1, &x, &y, &px, &oy, &s);
  EXPECT_GT(px, 0.0);  // eastings keep their sign
}

}  // namespace
