// Conversion between geographic coordinates and Carter locations.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "carter/carter_conversion.hpp"
#include "carter_test_support.hpp"
#include "lantrel/lantrel.hpp"

#ifdef LANTREL_HAVE_PROJ
#include <geodesic.h>
#endif

namespace {

using carter_test::Changed;
using carter_test::ExpectError;
using carter_test::NewCarter;
using carter_test::SetChanged;
using carter_test::Take;
using lantrel::Pair;
using lantrel::zrCarter;
using lantrel::detail::CarterAccess;
using lantrel::detail::CarterToGeographic;
using lantrel::detail::GeographicToCarter;

constexpr std::int32_t kNAD83 = 0;
constexpr std::int32_t kNAD27 = 1;
constexpr double kWindowEast = 81.91666666666667;
constexpr double kWindowWest = 89.58333333333333;
constexpr double kWindowSouth = 36.5;
constexpr double kWindowNorth = 39.25;

/// Row letter of a block row counted from 36°30' N: "A".."Z", then "AA".."HH".
std::string RowLetter(int row) {
  static const char* const kDoubled[] = {"AA", "BB", "CC", "DD", "EE", "FF", "GG", "HH"};
  return row < 26 ? std::string(1, static_cast<char>('A' + row)) : kDoubled[row - 26];
}

/// Degrees of (whole + minutes / 60), rounded once to the nearest double.
double Degrees(long double whole, long double minutes) {
  return static_cast<double>(whole + minutes / 60.0L);
}

TEST(CarterRadii, EquatorAndSymmetry) {
  EXPECT_EQ(lantrel::detail::MeridianRadius(0.0, kNAD83), (1.0 - 0.00669438002290348) * 6378137.0);
  EXPECT_EQ(lantrel::detail::ParallelRadius(0.0, kNAD83), 6378137.0);
  EXPECT_EQ(lantrel::detail::ParallelRadius(0.0, kNAD27), 6378206.4);
  for (const double phi : {0.3, 0.65, 1.2}) {
    EXPECT_EQ(lantrel::detail::MeridianRadius(phi, kNAD27),
              lantrel::detail::MeridianRadius(-phi, kNAD27));
    EXPECT_EQ(lantrel::detail::ParallelRadius(phi, kNAD83),
              lantrel::detail::ParallelRadius(-phi, kNAD83));
  }
  // The meridian radius grows toward the pole, the parallel shrinks.
  EXPECT_LT(lantrel::detail::MeridianRadius(0.6, kNAD83),
            lantrel::detail::MeridianRadius(0.7, kNAD83));
  EXPECT_GT(lantrel::detail::ParallelRadius(0.6, kNAD83),
            lantrel::detail::ParallelRadius(0.7, kNAD83));
}

struct ReferenceCase {
  std::int32_t datum;
  double fsl;
  double fwl;
};

TEST(CarterConversion, ReferencePointOnBothDatums) {
  const ReferenceCase cases[] = {{kNAD83, 2451.65, 359.58}, {kNAD27, 2451.60, 359.59}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.datum);
    auto c = NewCarter();
    GeographicToCarter(*c, {85.4321, 37.1234}, k.datum);
    EXPECT_EQ(c->Letter(), "H");
    EXPECT_EQ(c->Number(), 49);
    EXPECT_EQ(c->Section(), 11);
    EXPECT_EQ(c->FNSL(), "FSL");
    EXPECT_EQ(c->FEWL(), "FWL");
    EXPECT_NEAR(c->FSL(), k.fsl, 0.005);
    EXPECT_NEAR(c->FWL(), k.fwl, 0.005);
    EXPECT_FALSE(Changed(*c));
    EXPECT_EQ(c->LocationString(), "H49-11 2452-FSL 360-FWL");
    EXPECT_EQ(c->LocationString(true), "2452 FSL  360 FWL 11- H-49");

    const Pair back = CarterToGeographic(*c, k.datum);
    EXPECT_NEAR(back.x, 85.4321, 1e-12);
    EXPECT_NEAR(back.y, 37.1234, 1e-12);
  }
}

