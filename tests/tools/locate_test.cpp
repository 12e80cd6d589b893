// End-to-end runs of lantrel locate against the reference data file of the build.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "lantrel/location_fields.hpp"
#include "tool_runner.hpp"

namespace lantrel::testing {
namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class Locate : public ::testing::Test {
 protected:
  void SetUp() override { LANTREL_REQUIRE(LibraryHasData(), "the reference data file"); }
};

// The columns locate appends to a plain line, after the line itself.
std::vector<std::string> Appended(const std::string& out) {
  std::vector<std::string> columns;
  std::string line = out.substr(0, out.find('\n'));
  std::size_t start = line.find('\t');
  while (start != std::string::npos) {
    const std::size_t end = line.find('\t', start + 1);
    columns.push_back(line.substr(start + 1, end == std::string::npos ? end : end - start - 1));
    start = end;
  }
  return columns;
}

TEST_F(Locate, AppendsStateCountyZoneQuadrangleAndCarterColumns) {
  struct Case {
    const char* point;
    // state, state_fips, county, county_fips, sp_zone, quad, quad_tile, quad_state, geoid
    std::vector<std::string> columns;
  } cases[] = {
      {"-84.8733 38.2009",
       {"Kentucky", "21", "Franklin", "073", "North", "Frankfort East", "38084-B7", "KY",
        "21073"}},
      // A vertex shared by two county outlines, and one shared by three.
      {"-85.481894 37.127835",
       {"Kentucky", "21", "Adair;Green", "001;087", "South;South", "Gresham", "37085-B4", "KY",
        "21001;21087"}},
      {"-85.352771 37.192432",
       {"Kentucky", "21", "Adair;Green;Taylor", "001;087;217", "South;South;South", "Cane Valley",
        "37085-B3", "KY", "21001;21087;21217"}},
      // A quadrangle corner and a quadrangle edge.
      {"-84.875 38.25",
       {"Kentucky", "21", "Franklin", "073", "North",
        "Frankfort East;Frankfort West;Switzer;Polsgrove",
        "38084-B7;38084-B8;38084-C7;38084-C8", "KY;KY;KY;KY", "21073"}},
      {"-84.8733 38.25",
       {"Kentucky", "21", "Franklin", "073", "North", "Frankfort East;Switzer",
        "38084-B7;38084-C7", "KY;KY", "21073"}},
      // Inside a neighbouring state: no Kentucky county.
      {"-87.5711 37.9716",
       {"Indiana", "18", "", "", "", "Evansville South", "37087-H5", "IN", ""}},
      // Outside the served area: nothing, and no failure.
      {"-80 37", {"", "", "", "", "", "", "", "", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.point);
    const auto r = RunTool({"locate"}, std::string(c.point) + " label\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with(std::string(c.point) + " label\t")) << r.out;
    auto columns = Appended(r.out);
    ASSERT_EQ(columns.size(), 10u) << r.out;
    columns.erase(columns.begin() + 8);  // the Carter location, checked below
    EXPECT_EQ(columns, c.columns);
  }
  // The Carter column: the location in the default layout, or the ZGS one; empty off the grid.
  EXPECT_EQ(Appended(RunTool({"locate"}, "-84.8733 38.2009\n").out)[8], "U56-13 328-FSL 1906-FEL");
  EXPECT_EQ(Appended(RunTool({"locate", "--zgs"}, "-84.8733 38.2009\n").out)[8],
            " 328 FSL 1906 FEL 13- U-56");
  EXPECT_EQ(Appended(RunTool({"locate"}, "-80 37\n").out)[8], "");
}

TEST_F(Locate, TheSamePointInEverySystemFindsTheSameCounty) {
  struct Case {
    const char* from;
    const char* point;
  } cases[] = {
      {"geo", "-84.8733 38.2009"},
      {"geo", "84.8733 38.2009"},  // positive west longitude
      {"north/nad27", "1820865.956 255814.792"},
      {"EPSG:26779", "1820865.956,255814.792"},
      {"utm16", "686218.204 4230243.499"},
      {"carter", "U56-13 328-FSL 1906-FEL"},
      {"carter", " 328 FSL 1906 FEL 13- U-56"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    const auto r = RunTool({"locate", "--from", c.from}, std::string(c.point) + "\n");
    EXPECT_EQ(r.status, 0) << r.err;
    const auto columns = Appended(r.out);
    ASSERT_EQ(columns.size(), 10u) << r.out;
    EXPECT_EQ(columns[0] + " " + columns[2] + " " + columns[4], "Kentucky Franklin North");
  }
}

TEST_F(Locate, JsonHeaderCommentsAndFailures) {
  const auto j = RunTool({"locate", "--json"}, "# towns\n-85.481894 37.127835\n\nnot a point\n");
  EXPECT_EQ(j.status, 1);
  EXPECT_EQ(Lines(j.out),
            (std::vector<std::string>{
                R"({"line":2,"states":[{"name":"Kentucky","fips":21,"fips_text":"21"}],"counties":[{"name":"Adair",)"
                R"("fips":1,"fips_text":"001","geoid":"21001","zone":"South"},{"name":"Green",)"
                R"("fips":87,"fips_text":"087","geoid":"21087","zone":"South"}],)"
                R"("quads":[{"name":"Gresham","state":"KY","tile":"37085-B4"}],)"
                R"("carter":"H49-14 2002-FNL 420-FWL"})",
                R"({"line":4,"error":"cannot read x value 'not'"})"}));
  EXPECT_EQ(j.err, "4: cannot read x value 'not'\n");

  const auto t = RunTool({"locate", "--header", "--strict"}, "# towns\n\nbad\n-84.8733 38.2009\n");
  EXPECT_EQ(t.status, 1);
  EXPECT_EQ(t.out,
            "# point\tstate\tstate_fips\tcounty\tcounty_fips\tsp_zone\tquad\tquad_tile\t"
            "quad_state\tcarter\tgeoid\n# towns\n\n");
  EXPECT_EQ(t.err, "3: missing y value\n");
}

// A record with more fields than the header fails in CSV and JSON output alike (before,
// CSV shifted the added fields and JSON dropped the extra ones); a point outside the served
// area keeps the expected output free of reference data.
TEST_F(Locate, RecordsWithMoreFieldsThanTheHeaderFail) {
  std::string header = "x;y;n";
  std::string empty = ";;";
  std::string json;
  for (const auto name : lantrel::kLocationFieldNames) {
    header += ";" + std::string(name);
    empty += ";";
    json += ",\"" + std::string(name) + "\":\"\"";
  }
  const std::string input = "x;y;n\n-80.5;37.5;a;extra\n-80.5;37.5;b\n";
  const std::string err = "2: the record has 4 fields, the header 3\n";
  const auto csv = RunTool({"locate", "--csv"}, input);
  EXPECT_EQ(csv.out, header + "\n" + empty + "\n-80.5;37.5;b" + empty.substr(2) + "\n");
  EXPECT_EQ(csv.err, err);
  EXPECT_EQ(csv.status, 1);
  const auto js = RunTool({"locate", "--csv", "--json"}, input);
  EXPECT_EQ(js.out, "{\"line\":2,\"error\":\"the record has 4 fields, the header 3\"}\n"
                    "{\"line\":3,\"x\":\"-80.5\",\"y\":\"37.5\",\"n\":\"b\"" + json + "}\n");
  EXPECT_EQ(js.err, err);
  EXPECT_EQ(js.status, 1);
}

TEST_F(Locate, VerboseNamesTheDataFileAndDataNamesAFolder) {
  const std::string data = std::string(LANTREL_BINARY_DIR) + "/bin/lantrel.bin";
  if (!std::filesystem::exists(data)) FAIL() << "the build made no " << data;
  const auto v = RunTool({"locate", "-v"}, "-84.8733 38.2009\n");
  EXPECT_TRUE(Contains(v.err, "lantrel: data file: ")) << v.err;
  EXPECT_TRUE(Contains(v.err, "lantrel.bin\n")) << v.err;

  // A copy of the program away from the data file, told where it is.
  const std::string dir = ScratchDir() + "/elsewhere";
  std::filesystem::create_directories(dir);
  const std::string program = dir + "/lantrel";
  std::filesystem::copy_file(ToolPath(), program, std::filesystem::copy_options::overwrite_existing);
  const std::string folder = std::string(LANTREL_BINARY_DIR) + "/bin";
  RunRequest request{{"locate", "--data", folder, "-v"}, "-84.8733 38.2009\n",
               {{"PATH", "/nonexistent-lantrel-dir"}}, dir, program};
  const auto r = RunTool(request);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.out.starts_with("-84.8733 38.2009\tKentucky\t21\tFranklin\t")) << r.out;
  EXPECT_EQ(r.err, "lantrel: data file: " + folder + "/lantrel.bin\nlantrel: from "
                   "geographic/nad83/deg (geographic longitude/latitude, NAD 83, decimal degrees)\n");
}

}  // namespace
}  // namespace lantrel::testing
