// Zone table layout, published check values of both projection families, unit scaling,
// failure handling, and scale factor / convergence through the position object.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "lantrel/error.hpp"
#include "lantrel/position.hpp"
#include "projection/zone_driver.hpp"
#include "projection/zone_table.hpp"

namespace {

using lantrel::Pair;
using lantrel::ZrGeoPosition;
namespace d = lantrel::detail;
using P = lantrel::zrGeoProjection;

constexpr std::int32_t kNAD83 = 0, kNAD27 = 1;
constexpr std::int32_t kUsFt = 1, kMetres = 2;

bool IsLambert(std::int32_t p) { return lantrel::FamilyOf(p) == lantrel::ProjectionFamily::Lambert; }
bool IsMercator(std::int32_t p) {
  return lantrel::FamilyOf(p) == lantrel::ProjectionFamily::TransverseMercator;
}
bool HasRecord(std::int32_t datum, std::int32_t p) {
  return (IsLambert(p) || IsMercator(p)) && !(p == 0 && datum == kNAD27);
}

Pair Forward(Pair geo, std::int32_t datum, std::int32_t p, std::int32_t units) {
  return IsLambert(p) ? d::GeographicToLambert(geo, datum, p, units)
                      : d::GeographicToMercator(geo, datum, p, units);
}
Pair Inverse(Pair plane, std::int32_t datum, std::int32_t p, std::int32_t units) {
  return IsLambert(p) ? d::LambertToGeographic(plane, datum, p, units)
                      : d::MercatorToGeographic(plane, datum, p, units);
}

void ExpectError(const std::function<void()>& f, std::int32_t number) {
  try {
    f();
    ADD_FAILURE() << "no error raised, expected " << number;
  } catch (const lantrel::Error& e) {
    EXPECT_EQ(e.number(), number);
  }
}

// --- zone table --------------------------------------------------------------------------

TEST(ZoneTable, RecordNumberIsDatumPlusTwiceProjection) {
  const d::ZoneRecord& north27 = d::Zone(kNAD27, 1);
  EXPECT_EQ(&north27 - &d::Zone(kNAD83, 0), 3);
  EXPECT_EQ(north27.E0, 609601.219202438);
  EXPECT_EQ(north27.N0, 0.0);
  EXPECT_EQ(&d::Zone(kNAD27, 15) - &d::Zone(kNAD83, 0), 31);
}

TEST(ZoneTable, OutOfRangeCodesRaiseSubscriptError) {
  for (auto [datum, p] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 16}, {1, 16}}) {
    ExpectError([&] { d::Zone(datum, p); }, lantrel::errc::SubscriptOutOfRange);
  }
}

TEST(ZoneTable, DatumPairsShareZoneGeometryButNotEllipsoidValues) {
  for (std::int32_t p = 1; p <= 15; ++p) {
    if (!HasRecord(kNAD27, p)) continue;
    SCOPED_TRACE(p);
    const d::ZoneRecord& a = d::Zone(kNAD83, p);
    const d::ZoneRecord& b = d::Zone(kNAD27, p);
    EXPECT_EQ(a.lambda0, b.lambda0);
    EXPECT_EQ(a.k0, b.k0);
    EXPECT_EQ(a.phi0, b.phi0);  // 0 in Lambert records; Tennessee's origins differ in Rb
    for (auto [x, y] : {std::pair{a.a, b.a}, {a.f, b.f}, {a.e, b.e}, {a.e2, b.e2}}) {
      EXPECT_NE(x, y);
    }
    if (IsLambert(p)) {
      EXPECT_NE(a.Rb, b.Rb);
      EXPECT_NE(a.K, b.K);
      EXPECT_NE(a.n, b.n);
    } else {
      EXPECT_NE(a.r, b.r);
      EXPECT_NE(a.U0, b.U0);
      EXPECT_NE(a.V6, b.V6);
      // UTM records differ in nothing else; plane zones also in Sb and the false origin.
      const bool utm = p == 3 || p == 4;
      EXPECT_EQ(utm, a.Sb == b.Sb);
      EXPECT_EQ(utm, a.E0 == b.E0);
    }
  }
}