TEST(CarterConversion, HandWrittenLocationGivesItsPoint) {
  // The rounded calls of the reference point are within 0.005 ft (about 2e-8 degree) of it.
  for (const auto& [datum, fsl, fwl] : {ReferenceCase{kNAD83, 2451.65, 359.58},
                                        ReferenceCase{kNAD27, 2451.60, 359.59}}) {
    auto c = NewCarter();
    c->Letter("h");
    c->Number(49);
    c->Section(11);
    c->FSL(fsl);
    c->FWL(fwl);
    const Pair p = CarterToGeographic(*c, datum);
    EXPECT_NEAR(p.x, 85.4321, 3e-8);
    EXPECT_NEAR(p.y, 37.1234, 3e-8);
    EXPECT_FALSE(Changed(*c));
  }
}

TEST(CarterConversion, CallsFromTheNorthAndEastLinesMeetTheSamePoint) {
  auto south = NewCarter();
  GeographicToCarter(*south, {85.4321, 37.1234}, kNAD83);
  // Section height and width at the section's middle latitude, in feet.
  const double phi = (CarterAccess::SectionSouth(*south) + 0.008333333333333333) *
                     0.01745329251994329;
  const double height = lantrel::detail::MeridianRadius(phi, kNAD83) * 0.0009543557312641211;
  const double width = lantrel::detail::ParallelRadius(phi, kNAD83) * 0.0009543557312641211;
  auto north = NewCarter();
  north->Letter("H");
  north->Number(49);
  north->Section(11);
  north->FNL(height - south->FSL());
  north->FEL(width - south->FWL());
  const Pair a = CarterToGeographic(*south, kNAD83);
  const Pair b = CarterToGeographic(*north, kNAD83);
  EXPECT_NEAR(a.x, b.x, 1e-12);
  EXPECT_NEAR(a.y, b.y, 1e-12);
}

TEST(CarterConversion, OutsideTheWindowLeavesTheObjectCleared) {
  const Pair outside[] = {
      {81.9, 37.0},  {89.6, 37.0},  {85.0, 39.3}, {85.0, 36.49},
      {std::nextafter(kWindowEast, 0.0), 37.0},  {std::nextafter(kWindowWest, 90.0), 37.0},
      {85.0, std::nextafter(kWindowNorth, 40.0)}, {85.0, std::nextafter(kWindowSouth, 0.0)},
      {-85.0, 37.0}, {85.0, -37.0}, {std::numeric_limits<double>::infinity(), 37.0},
  };
  const auto fresh = Take(*NewCarter());
  for (const Pair& p : outside) {
    SCOPED_TRACE(testing::Message() << p.x << " " << p.y);
    auto c = NewCarter();
    GeographicToCarter(*c, {85.4321, 37.1234}, kNAD83);  // a full location first
    GeographicToCarter(*c, p, kNAD83);
    EXPECT_TRUE(Take(*c) == fresh);
    EXPECT_TRUE(Changed(*c));
    EXPECT_EQ(c->Section(), 0);
    EXPECT_EQ(c->Letter(), "");
  }
}

TEST(CarterConversion, NotANumberIsAnArithmeticError) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const Pair p : {Pair{nan, 37.0}, Pair{85.0, nan}}) {
    auto c = NewCarter();
    GeographicToCarter(*c, {85.4321, 37.1234}, kNAD83);
    ExpectError([&] { GeographicToCarter(*c, p, kNAD83); }, lantrel::errc::InvalidArgument, "",
                "");
    EXPECT_EQ(c->Letter(), "");  // the clear had already happened
  }
  auto c = NewCarter();
  c->Letter("B");
  c->FSL(std::numeric_limits<double>::infinity());
  ExpectError([&] { (void)CarterToGeographic(*c, kNAD83); }, lantrel::errc::Overflow, "", "");
  EXPECT_TRUE(Changed(*c));
}

