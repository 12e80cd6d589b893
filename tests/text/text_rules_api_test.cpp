// The text rules of every front end through the C interface: angles read (the written forms,
// the ambiguous and malformed ones refused with their reason) and written back, numbers, and
// the coordinate columns of a header; and plain lines split into a pair and the rest.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "lantrel/angle_text.hpp"
#include "lantrel/lantrel.h"

namespace lantrel {
namespace {

constexpr double kLon = -(84.0 + 52.0 / 60.0 + 23.88 / 3600.0);
constexpr double kLat = 38.0 + 12.0 / 60.0 + 3.24 / 3600.0;

// The angle the C interface reads from text, or the description of its refusal.
struct CAngle {
  std::optional<double> degrees;
  char hemisphere = '?';
  bool sexagesimal = false;
  std::string error;
};

CAngle ParseThroughC(const char* text) {
  CAngle r;
  double degrees = 0.0;
  lantrel_bool sexagesimal = 0;
  if (lantrel_angle_parse(text, &degrees, &r.hemisphere, &sexagesimal) == 0) {
    r.degrees = degrees;
    r.sexagesimal = sexagesimal != 0;
  } else {
    r.error = lantrel_last_error_description();
    EXPECT_STREQ(lantrel_last_error_source(), "lantrel:ParseAngle:");
  }
  return r;
}

// The DMS text the C interface writes, or "error N".
std::string FormatThroughC(double degrees, bool longitude, int32_t decimals) {
  char* out = nullptr;
  const int32_t rc = lantrel_angle_format_dms(degrees, longitude ? LANTREL_TRUE : LANTREL_FALSE,
                                              decimals, &out);
  if (rc != 0) {
    EXPECT_EQ(out, nullptr);
    return "error " + std::to_string(rc);
  }
  std::string text(out);
  lantrel_string_free(out);
  return text;
}

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
    const CAngle r = ParseThroughC(c.text);
    ASSERT_TRUE(r.degrees) << r.error;
    EXPECT_EQ(*r.degrees, c.degrees);
    EXPECT_EQ(r.hemisphere, c.hemisphere);
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
    const CAngle r = ParseThroughC(c.text);
    EXPECT_FALSE(r.degrees);
    // The description quotes the text and gives the reason when there is one.
    EXPECT_EQ(r.error.rfind("cannot read angle '", 0), 0u) << r.error;
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
    EXPECT_EQ(FormatThroughC(c.degrees, c.longitude, c.decimals), c.text);
  }
  // Every written angle reads back within half a unit of its last decimal, as a latitude.
  for (double v = -89.99; v < 90.0; v += 0.6173) {
    const std::string written = FormatThroughC(v, false, 5);
    const CAngle r = ParseThroughC(written.c_str());
    ASSERT_TRUE(r.degrees) << written << " " << r.error;
    EXPECT_TRUE(r.sexagesimal);
    EXPECT_EQ(r.hemisphere, v < 0 ? 'S' : 'N');
    EXPECT_NEAR(*r.degrees, v, 0.5e-5 / 3600.0 + 1e-12) << written;
  }
}

TEST(DmsOutput, ValuesWithoutADmsFormAreRefused) {
  const struct {
    double degrees;
    int32_t decimals;
  } cases[] = {
      {std::numeric_limits<double>::quiet_NaN(), 5},
      {std::numeric_limits<double>::infinity(), 5},
      {-1e9, 5},
      {1e300, 0},
      {84.5, -1},
      {84.5, 13},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.degrees);
    EXPECT_EQ(FormatThroughC(c.degrees, true, c.decimals), "error 5");
    EXPECT_STREQ(lantrel_last_error_source(), "lantrel:FormatDms:");
  }
  // Below the limit the degrees are written whole: no cut digits, no garbage.
  EXPECT_EQ(FormatThroughC(-999999999.5, true, 0),
            "999999999\xC2\xB0" "30\xE2\x80\xB2" "00\xE2\x80\xB3W");
  double degrees = 0.0;
  EXPECT_EQ(lantrel_angle_format_dms(1.0, LANTREL_TRUE, 2, nullptr), 5);
  EXPECT_EQ(lantrel_angle_parse("84W", nullptr, nullptr, nullptr), 5);
  EXPECT_EQ(lantrel_angle_parse("84\xFFW", &degrees, nullptr, nullptr), 5);
  EXPECT_EQ(degrees, 0.0);
}