TEST(ZoneTable, FieldsFollowTheFamilyAndTheEllipsoidTable) {
  for (std::int32_t datum : {kNAD83, kNAD27}) {
    for (std::int32_t p = 0; p <= 15; ++p) {
      SCOPED_TRACE(testing::Message() << datum << "/" << p);
      const d::ZoneRecord& z = d::Zone(datum, p);
      if (!HasRecord(datum, p)) {
        EXPECT_EQ(z.a + z.e + z.lambda0 + z.E0 + z.n + z.k0 + z.r, 0.0);
        continue;
      }
      EXPECT_EQ(z.a, d::SemiMajorAxis(datum));
      EXPECT_EQ(z.e2, d::EccentricitySquared(datum));
      // The unused family's fields hold 0.0, the used ones do not.
      EXPECT_EQ(IsLambert(p), z.n != 0.0 && z.K != 0.0 && z.Rb != 0.0);
      EXPECT_EQ(IsMercator(p), z.k0 != 0.0 && z.r != 0.0 && z.V0 != 0.0);
    }
  }
  EXPECT_EQ(d::Zone(kNAD83, 10).Sb, d::Zone(kNAD83, 11).Sb);  // inWest / inEast
  EXPECT_EQ(d::Zone(kNAD27, 10).Sb, d::Zone(kNAD27, 11).Sb);
  EXPECT_EQ(d::Zone(kNAD83, 8).phi0, d::Zone(kNAD83, 9).phi0);  // ilWest / ilEast
  EXPECT_NE(d::Zone(kNAD83, 8).Sb, d::Zone(kNAD83, 9).Sb);
}

// --- published check values --------------------------------------------------------------

struct CheckValue {
  std::int32_t datum, projection, units;
  Pair geo, plane;
  double planeTol;  // the values are published to three decimals
  double roundTripTol;
};

TEST(Projection, ForwardAndInverseMatchPublishedValues) {
  const CheckValue cases[] = {
      {kNAD83, 0, kMetres, {85.0, 37.5}, {1566313.488, 1129746.483}, 5e-4, 1e-12},
      {kNAD27, 1, kUsFt, {84.25, 37.5}, {2000000.000, 0.000}, 5e-4, 1e-12},
      {kNAD83, 3, kMetres, {87.0, 37.0}, {500000.000, 4094872.370}, 5e-4, 1e-10},
      {kNAD83, 3, kMetres, {85.5, 37.5}, {632589.070, 4151398.037}, 5e-4, 1e-10},
      {kNAD83, 4, kMetres, {84.0, 38.0}, {236578.624, 4210063.034}, 5e-4, 1e-10},
      {kNAD27, 4, kMetres, {84.0, 38.0}, {236572.036, 4209857.464}, 5e-4, 1e-10},
  };
  for (const CheckValue& c : cases) {
    SCOPED_TRACE(testing::Message() << c.datum << "/" << c.projection);
    const Pair plane = Forward(c.geo, c.datum, c.projection, c.units);
    EXPECT_NEAR(plane.x, c.plane.x, c.planeTol);
    EXPECT_NEAR(plane.y, c.plane.y, c.planeTol);
    const Pair geo = Inverse(plane, c.datum, c.projection, c.units);
    EXPECT_NEAR(geo.x, c.geo.x, c.roundTripTol);
    EXPECT_NEAR(geo.y, c.geo.y, c.roundTripTol);
  }
}

TEST(Projection, FalseOriginInvertsToCentralMeridianAndOriginLatitude) {
  struct Case {
    std::int32_t datum, projection;
    Pair plane, geo;
    double tol;
  } cases[] = {
      {kNAD83, 1, {500000, 0}, {84.25, 37.5}, 1e-12},
      {kNAD83, 0, {1500000, 1000000}, {85.75, 36.0 + 20.0 / 60.0}, 1e-12},
      {kNAD83, 7, {250000, 0}, {90.5, 35.0 + 50.0 / 60.0}, 1e-11},
      {kNAD83, 11, {100000, 250000}, {85.0 + 40.0 / 60.0, 37.5}, 1e-11},
  };
  for (const Case& c : cases) {
    const Pair geo = Inverse(c.plane, c.datum, c.projection, kMetres);
    EXPECT_NEAR(geo.x, c.geo.x, c.tol) << c.projection;
    EXPECT_NEAR(geo.y, c.geo.y, c.tol) << c.projection;
  }
  // The stored central meridian is a radian constant, not 84.25 times the degree factor.
  const double e = d::GeographicToLambert({84.25, 37.5}, kNAD83, 1, kMetres).x;
  EXPECT_NE(e, 500000.0);
  EXPECT_NEAR(e, 500000.0, 1e-7);
}