TEST(CarterConversion, ClearedObjectGivesTheOrigin) {
  for (const std::int32_t datum : {kNAD83, kNAD27}) {
    auto c = NewCarter();
    EXPECT_TRUE(CarterToGeographic(*c, datum) == (Pair{0.0, 0.0}));
    EXPECT_FALSE(Changed(*c));
    c->Letter("Q");
    c->Section(3);
    c->FNL(500);
    c->Clear();
    EXPECT_TRUE(CarterToGeographic(*c, datum) == (Pair{0.0, 0.0}));
  }
}

struct EdgeCase {
  Pair point;
  const char* plain;  // the location string
};

TEST(CarterConversion, WindowEdgesAndBlockLines) {
  const EdgeCase cases[] = {
      // North and south limits of the window.
      {{85.4321, 39.25}, "HH49-21 0-FSL 349-FWL"},
      {{85.4321, 36.5}, "A49-21 0-FSL 362-FWL"},
      // West and east limits (the east limit lies within 1e-12 degree of column 92's line).
      {{kWindowWest, 37.1234}, "H00-15 2452-FSL 0-FWL"},
      {{kWindowEast, 37.1234}, "H92-15 2452-FSL 0-FWL"},
      // The four corners.
      {{kWindowWest, kWindowSouth}, "A00-25 0-FSL 0-FWL"},
      {{kWindowEast, kWindowSouth}, "A92-25 0-FSL 0-FWL"},
      {{kWindowWest, kWindowNorth}, "HH00-25 0-FSL 0-FWL"},
      {{kWindowEast, kWindowNorth}, "HH92-25 0-FSL 0-FWL"},
      // Block lines whose arithmetic lands on the block's own north or east line: the point
      // belongs to the block north or east of the line.
      {{85.0, 37.0}, "G55-25 0-FSL 0-FWL"},
      {{85.0, 37.1234}, "H55-15 2452-FSL 0-FWL"},
      {{85.4321, 37.166666666666664}, "I49-21 0-FSL 359-FWL"},
      {{82.0, 39.166666666666664}, "GG91-25 0-FSL 0-FWL"},
  };
  for (const std::int32_t datum : {kNAD83, kNAD27}) {
    for (const auto& k : cases) {
      SCOPED_TRACE(k.plain);
      auto c = NewCarter();
      GeographicToCarter(*c, k.point, datum);
      EXPECT_EQ(c->LocationString(), k.plain);
      EXPECT_FALSE(Changed(*c));
      const Pair back = CarterToGeographic(*c, datum);
      EXPECT_NEAR(back.x, k.point.x, 1e-12);
      EXPECT_NEAR(back.y, k.point.y, 1e-12);
    }
  }
}

/// Checks that a point on (or within 1e-12 degree of) a line was given the section north or
/// east of that line, with a call of 0 feet from it.
void ExpectOnLatitudeLine(const zrCarter& c, int minutesNorthOfGrid) {
  EXPECT_EQ(c.Letter(), RowLetter(minutesNorthOfGrid / 5));
  EXPECT_EQ(CarterAccess::SectionRowMinutes(c.Section()), minutesNorthOfGrid % 5);
  EXPECT_EQ(c.FNSL(), "FSL");
  EXPECT_EQ(c.FSL(), 0.0);
}

void ExpectOnLongitudeLine(const zrCarter& c, int minutesEastOfGrid) {
  EXPECT_EQ(c.Number(), minutesEastOfGrid / 5);
  EXPECT_EQ(CarterAccess::SectionColumnMinutes(c.Section()), minutesEastOfGrid % 5);
  EXPECT_EQ(c.FEWL(), "FWL");
  EXPECT_EQ(c.FWL(), 0.0);
}