TEST(NumberText, WholeDecimalNumbersOnly) {
  const struct {
    const char* text;
    std::optional<double> value;
  } cases[] = {
      {"-84.8733", -84.8733}, {"+1e3", 1000.0}, {".5", 0.5},    {"5.", 5.0},
      {"nan", std::nullopt},  {"inf", std::nullopt}, {" 1", std::nullopt},
      {"1,5", std::nullopt},  {"0x10", std::nullopt}, {"1e999", std::nullopt},
      {"", std::nullopt},     {nullptr, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text == nullptr ? "NULL" : c.text);
    double v = -1.0;
    const int32_t rc = lantrel_number_parse(c.text, &v);
    EXPECT_EQ(rc == 0, c.value.has_value()) << lantrel_last_error_description();
    if (c.value) {
      EXPECT_EQ(v, *c.value);
    }
  }
}

// A point on a boundary lists its areas in one field: the tool's rule, through the C call
// Python joins with.
TEST(LocationFieldJoin, AreasJoinedBySemicolonOnceTheFieldHoldsText) {
  const struct {
    std::vector<const char*> texts;
    const char* joined;  // nullptr: refused
  } cases[] = {
      {{}, ""},
      {{"Franklin"}, "Franklin"},
      {{"Franklin", "Scott"}, "Franklin;Scott"},
      {{"A", "B", "C"}, "A;B;C"},
      {{"", "B"}, "B"},
      {{"A", ""}, "A;"},
      {{"A", nullptr}, nullptr},
      {{"\xff"}, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.texts.size());
    char* out = nullptr;
    const int32_t rc = lantrel_location_field_join(c.texts.size(), c.texts.data(), &out);
    if (c.joined == nullptr) {
      EXPECT_EQ(rc, 5);
      EXPECT_EQ(out, nullptr);
      continue;
    }
    ASSERT_EQ(rc, 0) << lantrel_last_error_description();
    EXPECT_STREQ(out, c.joined);
    lantrel_string_free(out);
  }
  EXPECT_EQ(lantrel_location_field_join(1, nullptr, nullptr), 5);
  char* out = nullptr;
  EXPECT_EQ(lantrel_location_field_join(1, nullptr, &out), 5);
}

TEST(CoordinateColumns, UsualNamesAreFoundAndMissingOnesNamed) {
  const struct {
    std::vector<const char*> names;
    const char* x;
    const char* y;
    bool carter;
    int32_t xIndex, yIndex;  // -2: refused, `why` in the message
    const char* why;
  } cases[] = {
      {{"id", "lon", "lat"}, nullptr, nullptr, false, 1, 2, ""},
      {{"Longitude", "LATITUDE", "x"}, nullptr, nullptr, false, 0, 1, ""},
      {{"easting", "northing", "lat", "lng"}, nullptr, nullptr, false, 3, 2, ""},
      {{"X", "x", "y"}, nullptr, nullptr, false, 1, 2, ""},  // an exact match first
      {{"a", "b"}, "B", "a", false, 1, 0, ""},
      {{"a", "lat"}, "a", nullptr, false, 0, 1, ""},  // the named half completes a pair
      {{"well", "Location"}, nullptr, nullptr, true, 1, -1, ""},
      {{"id", "name"}, nullptr, nullptr, false, -2, -2,
       "no coordinate columns (looked for x/y, lon/lat, long/lat, lng/lat, longitude/latitude, "
       "easting/northing, east/north) (columns: id, name)"},
      {{"lon", "b"}, "b", nullptr, false, -2, -2, "no y column (looked for"},
      {{"a", "b"}, "c", nullptr, false, -2, -2, "no x column 'c'"},
      {{"a", "b"}, "a", "A", false, -2, -2, "x and y name the same column 'a'"},
      {{"a"}, nullptr, nullptr, true, -2, -2, "no Carter location column 'carter' or 'location'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    int32_t x = -9, y = -9;
    const int32_t rc = lantrel_coordinate_columns(c.names.size(), c.names.data(), c.x, c.y,
                                                  c.carter ? LANTREL_TRUE : LANTREL_FALSE, &x, &y);
    if (c.xIndex == -2) {
      EXPECT_EQ(rc, 5);
      EXPECT_NE(std::string(lantrel_last_error_description()).find(c.why), std::string::npos)
          << lantrel_last_error_description();
      EXPECT_EQ(x, -9);
    } else {
      EXPECT_EQ(rc, 0) << lantrel_last_error_description();
      EXPECT_EQ(x, c.xIndex);
      EXPECT_EQ(y, c.yIndex);
    }
  }
  const char* withNull[] = {"x", nullptr};
  int32_t x = 0, y = 0;
  EXPECT_EQ(lantrel_coordinate_columns(2, withNull, nullptr, nullptr, LANTREL_FALSE, &x, &y), 5);
  EXPECT_EQ(lantrel_coordinate_columns(1, nullptr, nullptr, nullptr, LANTREL_FALSE, &x, &y), 5);
}

}  // namespace
}  // namespace lantrel