TEST(Projection, RoundTripsFarFromTheCentralMeridian) {
  // Lambert: three Newton steps suffice even 11.5 degrees from Virginia South's meridian.
  const Pair far = Inverse(Forward({90.0, 39.5}, kNAD83, 14, kMetres), kNAD83, 14, kMetres);
  EXPECT_NEAR(far.x, 90.0, 1e-12);
  EXPECT_NEAR(far.y, 39.5, 1e-12);
  // Transverse Mercator: within 1e-10 degrees up to 3 degrees from the meridian.
  for (std::int32_t p : {3, 4, 7, 8, 9, 10, 11}) {
    for (std::int32_t datum : {kNAD83, kNAD27}) {
      const double cm = d::Zone(datum, p).lambda0 * 57.295779513082344;
      for (double dl : {-3.0, -1.5, 1.5, 3.0}) {
        for (double lat : {36.0, 37.75, 39.5}) {
          const Pair back = Inverse(Forward({cm + dl, lat}, datum, p, kMetres), datum, p, kMetres);
          EXPECT_NEAR(back.x, cm + dl, 1e-10) << p << " " << dl << " " << lat;
          EXPECT_NEAR(back.y, lat, 1e-10) << p << " " << dl << " " << lat;
        }
      }
    }
  }
}

TEST(Projection, WestOfMeridianAndSouthOfOriginAreComputed) {
  EXPECT_LT(d::GeographicToMercator({88.0, 37.0}, kNAD83, 3, kMetres).x, 500000.0);
  EXPECT_LT(d::GeographicToMercator({90.5, 35.0}, kNAD27, 7, kMetres).y, 0.0);
  EXPECT_LT(d::GeographicToMercator({87.0, 37.0}, kNAD83, 10, kMetres).y, 250000.0);
  EXPECT_LT(d::GeographicToLambert({84.25, 37.0}, kNAD27, 1, kMetres).y, 0.0);
}

TEST(Projection, EveryUnitScalesTheMetreResult) {
  const double perMetre[] = {0, 1200.0 / 3937.0, 1.0, 0.3048, 6336000.0 / 3937.0, 1000.0};
  for (std::int32_t p : {1, 3}) {
    const Pair m = Forward({85.0, 37.5}, kNAD83, p, kMetres);
    for (std::int32_t units = 1; units <= 5; ++units) {
      const Pair u = Forward({85.0, 37.5}, kNAD83, p, units);
      EXPECT_NEAR(u.x * perMetre[units], m.x, 1e-8) << units;
      EXPECT_NEAR(u.y * perMetre[units], m.y, 1e-8) << units;
      const Pair back = Inverse(u, kNAD83, p, units);
      EXPECT_NEAR(back.x, 85.0, 1e-11) << units;
      EXPECT_NEAR(back.y, 37.5, 1e-11) << units;
    }
  }
}

// --- failures ------------------------------------------------------------------------------

TEST(Projection, FaultsRaiseTheArithmeticErrorInsteadOfReturningInfOrNaN) {
  namespace errc = lantrel::errc;
  const d::ZoneRecord& north = d::Zone(kNAD83, 1);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* what;
    std::function<void()> call;
    std::int32_t number;
  } cases[] = {
      {"cone apex", [&] { d::LambertToGeographic({north.E0, north.Rb + north.N0}, 0, 1, kMetres); },
       errc::DivisionByZero},
      {"lambert pole", [] { d::GeographicToLambert({85.0, 90.0}, 0, 1, kMetres); }, errc::DivisionByZero},
      {"lambert k at pole", [] { d::LambertScaleFactor({85.0, 90.0}, 0, 1); }, errc::DivisionByZero},
      // The radius overflows and then ln(K / inf) divides by zero; division is reported first.
      {"huge northing", [] { d::LambertToGeographic({0, -1e300}, 0, 1, kMetres); },
       errc::DivisionByZero},
      {"huge easting", [] { d::MercatorToGeographic({1e300, 0}, 0, 3, kMetres); }, errc::Overflow},
      {"huge longitude", [] { d::GeographicToMercator({1e200, 37}, 0, 3, kMetres); }, errc::Overflow},
      {"nan input", [&] { d::GeographicToLambert({nan, 37}, 0, 1, kMetres); }, errc::InvalidArgument},
      {"nan tm input", [&] { d::MercatorToGeographic({nan, 0}, 0, 3, kMetres); }, errc::InvalidArgument},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectError(c.call, c.number);
  }
}

