// Carter locations as arrays through the C interface: every point as a position converts it,
// the failures each point reports, and the text read back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "lantrel/carter.hpp"
#include "lantrel/lantrel.h"
#include "lantrel/position.hpp"

namespace {

using Datum = lantrel::zrGeoDatum;
using Projection = lantrel::zrGeoProjection;
using Units = lantrel::zrGeoUnits;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// What one position says for a point: its location string, empty outside the grid.
std::string PositionLocation(double lon, double lat, Datum d, bool zgs) {
  lantrel::ZrGeoPosition p;
  p.Datum(d);
  p.x(lon);
  p.y(lat);
  p.ConvertTo(d, Projection::zrCarter, Units::zrDecimalDegrees);
  return p.Carter()->LocationString(zgs);
}

// Points across the grid, on its edges and just outside it, both signs of longitude.
std::vector<std::pair<double, double>> GridPoints() {
  std::vector<std::pair<double, double>> points = {
      {-85.4321, 37.1234}, {85.4321, 37.1234}, {-81.91666666666667, 36.5},
      {-89.58333333333333, 39.25}, {-85.0, 38.0}, {-84.5, 37.75}, {-81.9, 37.0},
      {-89.6, 37.0}, {-85.0, 39.3}, {-85.0, 36.49}, {-83.25, 38.999999999999},
  };
  for (int i = 0; i < 60; ++i) {
    points.push_back({-(81.92 + 7.66 * ((i * 37) % 60) / 60.0), 36.5 + 2.75 * i / 60.0});
  }
  return points;
}

TEST(CarterLocationsApi, StringsEqualThePositionsInBothLayoutsAndDatums) {
  const auto points = GridPoints();
  std::vector<double> lon, lat;
  for (const auto& [x, y] : points) {
    lon.push_back(x);
    lat.push_back(y);
  }
  for (const Datum d : {Datum::zrNAD83, Datum::zrNAD27}) {
    for (const bool zgs : {false, true}) {
      std::vector<char*> out(points.size());
      std::vector<int32_t> status(points.size(), -7);
      ASSERT_EQ(lantrel_carter_format_locations(static_cast<int32_t>(d), zgs ? LANTREL_TRUE : 0,
                                                points.size(), lon.data(), lat.data(),
                                                out.data(), status.data()),
                0);
      int outside = 0;
      for (std::size_t i = 0; i < points.size(); ++i) {
        SCOPED_TRACE(std::to_string(lon[i]) + " " + std::to_string(lat[i]));
        const std::string expected = PositionLocation(lon[i], lat[i], d, zgs);
        if (expected.empty()) {
          ++outside;
          EXPECT_EQ(status[i], LANTREL_E_INVALID_ARGUMENT);
          EXPECT_EQ(out[i], nullptr);
        } else {
          EXPECT_EQ(status[i], 0);
          ASSERT_NE(out[i], nullptr);
          EXPECT_EQ(std::string(out[i]), expected);
        }
        lantrel_string_free(out[i]);
      }
      EXPECT_EQ(outside, 4);
    }
  }
}

TEST(CarterLocationsApi, ReadingBackReturnsThePointWithinTheFootageRounding) {
  const auto points = GridPoints();
  for (const Datum d : {Datum::zrNAD83, Datum::zrNAD27}) {
    for (const bool zgs : {false, true}) {
      std::vector<std::string> texts;
      std::vector<std::pair<double, double>> originals;
      for (const auto& [x, y] : points) {
        const std::string t = PositionLocation(x, y, d, zgs);
        if (t.empty()) continue;
        texts.push_back(t);
        originals.push_back({x, y});
      }
      std::vector<const char*> in;
      for (const auto& t : texts) in.push_back(t.c_str());
      std::vector<double> lon(in.size()), lat(in.size());
      std::vector<int32_t> status(in.size(), -7);
      ASSERT_EQ(lantrel_carter_read_locations(static_cast<int32_t>(d), LANTREL_FALSE, in.size(),
                                              in.data(), lon.data(), lat.data(), status.data()),
                0);
      EXPECT_EQ(lantrel_last_error_number(), 0);
      for (std::size_t i = 0; i < in.size(); ++i) {
        SCOPED_TRACE(texts[i]);
        ASSERT_EQ(status[i], 0);
        // Half a foot of rounding in each call is under 2e-6 degree.
        EXPECT_NEAR(-lon[i], std::fabs(originals[i].first), 2e-6);
        EXPECT_NEAR(lat[i], originals[i].second, 2e-6);
        int32_t st = -7;
        double x = 0, y = 0;
        ASSERT_EQ(lantrel_carter_read_locations(static_cast<int32_t>(d), LANTREL_TRUE, 1, &in[i],
                                                &x, &y, &st),
                  0);
        EXPECT_EQ(st, 0);
        EXPECT_EQ(x, -lon[i]);
        EXPECT_EQ(y, lat[i]);
        EXPECT_LT(lon[i], 0.0);
      }
    }
  }
}

TEST(CarterLocationsApi, EachFailingPointHasItsStatusAndTheFirstIsRecorded) {
  const char* texts[] = {
      "D45-07 1200-FNL 350-FWL",   "D45-07 1200-FNL",           "D93-07 1200-FNL 350-FWL",
      "D45-26 1200-FNL 350-FWL",   "HI45-07 1200-FNL 350-FWL",  "D45-07 1200-FNL 350-FWLX",
      "D45-07 1200-FNL 350-FWL x", nullptr,                     "1200 FNL  350 FWL 07- D-45",
      "  HH45-07 10-FSL 20-FWL  ", "D45-07 1200-FNL 1200-FSL",
  };
  const int32_t expected[] = {0, 5, LANTREL_E_INVALID_CARTER_NUMBER, LANTREL_E_INVALID_CARTER_SECTION,
                              LANTREL_E_INVALID_CARTER_LETTER, 5, 5, 5, 0, 0, 5};
  constexpr std::size_t n = sizeof texts / sizeof texts[0];
  double lon[n], lat[n];
  int32_t status[n];
  ASSERT_EQ(lantrel_carter_read_locations(0, LANTREL_FALSE, n, texts, lon, lat, status), 0);
  for (std::size_t i = 0; i < n; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(status[i], expected[i]);
    EXPECT_EQ(std::isnan(lon[i]), status[i] != 0);
    EXPECT_EQ(std::isnan(lat[i]), status[i] != 0);
  }
  EXPECT_EQ(lantrel_last_error_number(), 5);
  EXPECT_STREQ(lantrel_last_error_source(), "lantrel:CarterLocations:");
  EXPECT_NE(std::string(lantrel_last_error_description()).find("footage call"), std::string::npos);
  // Both layouts of one location name the same point.
  EXPECT_EQ(lon[0], lon[8]);
  EXPECT_EQ(lat[0], lat[8]);
  EXPECT_GT(lat[9], 39.25);
}

TEST(CarterLocationsApi, GeographicRangeAndArgumentsAreChecked) {
  const double lon[] = {-85.0, kNaN, -85.0, -181.0, kInf, -85.0};
  const double lat[] = {91.0, 37.0, kNaN, 37.0, 37.0, 37.5};
  constexpr std::size_t n = 6;
  char* out[n];
  int32_t status[n];
  ASSERT_EQ(lantrel_carter_format_locations(0, 0, n, lon, lat, out, status), 0);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    EXPECT_EQ(status[i], 5) << i;
    EXPECT_EQ(out[i], nullptr);
  }
  EXPECT_EQ(status[5], 0);
  lantrel_string_free(out[5]);
  EXPECT_NE(std::string(lantrel_last_error_description()).find("latitude 91 is out of range"),
            std::string::npos)
      << lantrel_last_error_description();

  EXPECT_EQ(lantrel_carter_format_locations(0, 0, 0, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(lantrel_carter_format_locations(0, 0, 1, lon, nullptr, out, status), 5);
  EXPECT_EQ(lantrel_carter_format_locations(2, 0, 1, lon, lat, out, status), LANTREL_E_INVALID_DATUM);
  EXPECT_EQ(lantrel_carter_read_locations(0, 0, 0, nullptr, nullptr, nullptr, nullptr), 0);
  double x = 0, y = 0;
  EXPECT_EQ(lantrel_carter_read_locations(0, 0, 1, nullptr, &x, &y, status), 5);
  EXPECT_EQ(lantrel_carter_read_locations(-1, 0, 0, nullptr, nullptr, nullptr, nullptr),
            LANTREL_E_INVALID_DATUM);
}

}  // namespace
