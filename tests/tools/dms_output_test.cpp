// convert --dms end to end: plain lines, CSV, JSON and vector fields written in degrees,
// minutes and seconds agree with the library's own conversion, read back as input, and the
// option is refused where it cannot apply.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "lantrel/angle_text.hpp"
#include "lantrel/lantrel.hpp"
#include "tool_runner.hpp"

namespace lantrel::testing {
namespace {

// North zone points (US feet) and the names that follow them on each line.
struct PlanePoint {
  double x, y;
  const char* name;
};
constexpr PlanePoint kPoints[] = {
    {1640416.667, 100000.0, "centre"},
    {1500000.0, 250000.0, "frankfort"},
    {2100000.0, 60000.0, "east"},
    {1100000.0, 330000.0, "west"},
};

std::pair<double, double> LibraryGeo(const PlanePoint& p) {
  ZrGeoPosition pos;
  pos.Projection(zrGeoProjection::zrNorthZone);
  pos.Units(zrGeoUnits::zrUSFt);
  pos.x(p.x);
  pos.y(p.y);
  pos.ConvertTo(zrGeoDatum::zrNAD83, zrGeoProjection::zrGeographic, zrGeoUnits::zrDecimalDegrees);
  return {-pos.x(), pos.y()};  // the library holds west longitudes positive
}

std::string PlaneInput(const char* separator) {
  std::string text;
  for (const auto& p : kPoints) {
    char line[96];
    std::snprintf(line, sizeof line, "%.3f%s%.3f %s\n", p.x, separator, p.y, p.name);
    text += line;
  }
  return text;
}

// Reads a written angle back and checks it against the library's value to the written seconds.
void ExpectAngle(std::string_view text, double expected, bool longitude, int decimals) {
  SCOPED_TRACE(std::string(text));
  const lantrel::AngleParse r = lantrel::ParseAngle(text);
  ASSERT_TRUE(r.angle) << r.error;
  EXPECT_EQ(r.angle->NamesLongitude(), longitude);
  EXPECT_TRUE(r.angle->sexagesimal);
  EXPECT_NEAR(r.angle->degrees, expected, 0.5 * std::pow(10.0, -decimals) / 3600.0 + 1e-12);
  // Exactly the requested number of second decimals.
  const auto dot = text.find('.');
  if (decimals == 0) {
    EXPECT_EQ(dot, std::string_view::npos);
  } else {
    ASSERT_NE(dot, std::string_view::npos);
    const auto mark = text.find("\xE2\x80\xB3", dot);  // ″
    EXPECT_EQ(mark - dot - 1, static_cast<std::size_t>(decimals));
  }
}

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const auto end = line.find(separator, start);
    parts.push_back(line.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

class DmsConvert : public ::testing::Test {
 protected:
  void SetUp() override { LANTREL_REQUIRE(LibraryProjects(), "plane projections"); }
};

TEST_F(DmsConvert, PlainLinesKeepSeparatorsAndTheRest) {
  struct Case {
    std::vector<std::string> options;
    const char* separator;
    int decimals;
  } cases[] = {
      {{}, " ", 5},
      {{"-p", "2"}, ",", 2},
      {{"-p", "0", "--west-positive"}, ";", 0},
      {{"-p", "12"}, "\t", 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.decimals);
    std::vector<std::string> args = {"convert", "-f", "north", "-t", "geo", "--dms"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const auto r = RunTool(args, PlaneInput(c.separator));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), std::size(kPoints));
    for (std::size_t i = 0; i < lines.size(); ++i) {
      SCOPED_TRACE(lines[i]);
      const auto [lon, lat] = LibraryGeo(kPoints[i]);
      // Written angles hold no blank, comma or semicolon: the line is longitude, the input's
      // separator, latitude, then the rest of the input line as it was.
      const std::string& line = lines[i];
      const auto sep = line.find(c.separator);
      ASSERT_NE(sep, std::string::npos);
      const std::string tail = " " + std::string(kPoints[i].name);
      ASSERT_GT(line.size(), sep + 1 + tail.size());
      EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
      ExpectAngle(std::string_view(line).substr(0, sep), lon, true, c.decimals);
      ExpectAngle(std::string_view(line).substr(sep + 1, line.size() - sep - 1 - tail.size()), lat,
                  false, c.decimals);
    }
  }
}

TEST_F(DmsConvert, WrittenAnglesConvertBackToThePlanePoints) {
  const auto there = RunTool({"convert", "-f", "north", "-t", "geo", "--dms", "-p", "6"}, PlaneInput(" "));
  ASSERT_EQ(there.status, 0) << there.err;
  const auto back = RunTool({"convert", "-f", "geo", "-t", "north", "-p", "4"}, there.out);
  ASSERT_EQ(back.status, 0) << back.err;
  const auto lines = Lines(back.out);
  ASSERT_EQ(lines.size(), std::size(kPoints));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    double x = 0, y = 0;
    ASSERT_EQ(std::sscanf(lines[i].c_str(), "%lf %lf", &x, &y), 2) << lines[i];
    // 0.000001″ is 0.03 mm: the round trip lands within a tenth of a millimetre.
    EXPECT_NEAR(x, kPoints[i].x, 3e-4) << lines[i];
    EXPECT_NEAR(y, kPoints[i].y, 3e-4) << lines[i];
    EXPECT_NE(lines[i].find(kPoints[i].name), std::string::npos);
  }
}

TEST_F(DmsConvert, CsvAndJsonHoldTheAnglesAsText) {
  std::string csv = "id,x,y,note\n";
  for (const auto& p : kPoints) {
    char line[96];
    std::snprintf(line, sizeof line, "%s,%.3f,%.3f,\"a, b\"\n", p.name, p.x, p.y);
    csv += line;
  }
  const auto r = RunTool({"convert", "--csv", "-f", "north", "-t", "geo", "--dms", "--keep"}, csv);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), std::size(kPoints) + 1);
  EXPECT_EQ(lines[0], "id,x,y,lon,lat,note");
  for (std::size_t i = 0; i < std::size(kPoints); ++i) {
    const auto cells = Split(lines[i + 1], ',');
    ASSERT_EQ(cells.size(), 7u) << lines[i + 1];  // the quoted note holds a comma
    const auto [lon, lat] = LibraryGeo(kPoints[i]);
    ExpectAngle(cells[3], lon, true, 5);
    ExpectAngle(cells[4], lat, false, 5);
  }

  const auto j = RunTool({"convert", "--csv", "--json", "-f", "north", "-t", "geo", "--dms"}, csv);
  ASSERT_EQ(j.status, 0) << j.err;
  const auto records = Lines(j.out);
  ASSERT_EQ(records.size(), std::size(kPoints));
  const auto [lon, lat] = LibraryGeo(kPoints[0]);
  const auto field = [&](const std::string& name) {
    const auto at = records[0].find("\"" + name + "\":\"");
    EXPECT_NE(at, std::string::npos) << records[0];
    const auto start = at + name.size() + 4;
    return records[0].substr(start, records[0].find('"', start) - start);
  };
  ExpectAngle(field("lon"), lon, true, 5);
  ExpectAngle(field("lat"), lat, false, 5);
}

TEST(DmsOptions, RefusedWhereNoAnglesAreWritten) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"convert", "-f", "geo", "-t", "north", "--dms"}, "target system must be geographic"},
      {{"convert", "-f", "geo", "-t", "carter", "--dms"}, "target system must be geographic"},
      {{"convert", "-f", "north", "-t", "geo", "--dms", "-p", "13"}, "precision"},
      {{"locate", "--dms"}, "--dms"},
      // Accepted for a vector file: the job goes on to its input (or says it has no GDAL).
      {{"convert", "-f", "north", "-t", "geo", "--dms", "-o", ScratchDir() + "/x.gpkg",
        ScratchDir() + "/missing.csv"},
#ifdef LANTREL_HAVE_GDAL
       "missing.csv"},
#else
       "built without GDAL"},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const auto r = RunTool(c.args, "1640416.667 100000\n");
    EXPECT_EQ(r.status, 2) << r.out;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace lantrel::testing