TEST(CarterConversion, EverySectionLineBelongsToTheSectionNorthOrEastOfIt) {
  // Every parallel from 36°30' to 39°15' and every meridian from 89°35' to 81°55', exactly
  // and 1e-13 degree to either side; the other coordinate inside a section.
  for (int m = 0; m <= 165; ++m) {
    const double line = Degrees(36.5L, m);
    for (const double y : {line, line - 1e-13, line + 1e-13}) {
      if (y < kWindowSouth || y > kWindowNorth) continue;
      SCOPED_TRACE(testing::Message() << "latitude line " << m << " at " << y);
      auto c = NewCarter();
      GeographicToCarter(*c, {85.4321, y}, kNAD83);
      ExpectOnLatitudeLine(*c, m);
    }
  }
  for (int m = 0; m <= 460; ++m) {
    const double line = Degrees(89.0L, 35.0L - m);
    for (const double x : {line, line - 1e-13, line + 1e-13}) {
      if (x < kWindowEast || x > kWindowWest) continue;
      SCOPED_TRACE(testing::Message() << "longitude line " << m << " at " << x);
      auto c = NewCarter();
      GeographicToCarter(*c, {x, 37.1234}, kNAD27);
      ExpectOnLongitudeLine(*c, m);
    }
  }
}

TEST(CarterConversion, JustSouthOfAnInteriorSectionLine) {
  // 37°08' N is the south line of section row 3 of block "H"; 85°28' W the west line of
  // section column 2 of block 49. Points just south (west) of them move onto them.
  auto c = NewCarter();
  GeographicToCarter(*c, {85.4321, Degrees(37.0L, 8.0L) - 1e-13}, kNAD83);
  EXPECT_EQ(c->Letter(), "H");
  EXPECT_EQ(c->Section(), 10);
  EXPECT_EQ(c->FNSL(), "FSL");
  EXPECT_EQ(c->FSL(), 0.0);
  GeographicToCarter(*c, {Degrees(85.0L, 28.0L) + 1e-13, 37.1234}, kNAD83);
  EXPECT_EQ(c->Number(), 49);
  EXPECT_EQ(c->Section(), 13);
  EXPECT_EQ(c->FEWL(), "FWL");
  EXPECT_EQ(c->FWL(), 0.0);
}

struct MiddleCase {
  Pair point;
  const char* northSouth;
  const char* eastWest;
};

