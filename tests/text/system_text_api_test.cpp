// System names through the C interface: what each text means, what is refused and why, and
// the served EPSG codes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "lantrel/lantrel.h"
#include "lantrel/system_text.hpp"

namespace {

TEST(SystemTextApi, TextsNameTheirSystem) {
  const struct {
    const char* text;
    int32_t projection, datum, units, epsg;
  } cases[] = {
      {"north/nad27/usft", zrNorthZone, zrNAD27, zrUSFt, 0},
      {"geo", zrGeographic, zrNAD83, zrDecimalDegrees, 0},
      {"GEOGRAPHIC/NAD27", zrGeographic, zrNAD27, zrDecimalDegrees, 0},
      {"1/1/1", zrNorthZone, zrNAD27, zrUSFt, 0},
      {"3", zrUTM16, zrNAD83, zrMeters, 0},
      {"zrSouthZone/zrNAD83/zrKilometers", zrSouthZone, zrNAD83, zrKilometers, 0},
      {"tn/nad83", tnSingleZone, zrNAD83, zrUSFt, 0},
      {"carter/nad27", zrCarter, zrNAD27, zrDecimalDegrees, 0},
      {"EPSG:2246", zrNorthZone, zrNAD83, zrUSFt, 2246},
      {"epsg:26916", zrUTM16, zrNAD83, zrMeters, 26916},
      {"EPSG:4267", zrGeographic, zrNAD27, zrDecimalDegrees, 4267},
      // Carter locations are on NAD 27 unless the text names the datum.
      {"carter", zrCarter, zrNAD27, zrDecimalDegrees, 0},
      {"zrCarter", zrCarter, zrNAD27, zrDecimalDegrees, 0},
      {"carter/nad83", zrCarter, zrNAD83, zrDecimalDegrees, 0},
      // WGS 84 longitudes and latitudes read as NAD 83 ones.
      {"EPSG:4326", zrGeographic, zrNAD83, zrDecimalDegrees, 4326},
      {"ogc:crs84", zrGeographic, zrNAD83, zrDecimalDegrees, 4326},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    int32_t p = -1, d = -1, u = -1, e = -1;
    ASSERT_EQ(lantrel_system_parse(c.text, &p, &d, &u, &e), 0) << lantrel_last_error_description();
    EXPECT_EQ(p, c.projection);
    EXPECT_EQ(d, c.datum);
    EXPECT_EQ(u, c.units);
    EXPECT_EQ(e, c.epsg);
    EXPECT_EQ(lantrel_last_error_number(), 0);
  }
  EXPECT_EQ(lantrel_system_parse("north", nullptr, nullptr, nullptr, nullptr), 0);
}

TEST(SystemTextApi, RefusalsGiveFiveWithTheReasonAndLeaveOutputs) {
  const struct {
    const char* text;
    const char* reason;
  } cases[] = {
      {"single/nad27", "single zone exists on NAD 83 only"},
      {"geo/nad83/m", "always in decimal degrees"},
      {"north/nad83/deg", "plane coordinates need a linear unit"},
      {"EPSG:9999", "is not one of the EPSG codes lantrel serves"},
      {"EPSG:22x", "EPSG code must be a number"},
      {"16", "is not a projection"},
      {"north/nad84", "is not a datum"},
      {"north/nad83/yards", "is not a unit"},
      {"north/nad83/usft/x", "expected PROJECTION[/DATUM[/UNITS]]"},
      {"", "is not a projection"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    int32_t p = 77;
    ASSERT_EQ(lantrel_system_parse(c.text, &p, nullptr, nullptr, nullptr), LANTREL_E_INVALID_ARGUMENT);
    EXPECT_EQ(p, 77);
    EXPECT_EQ(lantrel_last_error_number(), LANTREL_E_INVALID_ARGUMENT);
    EXPECT_STREQ(lantrel_last_error_source(), "lantrel:ParseSystem:");
    EXPECT_NE(std::string(lantrel_last_error_description()).find(c.reason), std::string::npos)
        << lantrel_last_error_description();
  }
  EXPECT_EQ(lantrel_system_parse("\xff", nullptr, nullptr, nullptr, nullptr),
            LANTREL_E_INVALID_ARGUMENT);
}

TEST(SystemTextApi, EveryServedCodeRoundTripsThroughTheCalls) {
  int32_t count = 0;
  ASSERT_EQ(lantrel_system_epsg_count(&count), 0);
  ASSERT_EQ(static_cast<std::size_t>(count), lantrel::EpsgTable().size());
  for (int32_t i = 0; i < count; ++i) {
    int32_t code = 0, p = -1, d = -1, u = -1;
    ASSERT_EQ(lantrel_system_epsg_entry(i, &code, &p, &d, &u), 0);
    int32_t back = 0;
    ASSERT_EQ(lantrel_system_epsg(p, d, u, &back), 0);
    EXPECT_EQ(back, code);
    const std::string text = "EPSG:" + std::to_string(code);
    int32_t pp = -1, dd = -1, uu = -1, ee = -1;
    ASSERT_EQ(lantrel_system_parse(text.c_str(), &pp, &dd, &uu, &ee), 0);
    EXPECT_EQ(pp, p);
    EXPECT_EQ(dd, d);
    EXPECT_EQ(uu, u);
    EXPECT_EQ(ee, code);
  }
  EXPECT_EQ(lantrel_system_epsg_entry(count, nullptr, nullptr, nullptr, nullptr), LANTREL_E_SUBSCRIPT);
  EXPECT_EQ(lantrel_system_epsg_entry(-1, nullptr, nullptr, nullptr, nullptr), LANTREL_E_SUBSCRIPT);
  int32_t none = -1;
  EXPECT_EQ(lantrel_system_epsg(zrCarter, zrNAD83, zrDecimalDegrees, &none), 0);
  EXPECT_EQ(none, 0);
  EXPECT_EQ(lantrel_system_epsg(99, 7, -3, &none), 0);
  EXPECT_EQ(none, 0);
  EXPECT_EQ(lantrel_system_epsg(zrNorthZone, zrNAD83, zrUSFt, nullptr), LANTREL_E_INVALID_ARGUMENT);
}

TEST(SystemTextApi, DescribeNamesTheSystem) {
  char* text = nullptr;
  ASSERT_EQ(lantrel_system_describe(zrNorthZone, zrNAD83, zrUSFt, 2246, &text), 0);
  EXPECT_STREQ(text, "EPSG:2246 = north/nad83/usft (Kentucky North zone, NAD 83, US survey feet)");
  lantrel_string_free(text);
  text = reinterpret_cast<char*>(1);
  EXPECT_EQ(lantrel_system_describe(16, 0, 1, 0, &text), LANTREL_E_INVALID_ARGUMENT);
  EXPECT_EQ(text, nullptr);
}

}  // namespace
