#include <gtest/gtest.h>

#include <cmath>

#include "lantrel/lantrel.hpp"
#include "test_support.hpp"

namespace lantrel {
namespace {

using testing::ExpectError;
using testing::Geographic;
using testing::kKeep;
using P = zrGeoProjection;
using D = zrGeoDatum;
using U = zrGeoUnits;

TEST(Convert, WindowEdgesAreInside) {
  struct Case {
    double lon, lat;
    bool inside;
  } const cases[] = {
      {81.5, 36.0, true}, {90.0, 39.5, true}, {81.49999, 37.0, false},
      {90.000001, 37.0, false}, {85.0, 35.999999, false}, {85.0, 39.500001, false},
  };
  for (const auto& c : cases) {
    ZrGeoPosition p = Geographic(c.lon, c.lat, D::zrNAD27);
    EXPECT_EQ(p.InBounds(), c.inside) << c.lon << " " << c.lat;
    std::int32_t d = 0;
    EXPECT_EQ(p.Convert(&d), c.inside ? 0 : 4) << c.lon << " " << c.lat;
  }
}

TEST(Convert, Nad27ToNad83GeographicShiftsByTheGrid) {
  ZrGeoPosition p = Geographic(85.75, 37.5, D::zrNAD27);
  std::int32_t d = 0;
  EXPECT_EQ(p.Convert(&d), 0);
  EXPECT_EQ(p.Datum(), D::zrNAD83);
  EXPECT_EQ(p.Projection(), P::zrGeographic);
  EXPECT_NEAR(p.x(), 85.74996060028, 1e-11);
  EXPECT_NEAR(p.y(), 37.50005969111, 1e-11);
}

TEST(Convert, SingleZoneTargetForcesNad83AndFeet) {
  ZrGeoPosition p = Geographic(85.0, 37.5);
  std::int32_t d = 1, pr = 0, u = 0;
  EXPECT_EQ(p.Convert(&d, &pr, &u), 0);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(u, 1);
  EXPECT_EQ(p.Datum(), D::zrNAD83);
  EXPECT_EQ(p.Units(), U::zrUSFt);
  // (85.0, 37.5) is (1566313.488, 1129746.483) m on the single zone: no shift was applied.
  EXPECT_NEAR(p.x(), 1566313.488 * 3937.0 / 1200.0, 0.01);
  EXPECT_NEAR(p.y(), 1129746.483 * 3937.0 / 1200.0, 0.01);
}

TEST(Convert, TargetUnitsFollowTheTargetFamily) {
  struct Case {
    P projection;
    std::int32_t units;
    U expected;
  } const cases[] = {
      {P::zrUTM16, kKeep, U::zrMeters},
      {P::zrUTM16, 1, U::zrUSFt},
      {P::zrGeographic, 2, U::zrDecimalDegrees},
      {P::zrNorthZone, kKeep, U::zrUSFt},
      {P::moEastZone, 5, U::zrKilometers},
  };
  for (const auto& c : cases) {
    ZrGeoPosition p = Geographic(87.0, 37.0);
    std::int32_t pr = static_cast<std::int32_t>(c.projection), u = c.units;
    EXPECT_EQ(p.Convert(nullptr, &pr, &u), 0);
    EXPECT_EQ(p.Units(), c.expected);
  }
  ZrGeoPosition utm = Geographic(87.0, 37.0);
  EXPECT_EQ(utm.ConvertTo(D::zrNAD83, P::zrUTM16, U::zrMeters), 0);
  EXPECT_NEAR(utm.x(), 500000.000, 0.0005);
  EXPECT_NEAR(utm.y(), 4094872.370, 0.0005);
}

TEST(Convert, UnitsOnlyOnGeographicIsNotTheEmptyCall) {
  // A pending edit is refreshed: the geographic pair is re-read from the stored pair.
  ZrGeoPosition p = Geographic(84.5, 37.5, D::zrNAD27);
  std::int32_t u = 2;
  EXPECT_EQ(p.Convert(nullptr, nullptr, &u), 0);
  EXPECT_TRUE(p.InBounds());
}

TEST(Convert, ChainedConversionsRoundTrip) {
  ZrGeoPosition p;
  p.Projection(P::zrNorthZone);
  p.Datum(D::zrNAD27);
  p.x(2000000.0);
  p.y(200000.0);
  ASSERT_EQ(p.ConvertTo(D::zrNAD83, P::zrUTM16, U::zrMeters), 0);
  ASSERT_EQ(p.ConvertTo(D::zrNAD83, P::zrSouthZone, U::zrIntlFt), 0);
  ASSERT_EQ(p.ConvertTo(D::zrNAD27, P::zrNorthZone, U::zrUSFt), 0);
  EXPECT_NEAR(p.x(), 2000000.0, 1e-4);
  EXPECT_NEAR(p.y(), 200000.0, 1e-4);
}

TEST(Convert, CarterTargetFillsTheCarterObject) {
  ZrGeoPosition p = Geographic(85.4321, 37.1234);
  std::int32_t pr = static_cast<std::int32_t>(P::zrCarter);
  ASSERT_EQ(p.Convert(nullptr, &pr), 0);
  auto c = p.Carter();
  EXPECT_EQ(c->Letter(), "H");
  EXPECT_EQ(c->Number(), 49);
  EXPECT_EQ(c->Section(), 11);
  EXPECT_NEAR(c->FSL(), 2451.65, 0.01);
  EXPECT_NEAR(c->FWL(), 359.58, 0.01);
  // Editing the Carter object moves the point; the next Convert reads the new location.
  c->FSL(0.0);
  std::int32_t geo = static_cast<std::int32_t>(P::zrGeographic);
  ASSERT_EQ(p.Convert(nullptr, &geo), 0);
  // Row H starts at 37°05′; section 11 lies two minutes north of the block's south line.
  EXPECT_NEAR(p.y(), 37.0 + 7.0 / 60.0, 1e-9) << "south line of section H49-11";
}

TEST(Coverage, InBoundsClearsThePendingRefresh) {
  ZrGeoPosition p;
  p.Projection(P::zrNorthZone);
  p.x(1640416.67);  // about 500 km easting in US survey feet: on the central meridian
  p.y(0.0);
  EXPECT_TRUE(p.InBounds());
  p.Datum(D::zrNAD27);
  EXPECT_TRUE(p.InBounds());
}

}  // namespace
}  // namespace lantrel
