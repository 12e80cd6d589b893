#include <gtest/gtest.h>

#include <cmath>

#include "lantrel/lantrel.hpp"
#include "test_support.hpp"

namespace lantrel {
namespace {

using testing::ExpectError;
using P = zrGeoProjection;
using D = zrGeoDatum;
using U = zrGeoUnits;

TEST(PositionProperties, NewPositionDefaults) {
  ZrGeoPosition p;
  EXPECT_EQ(p.Projection(), P::zrGeographic);
  EXPECT_EQ(p.Datum(), D::zrNAD83);
  EXPECT_EQ(p.Units(), U::zrDecimalDegrees);
  EXPECT_TRUE(p.WestPositive());
  EXPECT_EQ(p.x(), 0.0);
  EXPECT_EQ(p.y(), 0.0);
  EXPECT_FALSE(p.InBounds());
  EXPECT_NE(p.Carter(), nullptr);
}

TEST(PositionProperties, XStoresMagnitudeAndShowsSignOnlyForAngularSystems) {
  struct Case {
    P projection;
    double written;
    bool westPositive;
    double read;
  } const cases[] = {
      {P::zrGeographic, -84.5, true, 84.5},  {P::zrGeographic, -84.5, false, -84.5},
      {P::zrGeographic, 84.5, false, -84.5}, {P::zrCarter, -85.0, false, -85.0},
      {P::zrNorthZone, -1000.0, false, 1000.0}, {P::zrUTM16, -1000.0, true, 1000.0},
      {P::inWestZone, 250.0, false, 250.0},
  };
  for (const auto& c : cases) {
    ZrGeoPosition p;
    p.Projection(c.projection);
    p.WestPositive(c.westPositive);
    p.x(c.written);
    EXPECT_EQ(p.x(), c.read) << static_cast<int>(c.projection) << " " << c.written;
  }
}

TEST(PositionProperties, WritingTheCurrentValueChangesNothing) {
  // InBounds refreshes the geographic pair only when a let changed something, so an edit
  // that is ignored leaves a refreshed result unchanged even if the point would now differ.
  ZrGeoPosition p;
  p.x(85.0);
  p.y(37.5);
  ASSERT_TRUE(p.InBounds());
  p.Projection(P::zrGeographic);
  p.Datum(D::zrNAD83);
  p.Units(U::zrDecimalDegrees);
  p.x(85.0);
  p.y(37.5);
  // No label changed: a convert to geographic in place is a plain re-read of the cache.
  EXPECT_EQ(p.Convert(), 0);
  EXPECT_EQ(p.x(), 85.0);
}

TEST(PositionProperties, NegatedXMarksThePointChanged) {
  ZrGeoPosition p;
  p.x(85.0);
  p.y(37.5);
  ASSERT_TRUE(p.InBounds());
  p.WestPositive(false);
  p.x(-85.0);  // same magnitude: stored value unchanged, but the let still marks the point
  EXPECT_TRUE(p.InBounds());
  EXPECT_EQ(p.x(), -85.0);
}

TEST(PositionProperties, ProjectionFitsUnitsAndForcesDatum) {
  struct Case {
    const char* name;
    P first;
    U units;
    D datum;
    P then;
    U expectedUnits;
    D expectedDatum;
  } const cases[] = {
      {"utm from degrees", P::zrGeographic, U::zrDecimalDegrees, D::zrNAD83, P::zrUTM17,
       U::zrMeters, D::zrNAD83},
      {"lambert keeps km", P::zrUTM16, U::zrKilometers, D::zrNAD83, P::zrNorthZone,
       U::zrKilometers, D::zrNAD83},
      {"neighbour TM from degrees gets feet", P::zrGeographic, U::zrDecimalDegrees,
       D::zrNAD27, P::ilWestZone, U::zrUSFt, D::zrNAD27},
      {"geographic forces degrees", P::zrUTM16, U::zrMiles, D::zrNAD27, P::zrGeographic,
       U::zrDecimalDegrees, D::zrNAD27},
      {"carter forces degrees", P::zrNorthZone, U::zrMeters, D::zrNAD83, P::zrCarter,
       U::zrDecimalDegrees, D::zrNAD83},
      {"single zone forces NAD 83", P::zrNorthZone, U::zrUSFt, D::zrNAD27, P::zrSingleZone,
       U::zrUSFt, D::zrNAD83},
  };
  for (const auto& c : cases) {
    ZrGeoPosition p;
    p.Projection(c.first);
    p.Units(c.units);
    p.Datum(c.datum);
    p.Projection(c.then);
    EXPECT_EQ(p.Units(), c.expectedUnits) << c.name;
    EXPECT_EQ(p.Datum(), c.expectedDatum) << c.name;
  }
}

TEST(PositionProperties, SingleZoneAcceptsNad27ButStoresNad83) {
  ZrGeoPosition p;
  p.Projection(P::zrSingleZone);
  EXPECT_NO_THROW(p.Datum(D::zrNAD27));
  EXPECT_EQ(p.Datum(), D::zrNAD83);
}

TEST(PositionProperties, UnitsAreFittedToTheProjection) {
  struct Case {
    P projection;
    U first;
    U written;
    U expected;
  } const cases[] = {
      {P::zrGeographic, U::zrDecimalDegrees, U::zrMeters, U::zrDecimalDegrees},
      {P::zrUTM16, U::zrUSFt, U::zrDecimalDegrees, U::zrMeters},
      {P::ilWestZone, U::zrMeters, U::zrDecimalDegrees, U::zrUSFt},
      {P::zrSouthZone, U::zrUSFt, U::zrIntlFt, U::zrIntlFt},
  };
  for (const auto& c : cases) {
    ZrGeoPosition p;
    p.Projection(c.projection);
    p.Units(c.first);
    p.Units(c.written);
    EXPECT_EQ(p.Units(), c.expected) << static_cast<int>(c.projection);
  }
}

TEST(PositionProperties, InvalidCodesRaiseAndChangeNothing) {
  const std::int32_t base = kObjectErrorBase;
  for (std::int32_t bad : {16, -1, 1000}) {
    ZrGeoPosition p;
    p.Projection(P::zrNorthZone);
    ExpectError([&] { p.Projection(bad); }, base + 1002, "lantrel:zrGeoPosition:Projection:",
                "Invalid projection specified.");
    EXPECT_EQ(p.Projection(), P::zrNorthZone);
  }
  for (std::int32_t bad : {2, -1}) {
    ZrGeoPosition p;
    ExpectError([&] { p.Datum(bad); }, base + 1001, "lantrel:zrGeoPosition:Datum:",
                "Invalid horizontal datum specified.");
    EXPECT_EQ(p.Datum(), D::zrNAD83);
  }
  for (std::int32_t bad : {6, -1}) {
    ZrGeoPosition p;
    p.Projection(P::zrUTM16);
    ExpectError([&] { p.Units(bad); }, base + 1003, "lantrel:zrGeoPosition:Units:",
                "Invalid units specified.");
    EXPECT_EQ(p.Units(), U::zrMeters);
  }
}

TEST(PositionProperties, CarterIsReplaceableAndRecreatedWhenCleared) {
  ZrGeoPosition a;
  ZrGeoPosition b;
  auto shared = a.Carter();
  b.Carter(shared);
  EXPECT_EQ(b.Carter(), shared) << "set by reference";
  b.Carter(nullptr);
  EXPECT_EQ(b.Convert(nullptr, nullptr, nullptr), 0);
  EXPECT_FALSE(b.InBounds());
  EXPECT_NE(b.Carter(), nullptr) << "a new Carter object is created on demand";
  EXPECT_NE(b.Carter(), shared);
}

}  // namespace
}  // namespace lantrel
