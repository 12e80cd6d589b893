// The region a placed pair is judged by, the FIPS code texts, and their C entry points.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "lantrel/fips_text.hpp"
#include "lantrel/lantrel.h"
#include "lantrel/plausibility.hpp"

namespace {

using lantrel::RegionVerdict;

TEST(Plausibility, DistantPointsNameTheLikelyCause) {
  const lantrel::System geo{}, north{lantrel::zrGeoProjection::zrNorthZone,
                                    lantrel::zrGeoDatum::zrNAD83, lantrel::zrGeoUnits::zrUSFt, 0};
  const struct {
    lantrel::System from;
    double x, y, lon, lat;  // placed pair, its geographic point (west magnitude)
    bool comma;
    RegionVerdict::Kind kind;
    const char* message;
  } cases[] = {
      {geo, -84.8733, 38.2009, 84.8733, 38.2009, false, RegionVerdict::Kind::Plausible, ""},
      {geo, 38.2009, -84.8733, 38.2009, -84.8733, false, RegionVerdict::Kind::Distant,
       "the point at longitude -38.2009, latitude -84.8733 lies far outside the served region "
       "(73-98 W, 33-45 N); x and y may be swapped"},
      {geo, -120, 45, 120, 45, false, RegionVerdict::Kind::Distant,
       "the point at longitude -120, latitude 45 lies far outside the served region "
       "(73-98 W, 33-45 N)"},
      {geo, -84, 8, 84, 8, true, RegionVerdict::Kind::Distant,
       "the point at longitude -84, latitude 8 lies far outside the served region "
       "(73-98 W, 33-45 N); comma used as decimal mark?"},
      {north, 1640416.67, 328083.33, 84.5, 37.5, false, RegionVerdict::Kind::Plausible, ""},
      {north, 0, 1e9, 0, 91, false, RegionVerdict::Kind::OffGlobe,
       "the coordinates give latitude 91, longitude 0, outside -90 to 90 and -180 to 180: "
       "they lie far outside the zone"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const RegionVerdict v = lantrel::JudgeRegion(c.from, c.x, c.y, c.lon, c.lat, false, c.comma);
    EXPECT_EQ(v.kind, c.kind);
    EXPECT_EQ(v.message, c.message);
    EXPECT_EQ(lantrel::JudgeRegion(c.from, c.x, c.y, c.lon, c.lat, true, c.comma).ok(),
              c.kind != RegionVerdict::Kind::OffGlobe);
  }
}

TEST(Plausibility, CApiJudgesEachPair) {
  const double x[] = {-84.8733, 38.2009, -120.0, NAN, 1640416.67};
  const double y[] = {38.2009, -84.8733, 45.0, 38.0, 328083.33};
  int32_t status[5];
  char* message[5];
  ASSERT_EQ(lantrel_region_check(zrGeographic, zrNAD83, zrDecimalDegrees, 4, x, y, status,
                                 message), 0);
  const int32_t want[] = {0, 5, 5, 0};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(status[i], want[i]) << i;
    EXPECT_EQ(message[i] != nullptr, want[i] != 0) << i;
    lantrel_string_free(message[i]);
  }
  ASSERT_EQ(lantrel_region_check(zrNorthZone, zrNAD83, zrUSFt, 1, x + 4, y + 4, status, nullptr),
            0);
  EXPECT_EQ(status[0], 0);
  EXPECT_EQ(lantrel_region_check(zrCarter, zrNAD83, zrDecimalDegrees, 1, x, y, status, nullptr),
            5);
}

TEST(FipsText, CodesAreZeroPaddedAsCensusTablesWriteThem) {
  const struct {
    int32_t code;
    const char *state, *county, *geoid;
  } cases[] = {
      {21, "21", "021", "21021"}, {53, "53", "053", "21053"}, {5, "05", "005", "21005"},
      {239, "", "239", "21239"},  {-1, "", "", ""},           {1000, "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(lantrel::StateFipsText(c.code), c.state);
    EXPECT_EQ(lantrel::CountyFipsText(c.code), c.county);
    EXPECT_EQ(lantrel::CountyGeoid(c.code), c.geoid);
  }
}

}  // namespace
