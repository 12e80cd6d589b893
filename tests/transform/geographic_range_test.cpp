// A plane pair whose inverse projection lands outside latitude +-90 or longitude +-180 is an
// error (5) wherever that inverse runs: Convert, the transformer and the grid factors.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

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
    lantrel::Transformer(c.system, {1, 0, 1}, true).Transform(1, &c.in.x, &c.in.y, &ox, &oy, &s);
    EXPECT_EQ(s, c.status);
    double k, gamma;
    lantrel::GridFactors(c.system, true, 1, &c.in.x, &c.in.y, &k, &gamma, &s);
    EXPECT_EQ(s, ReferenceFactors(c.system, c.in.x, c.in.y).status);
    EXPECT_EQ(s, c.status);
  }
}

}  // namespace

namespace {

// A geographic pair given by the caller must be a point of the globe: every face refuses one
// that is not with error 5, the position naming the value.
TEST(GeographicRange, GeographicInputBeyondTheGlobeIsAnError) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double inf = std::numeric_limits<double>::infinity();
  const struct {
    Pair in;
    const char* description;  // nullptr: converts
  } cases[] = {
      {{84.8733, 38.2009}, nullptr},
      {{180.0, 0.0}, nullptr},  // the bound itself
      {{84.8733, 100.0}, "latitude 100 is outside -90 to 90 degrees"},
      {{-120.0, 45.0}, nullptr},  // a real point (a region check refuses it, not the range)
      {{180.1, 37.0}, "longitude 180.1 is outside -180 to 180 degrees"},
      {{1e308, 37.0}, "longitude 1e+308 is outside -180 to 180 degrees"},
      {{85.0, nan}, "latitude nan is not a number"},
      {{inf, 37.0}, "longitude inf is not a finite number"},
  };
  const CoordinateSystem geo{5, 0, 0}, north{1, 0, 1};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in.x);
    const std::int32_t want = c.description ? 5 : 0;
    for (const CoordinateSystem& to : {north, geo, CoordinateSystem{5, 1, 0}}) {
      lantrel::ZrGeoPosition p;
      Label(p, geo, true, c.in.x, c.in.y);
      try {
        p.ConvertTo(static_cast<lantrel::zrGeoDatum>(to.datum),
                    static_cast<lantrel::zrGeoProjection>(to.projection),
                    static_cast<lantrel::zrGeoUnits>(to.units));
        EXPECT_EQ(c.description, nullptr);
      } catch (const lantrel::Error& e) {
        ASSERT_NE(c.description, nullptr) << e.description();
        EXPECT_EQ(e.number(), 5);
        EXPECT_EQ(e.source(), "lantrel:zrGeoPosition:Convert:");
        EXPECT_EQ(e.description(), c.description);
      }
      double ox, oy;
      std::int32_t s = -7;
      lantrel::Transformer(geo, to, true).Transform(1, &c.in.x, &c.in.y, &ox, &oy, &s);
      if (s != 4) {
        EXPECT_EQ(s, want);
      }
    }
    double k, gamma;
    std::int32_t s = -7;
    lantrel::GridFactors(geo, true, 1, &c.in.x, &c.in.y, &k, &gamma, &s);
    EXPECT_EQ(s, want);
  }
}

}  // namespace