TEST(Projection, RecordsWithoutThatProjectionRaiseSubscriptError) {
  const std::int32_t kSubscript = lantrel::errc::SubscriptOutOfRange;
  ExpectError([] { d::GeographicToLambert({85, 37}, kNAD27, 0, kMetres); }, kSubscript);
  ExpectError([] { d::LambertToGeographic({0, 0}, kNAD27, 0, kMetres); }, kSubscript);
  ExpectError([] { d::GeographicToLambert({85, 37}, kNAD83, 3, kMetres); }, kSubscript);
  ExpectError([] { d::GeographicToMercator({85, 37}, kNAD83, 1, kMetres); }, kSubscript);
  ExpectError([] { d::MercatorConvergence({85, 37}, kNAD83, 5); }, kSubscript);
  ExpectError([] { d::LambertScaleFactor({85, 37}, 2, 1); }, kSubscript);
}

// --- scale factor and convergence through the position -----------------------------------

ZrGeoPosition PlanePosition(P projection, lantrel::zrGeoDatum datum, double x, double y) {
  ZrGeoPosition pos;
  pos.Projection(projection);
  pos.Datum(datum);
  pos.Units(lantrel::zrGeoUnits::zrMeters);
  pos.x(x);
  pos.y(y);
  return pos;
}

TEST(ScaleAndConvergence, AngularSystemsHaveUnitScaleAndNoConvergence) {
  for (P p : {P::zrGeographic, P::zrCarter}) {
    ZrGeoPosition pos;
    pos.Projection(p);
    pos.x(123.0);
    pos.y(-45.0);
    EXPECT_EQ(pos.ScaleFactor(), 1.0);
    EXPECT_EQ(pos.Convergence(), 0.0);
  }
}

TEST(ScaleAndConvergence, OnTheCentralMeridian) {
  using lantrel::zrGeoDatum;
  const struct {
    P projection;
    zrGeoDatum datum;
    double x, y, k0;  // k0 0: a Lambert zone, whose scale varies along the meridian
  } cases[] = {{P::zrUTM16, zrGeoDatum::zrNAD83, 500000, 4150000, 0.9996},
               {P::zrUTM17, zrGeoDatum::zrNAD27, 500000, 4250000, 0.9996},
               {P::moEastZone, zrGeoDatum::zrNAD83, 250000, 150000, 0.999933333333333},
               {P::zrNorthZone, zrGeoDatum::zrNAD83, 500000, 150000, 0},
               {P::zrSouthZone, zrGeoDatum::zrNAD27, 609601.219202438, 150000, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.projection));
    const ZrGeoPosition pos = PlanePosition(c.projection, c.datum, c.x, c.y);
    if (c.k0 != 0) {
      EXPECT_NEAR(pos.ScaleFactor(), c.k0, 1e-15);
    }
    EXPECT_NEAR(pos.Convergence(), 0.0, 1e-12);
  }
}

TEST(ScaleAndConvergence, FollowTheStoredPairWithoutConvert) {
  const Pair east = d::GeographicToMercator({86.0, 37.5}, kNAD83, 3, kMetres);
  const Pair west = d::GeographicToMercator({88.0, 37.5}, kNAD83, 3, kMetres);
  ZrGeoPosition pos = PlanePosition(P::zrUTM16, lantrel::zrGeoDatum::zrNAD83, east.x, east.y);
  const double kEast = pos.ScaleFactor();
  EXPECT_GT(pos.Convergence(), 0.0);
  pos.x(west.x);
  EXPECT_LT(pos.Convergence(), 0.0);
  EXPECT_NEAR(pos.ScaleFactor(), kEast, 1e-6);  // symmetric about the meridian
  pos.x(500000.0);
  EXPECT_NEAR(pos.ScaleFactor(), 0.9996, 1e-15);
}

TEST(ScaleAndConvergence, PublishedValuesOfTheSingleZone) {
  ZrGeoPosition pos;
  pos.Projection(P::zrSingleZone);
  pos.Units(lantrel::zrGeoUnits::zrMeters);
  pos.x(1566313.487934);
  pos.y(1129746.482883);
  EXPECT_NEAR(pos.ScaleFactor(), 0.99992640, 5e-9);
  EXPECT_NEAR(pos.Convergence(), 0.46047053, 5e-9);
}

}  // namespace