TEST(CarterConversion, PointsNearestTheMiddleLines) {
  // The nearest doubles to a middle parallel or meridian lie a fraction of a unit in the last
  // place to one side of it; only a point that lies north (east) of the middle in the
  // arithmetic is called from the north (east) line. Either call is half a section.
  const MiddleCase cases[] = {
      {{85.4321, 36.50833333333333}, "FSL", "FWL"},
      {{85.4321, 37.175}, "FSL", "FWL"},
      {{85.4321, 38.575}, "FSL", "FWL"},
      {{85.4321, 39.24166666666667}, "FSL", "FWL"},
      {{85.4321, 37.19166666666667}, "FNL", "FWL"},
      {{89.575, 37.1234}, "FSL", "FWL"},
      {{89.50833333333334, 37.1234}, "FSL", "FWL"},
      {{89.49166666666666, 37.1234}, "FSL", "FEL"},
      {{81.925, 37.1234}, "FSL", "FEL"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(testing::Message() << k.point.x << " " << k.point.y);
    auto c = NewCarter();
    GeographicToCarter(*c, k.point, kNAD83);
    const bool onParallel = k.point.x == 85.4321;
    const double phi = (CarterAccess::SectionSouth(*c) + 0.008333333333333333) *
                       0.01745329251994329;
    const double halfFeet =
        (onParallel ? lantrel::detail::MeridianRadius(phi, kNAD83)
                    : lantrel::detail::ParallelRadius(phi, kNAD83)) *
        0.0009543557312641211 / 2;
    EXPECT_EQ(c->FNSL(), k.northSouth);
    EXPECT_EQ(c->FEWL(), k.eastWest);
    if (onParallel) {
      EXPECT_NEAR(c->FNSL() == "FSL" ? c->FSL() : c->FNL(), halfFeet, 1e-6);
    } else {
      EXPECT_NEAR(c->FEWL() == "FWL" ? c->FWL() : c->FEL(), halfFeet, 1e-6);
    }
  }
}

TEST(CarterConversion, RandomRoundTrips) {
  std::mt19937_64 rng(20061023);
  std::uniform_real_distribution<double> lon(kWindowEast, kWindowWest);
  std::uniform_real_distribution<double> lat(kWindowSouth, kWindowNorth);
  double worst = 0.0;
  auto c = NewCarter();
  for (int i = 0; i < 50000; ++i) {
    const Pair p{lon(rng), lat(rng)};
    const std::int32_t datum = i % 2;
    GeographicToCarter(*c, p, datum);
    ASSERT_GE(c->Section(), 1);
    ASSERT_FALSE(c->Letter().empty());
    // Calls never exceed half a section.
    ASSERT_LE(c->FNL() + c->FSL(), 3040.0);
    ASSERT_LE(c->FEL() + c->FWL(), 3040.0);
    const Pair back = CarterToGeographic(*c, datum);
    worst = std::max({worst, std::fabs(back.x - p.x), std::fabs(back.y - p.y)});
    ASSERT_NEAR(back.x, p.x, 1e-9) << i;
    ASSERT_NEAR(back.y, p.y, 1e-9) << i;
  }
  RecordProperty("worst_round_trip_degrees", testing::PrintToString(worst));
  EXPECT_LT(worst, 1e-12);
}

#ifdef LANTREL_HAVE_PROJ
TEST(CarterConversion, CallsAgreeWithGeodesicArcs) {
  // The calls are arcs of the meridian through the point and of the section's middle
  // parallel, both with the radii of the middle latitude. Against the geodesic between the
  // same points, the meridian call is off by at most M' h^2 / 8 (h one minute of arc), about
  // 0.0021 ft in this window; the parallel call agrees to far less.
  const struct {
    std::int32_t datum;
    double a;
    double f;
  } ellipsoids[] = {{kNAD83, 6378137.0, 1 / 298.257222101}, {kNAD27, 6378206.4, 1 / 294.978698214}};
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> lon(kWindowEast, kWindowWest);
  std::uniform_real_distribution<double> lat(kWindowSouth, kWindowNorth);
  constexpr double kFeetPerMetre = 3937.0 / 1200.0;
  double worstNorthSouth = 0.0;
  double worstEastWest = 0.0;
  for (const auto& e : ellipsoids) {
    geod_geodesic g;
    geod_init(&g, e.a, e.f);
    for (int i = 0; i < 2000; ++i) {
      const Pair p{lon(rng), lat(rng)};
      auto c = NewCarter();
      GeographicToCarter(*c, p, e.datum);
      const double south = CarterAccess::SectionSouth(*c);
      const double west = CarterAccess::SectionWest(*c);
      const double middle = south + 1 / 120.0;
      double s12 = 0;
      geod_inverse(&g, south, -p.x, p.y, -p.x, &s12, nullptr, nullptr);
      const double fromSouth = s12 * kFeetPerMetre;
      geod_inverse(&g, south, -p.x, south + 1 / 60.0, -p.x, &s12, nullptr, nullptr);
      const double height = s12 * kFeetPerMetre;
      geod_inverse(&g, middle, -west, middle, -p.x, &s12, nullptr, nullptr);
      const double fromWest = s12 * kFeetPerMetre;
      geod_inverse(&g, middle, -west, middle, -(west - 1 / 60.0), &s12, nullptr, nullptr);
      const double width = s12 * kFeetPerMetre;
      const double ns = c->FNSL() == "FSL" ? c->FSL() : height - c->FNL();
      const double ew = c->FEWL() == "FWL" ? c->FWL() : width - c->FEL();
      ASSERT_NEAR(ns, fromSouth, 0.0025) << p.x << " " << p.y;
      ASSERT_NEAR(ew, fromWest, 1e-5) << p.x << " " << p.y;
      worstNorthSouth = std::max(worstNorthSouth, std::fabs(ns - fromSouth));
      worstEastWest = std::max(worstEastWest, std::fabs(ew - fromWest));
    }
  }
  RecordProperty("worst_north_south_feet", testing::PrintToString(worstNorthSouth));
  RecordProperty("worst_east_west_feet", testing::PrintToString(worstEastWest));
}
#endif

// The same object seen through its position.
TEST(CarterThroughPosition, ConvertFillsAndReadsThePositionsCarter) {
  for (const std::int32_t datum : {kNAD83, kNAD27}) {
    lantrel::ZrGeoPosition p;
    p.Datum(datum);
    p.x(-85.4321);
    p.y(37.1234);
    std::int32_t carterCode = static_cast<std::int32_t>(lantrel::zrGeoProjection::zrCarter);
    ASSERT_EQ(p.Convert(nullptr, &carterCode, nullptr), 0);
    auto c = p.Carter();
    EXPECT_EQ(c->LocationString(), "H49-11 2452-FSL 360-FWL");
    EXPECT_FALSE(Changed(*c));
    EXPECT_NEAR(c->FSL(), datum == kNAD83 ? 2451.65 : 2451.60, 0.005);

    // Editing the object moves the position: the next conversion reads the new location.
    c->Section(13);
    EXPECT_TRUE(Changed(*c));
    std::int32_t geographic = static_cast<std::int32_t>(lantrel::zrGeoProjection::zrGeographic);
    ASSERT_EQ(p.Convert(nullptr, &geographic, nullptr), 0);
    EXPECT_FALSE(Changed(*c));
    EXPECT_EQ(p.Datum(), static_cast<lantrel::zrGeoDatum>(datum));
    EXPECT_NEAR(p.x(), 85.4321 + 2 / 60.0, 1e-9);  // two columns west, same call
    EXPECT_NEAR(p.y(), 37.1234, 1e-9);

    // And back to Carter form gives the edited location.
    ASSERT_EQ(p.Convert(nullptr, &carterCode, nullptr), 0);
    EXPECT_EQ(c->LocationString(), "H49-13 2452-FSL 360-FWL");
  }
}

TEST(CarterThroughPosition, OutsideTheWindowAndTheClearedObject) {
  lantrel::ZrGeoPosition p;
  p.x(80.0);
  p.y(37.0);
  std::int32_t carterCode = static_cast<std::int32_t>(lantrel::zrGeoProjection::zrCarter);
  EXPECT_EQ(p.Convert(nullptr, &carterCode, nullptr), 0);
  EXPECT_EQ(p.Projection(), lantrel::zrGeoProjection::zrCarter);
  EXPECT_EQ(p.Carter()->Letter(), "");
  EXPECT_TRUE(Changed(*p.Carter()));
  // The cleared object is the point (0, 0).
  std::int32_t geographic = static_cast<std::int32_t>(lantrel::zrGeoProjection::zrGeographic);
  EXPECT_EQ(p.Convert(nullptr, &geographic, nullptr), 0);
  EXPECT_EQ(p.x(), 0.0);
  EXPECT_EQ(p.y(), 0.0);

  // A position given a fresh object reads it as (0, 0) too.
  lantrel::ZrGeoPosition q;
  q.Projection(lantrel::zrGeoProjection::zrCarter);
  q.Carter(nullptr);
  EXPECT_FALSE(q.InBounds());
  EXPECT_EQ(q.x(), 0.0);
  EXPECT_EQ(q.y(), 0.0);
  ASSERT_NE(q.Carter(), nullptr);
  EXPECT_FALSE(Changed(*q.Carter()));
}

TEST(CarterThroughPosition, ObjectSharedBetweenPositions) {
  lantrel::ZrGeoPosition a;
  lantrel::ZrGeoPosition b;
  a.x(85.0);
  a.y(37.0);
  std::int32_t carterCode = static_cast<std::int32_t>(lantrel::zrGeoProjection::zrCarter);
  ASSERT_EQ(a.Convert(nullptr, &carterCode, nullptr), 0);
  EXPECT_EQ(a.Carter()->LocationString(), "G55-25 0-FSL 0-FWL");
  b.Projection(lantrel::zrGeoProjection::zrCarter);
  b.Carter(a.Carter());
  SetChanged(*b.Carter(), true);
  EXPECT_TRUE(b.InBounds());
  EXPECT_NEAR(b.x(), 85.0, 1e-12);
  EXPECT_NEAR(b.y(), 37.0, 1e-12);
}

}  // namespace
