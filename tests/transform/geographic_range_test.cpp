// A plane pair whose inverse projection lands outside latitude +-90 or longitude +-180 is an
// error (5) wherever that inverse runs: Convert, the transformer and the grid factors.
#include <gtest/gtest.h>

#include <cstdint>

#include "transform/reference_position.hpp"

namespace {

using lantrel::CoordinateSystem;
using lantrel::Pair;
using namespace lantrel::testing;

TEST(GeographicRange, ResultsBeyondThePolesOrTheAntimeridianAreErrors) {
  const struct {
    const char* what;
    CoordinateSystem system;
    Pair in;
    std::int32_t status;
  } cases[] = {
      {"UTM northing just past the pole", {3, 0, 2}, {500000, 10002000}, 5},
      {"UTM northing far past it", {3, 0, 2}, {500000, 1e15}, 5},
      {"UTM easting far out", {3, 0, 2}, {1e15, 4150000}, 5},
      {"UTM near the pole but on the globe", {3, 0, 2}, {500000, 9990000}, 0},
      {"UTM 17 NAD 27, huge easting", {4, 1, 3}, {1e9, 4e6}, 5},
      {"Lambert longitude past 180 beside the apex", {1, 0, 2}, {0, 8144306}, 5},
      {"Lambert in the served area", {1, 0, 1}, {1600000, 200000}, 0},
      {"Indiana East in miles, huge", {11, 0, 4}, {1e6, 100}, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const PointOutcome position = ReferenceConvert(c.system, {5, 0, 0}, true, c.in.x, c.in.y);
    EXPECT_EQ(position.status, c.status);
    if (position.status == 0) {
      EXPECT_LE(std::fabs(position.y), 90.0);
      EXPECT_LE(std::fabs(position.x), 180.0);
    }
    double ox, oy;
    std::int32_t s = -7;
    lantrel::Transformer(c.system, {1, 0, 1}).Transform(1, &c.in.x, &c.in.y, &ox, &oy, &s);
    EXPECT_EQ(s, c.status);
    double k, gamma;
    lantrel::GridFactors(c.system, true, 1, &c.in.x, &c.in.y, &k, &gamma, &s);
    EXPECT_EQ(s, ReferenceFactors(c.system, c.in.x, c.in.y).status);
    EXPECT_EQ(s, c.status);
  }
}

}  // namespace
