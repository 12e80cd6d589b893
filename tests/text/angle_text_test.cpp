// Degrees, minutes and seconds: the written forms read, the ambiguous forms refused, and the
// output form reading back to the same angle.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "lantrel/angle_text.hpp"

namespace lantrel {
namespace {

constexpr double kLon = -(84.0 + 52.0 / 60.0 + 23.88 / 3600.0);
constexpr double kLat = 38.0 + 12.0 / 60.0 + 3.24 / 3600.0;

TEST(DmsFields, WrittenFormsGiveTheSignedAngle) {
  struct Case {
    const char* text;
    double degrees;
    char hemisphere;
  } cases[] = {
      {"84d52'23.88\"W", kLon, 'W'},
      {"84\xC2\xB0" "52\xE2\x80\xB2" "23.88\xE2\x80\xB3 W", kLon, 'W'},
      {"84\xC2\xB0 52\xE2\x80\xB2 23.88\xE2\x80\xB3W", kLon, 'W'},
      {"84:52:23.88W", kLon, 'W'},
      {"W84 52 23.88", kLon, 'W'},
      {"84 52 23.88 w", kLon, 'W'},
      {"N38 12 03.24", kLat, 'N'},
      {"38 12 3.24 N", kLat, 'N'},
      {"38\xC2\xBA" "12'3.24''N", kLat, 'N'},
      {"S38 12 03.24", -kLat, 'S'},
      {"84 52.398W", -(84.0 + 52.398 / 60.0), 'W'},
      {"84.8733W", -84.8733, 'W'},
      {"N 38.2009", 38.2009, 'N'},
      {"84.5E", 84.5, 'E'},
      // Marks or colons without a letter keep the sign as written, like decimal degrees.
      {"-84d52'23.88\"", kLon, 0},
      {"84:52:23.88", -kLon, 0},
      {"-84.8733", -84.8733, 0},
      {"8.48733e1", 84.8733, 0},
      {" 37.5 ", 37.5, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const AngleParse r = ParseAngle(c.text);
    ASSERT_TRUE(r.angle) << r.error;
    EXPECT_EQ(r.angle->degrees, c.degrees);
    EXPECT_EQ(r.angle->hemisphere, c.hemisphere);
  }
}

TEST(DmsFields, AmbiguousAndMalformedFormsAreRefused) {
  struct Case {
    const char* text;
    const char* why;  // part of the reason; "" = not an angle at all
  } cases[] = {
      {"-84 52 23.88", "need a hemisphere letter"},
      {"84 52 23.88", "need a hemisphere letter"},
      {"38 12", "need a hemisphere letter"},
      {"-84d52'W", "both a sign and a hemisphere letter"},
      {"N38 12 03.24 S", "two hemisphere letters"},
      {"84 61 W", "minutes must be below 60"},
      {"84 52 60 W", "seconds must be below 60"},
      {"84.5 30 W", ""},
      {"84d52.5'23\"W", "only the last"},
      {"84d23\"W", "seconds need minutes"},
      {"84 52 23.88 WEST", ""},
      {"North 38", ""},
      {"nan", ""},
      {"84d52'23.88\"Wx", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const AngleParse r = ParseAngle(c.text);
    EXPECT_FALSE(r.angle);
    EXPECT_NE(r.error.find(c.why), std::string::npos) << r.error;
  }
}

TEST(DmsLines, PairsSplitIntoLongitudeLatitudeAndRest) {
  struct Case {
    const char* line;
    double x, y;
    const char* separator;
    const char* rest;
  } cases[] = {
      {"84d52'23.88\"W 38d12'3.24\"N Frankfort", kLon, kLat, " ", " Frankfort"},
      {"84 52 23.88 W, 38 12 3.24 N", kLon, kLat, ", ", ""},
      {"W84 52 23.88 N38 12 03.24 17", kLon, kLat, " ", " 17"},
      {"W 84 52 23.88 N 38 12 3.24", kLon, kLat, " ", ""},
      {"W 84 52 23.88, N 38 12 3.24 x", kLon, kLat, ", ", " x"},
      {"84:52:23.88W;38:12:03.24N", kLon, kLat, ";", ""},
      {"84.8733W 38.2009N", -84.8733, 38.2009, " ", ""},
      // Decimal lines read as they always were, further columns kept.
      {"-84.8733 38.2009 Frankfort", -84.8733, 38.2009, " ", " Frankfort"},
      {"-84 38", -84.0, 38.0, " ", ""},
      {"-84 38 Frankfort", -84.0, 38.0, " ", " Frankfort"},
      {"-84.0 52 23.88", -84.0, 52.0, " ", " 23.88"},
      {"-85,37.5,12", -85.0, 37.5, ",", ",12"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const AnglePairParse r = SplitAnglePair(c.line);
    ASSERT_TRUE(r.x && r.y) << r.error;
    EXPECT_EQ(r.x->degrees, c.x);
    EXPECT_EQ(r.y->degrees, c.y);
    EXPECT_EQ(r.separator, c.separator);
    EXPECT_EQ(r.rest, c.rest);
  }
}

TEST(DmsLines, UnletteredSexagesimalShapesAreRefusedNotGuessed) {
  struct Case {
    const char* line;
    const char* why;
  } cases[] = {
      {"-84 52 23.88 38 12 3.24", "ambiguous"},
      {"-84 52 23.88", "ambiguous"},
      {"-84 52.398 38 12.054", "ambiguous"},
      {"84 52 23.88W 38 12 3.24", "need a hemisphere letter"},
      {"abc 37.5", "cannot read x value 'abc'"},
      {"-84.5 abc", "cannot read y value 'abc'"},
      {"-84.5", "missing y value"},
      {"", "missing x value"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const AnglePairParse r = SplitAnglePair(c.line);
    EXPECT_FALSE(r.x && r.y);
    EXPECT_NE(r.error.find(c.why), std::string::npos) << r.error;
  }
}

TEST(DmsOutput, WrittenWithCarriesAndReadBack) {
  struct Case {
    double degrees;
    bool longitude;
    int decimals;
    const char* text;
  } cases[] = {
      {kLon, true, 2, "84\xC2\xB0" "52\xE2\x80\xB2" "23.88\xE2\x80\xB3W"},
      {kLat, false, 2, "38\xC2\xB0" "12\xE2\x80\xB2" "03.24\xE2\x80\xB3N"},
      {-kLat, false, 0, "38\xC2\xB0" "12\xE2\x80\xB2" "03\xE2\x80\xB3S"},
      {84.5, true, 1, "84\xC2\xB0" "30\xE2\x80\xB2" "00.0\xE2\x80\xB3" "E"},
      // 59.9999 seconds rounds up into the minutes, 59'59.9999" into the degrees.
      {37.0 + 59.0 / 60.0 + 59.99999 / 3600.0, false, 2,
       "38\xC2\xB0" "00\xE2\x80\xB2" "00.00\xE2\x80\xB3N"},
      {-0.0000000001, true, 3, "0\xC2\xB0" "00\xE2\x80\xB2" "00.000\xE2\x80\xB3" "E"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    char text[kMaxDmsChars];
    const std::string written(text, FormatDms(text, c.degrees, c.longitude, c.decimals));
    EXPECT_EQ(written, c.text);
  }
  // Every written angle reads back within half a unit of its last decimal.
  for (double v = -89.99; v < 90.0; v += 0.6173) {
    char text[kMaxDmsChars];
    const std::string written(text, FormatDms(text, v, false, 5));
    const AngleParse r = ParseAngle(written);
    ASSERT_TRUE(r.angle) << written << " " << r.error;
    EXPECT_NEAR(r.angle->degrees, v, 0.5e-5 / 3600.0 + 1e-12) << written;
  }
}

}  // namespace
}  // namespace lantrel
