// Plain and CSV input are converted in blocks through the library's transformer, plain input
// written as JSON point by point through a position: all must write the same digits and the
// same failures for the same points, across systems, datums, units, block boundaries and
// refused points.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tool_runner.hpp"

namespace lantrel::testing {
namespace {

// Geographic points inside and around the region, as text in the source system (made by the
// tool itself, line by line through CSV, which is not the path under test).
std::string Points(const std::string& system, int count, std::mt19937& random) {
  std::uniform_real_distribution<double> lon(-91.0, -79.0), lat(34.5, 40.5);
  std::string csv = "lon,lat\n";
  char text[64];
  for (int i = 0; i < count; ++i) {
    std::snprintf(text, sizeof text, "%.9f,%.9f\n", lon(random), lat(random));
    csv += text;
  }
  // Window edges, far and swapped points, a point beyond the globe for plane sources.
  csv += "-81.5,36\n-90,39.5\n-81.49999,37\n-100,37\n37.5,-84.5\n";
  const auto r = RunTool({"convert", "--csv", "-f", "geo", "-t", system, "-p", "6", "--accept-distant"}, csv);
  std::string plain;
  for (const auto& line : Lines(r.out)) {
    if (line == "lon,lat" || line == "x,y") continue;
    plain += (line == "," ? std::string("1e15,1e15") : line) + "\n";
  }
  return plain + "1e15,4150000\n-5,100\n";
}

// Routes both block tests take: the first three carry CSV records too.
struct Route {
  std::string from, to;
  std::vector<std::string> extra;
  int points;
};
const Route kRoutes[] = {
    {"geo", "north/nad83/usft", {}, 5000},  // more than one block
    {"north/nad27/usft", "utm16/nad83/m", {}, 300},
    {"utm17/nad83/m", "geo/nad27", {"--west-positive", "-p", "9"}, 300},
};

TEST(BlockConversion, PlainBlocksWriteWhatCsvRecordsWrite) {
  LANTREL_REQUIRE(LibraryProjects(), "plane projections");
  std::vector<Route> cases(std::begin(kRoutes), std::end(kRoutes));
  cases.insert(cases.end(), {
      {"geo/nad27", "tn/nad83/m", {"--accept-distant"}, 300},
      {"in-west/nad27/km", "geo", {"-p", "12"}, 300},
      {"mo-east/nad27/ft", "va-south/nad27/mi", {"-p", "7"}, 300},
      {"south/nad83/m", "south/nad83/m", {}, 300},
  });
  std::mt19937 random(7);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from + " -> " + c.to);
    const std::string plain = Points(c.from, c.points, random);
    std::vector<std::string> args = {"convert", "-f", c.from, "-t", c.to};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const auto blocks = RunTool(args, plain);
    args.push_back("--csv");
    const auto records = RunTool(args, "x,y\n" + plain);
    const auto a = Lines(blocks.out);
    auto b = Lines(records.out);
    ASSERT_FALSE(b.empty());
    b.erase(b.begin());  // the header
    ASSERT_EQ(a.size(), b.size());
    int failed = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (b[i] == ",") {
        EXPECT_EQ(a[i], "") << "line " << i + 1;
        ++failed;
      } else {
        EXPECT_EQ(a[i], b[i]) << "line " << i + 1;
      }
    }
    EXPECT_GT(failed, 0);
    // The same failures, at CSV line numbers one higher (the header).
    std::string shifted;
    for (const auto& line : Lines(blocks.err)) {
      const auto colon = line.find(':');
      shifted += std::to_string(std::stoul(line.substr(0, colon)) + 1) + line.substr(colon) + "\n";
    }
    EXPECT_EQ(shifted, records.err);
    EXPECT_EQ(blocks.status, records.status);
  }
}

// A large plain input goes on in blocks spread over threads: every thread count writes the
// output and messages of one thread; a bad count is a usage error.
TEST(BlockConversion, ThreadCountsWriteTheOneThreadOutput) {
  LANTREL_REQUIRE(LibraryProjects(), "plane projections");
  std::mt19937 random(11);
  std::string plain;
  for (int round = 0; round < 15; ++round) plain += Points("north/nad27/usft", 5000, random);
  const std::vector<std::string> args = {"convert", "-f", "north/nad27/usft", "-t", "utm16"};
  auto one = args;
  one.insert(one.end(), {"--threads", "1"});
  const auto single = RunTool(one, plain);
  ASSERT_FALSE(single.err.empty());
  ASSERT_GT(Lines(single.out).size(), 70000u);
  for (const char* threads : std::initializer_list<const char*>{"0", "2", "3", nullptr}) {
    auto a = args;
    if (threads != nullptr) a.insert(a.end(), {"--threads", threads});
    const auto r = RunTool(a, plain);
    EXPECT_TRUE(r.out == single.out) << (threads ? threads : "default");
    EXPECT_EQ(r.err, single.err);
    EXPECT_EQ(r.status, single.status);
  }
  for (const char* bad : {"-1", "257", "two"}) {
    auto a = args;
    a.insert(a.end(), {"--threads", bad});
    EXPECT_EQ(RunTool(a, "1,2\n").status, 2) << bad;
  }
}

TEST(BlockConversion, StrictStopsAtTheFirstFailureInsideABlock) {
  std::string input;
  for (int i = 0; i < 10; ++i) input += "-84.5 37.5\n";
  input += "-200 37\n-84.5 37.5\n";
  const auto r = RunTool({"convert", "-f", "geo", "-t", "geo", "-p", "1", "--strict"}, input);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Lines(r.out).size(), 10u);
  EXPECT_EQ(r.err, "11: longitude -200 is out of range (-180 to 180)\n");
}

// CSV records go through blocks too; plain lines written as JSON still go point by point, and
// a CSV record written as JSON is the same object one line further down.
TEST(BlockConversion, CsvBlocksWriteWhatThePointPathWrites) {
  LANTREL_REQUIRE(LibraryProjects(), "plane projections");
  std::mt19937 random(11);
  for (const auto& c : kRoutes) {
    SCOPED_TRACE(c.from + " -> " + c.to);
    const std::string plain = Points(c.from, c.points, random);
    std::vector<std::string> args = {"convert", "--json", "-f", c.from, "-t", c.to};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const auto points = RunTool(args, plain);
    args.push_back("--csv");
    std::string csv = "x,y\n" + plain;
    for (char& ch : csv) {
      if (ch == ' ') ch = ',';
    }
    const auto records = RunTool(args, csv);
    const auto a = Lines(points.out);
    const auto b = Lines(records.out);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
      const std::string shifted = "{\"line\":" + std::to_string(i + 2) + a[i].substr(a[i].find(','));
      EXPECT_EQ(shifted, b[i]) << "line " << i + 1;
    }
    EXPECT_EQ(points.status, records.status);
  }
}

// CSV records as the tool wrote them record by record before they went through blocks: quoted
// and blank-padded values, failing, short, long and malformed records, a record over two
// lines, comments and blank lines, CRLF line ends and --strict, byte for byte.
TEST(BlockConversion, CsvBlocksKeepTheRecordByRecordBytes) {
  const std::string kEdge =
      "# comment before header\r\n"
      "\r\n"
      "id,\"lon\",lat,note\r\n"
      "1,-84.8733,38.2009,plain\r\n"
      "2,\" -84.8733 \",\"38.2009\",\"quoted, with comma\"\r\n"
      "3,-84.8733,,missing y\r\n"
      "4,abc,38.2,bad x\r\n"
      "5,-84.8733,38.2009,\"multi\r\n"
      "line\"\r\n"
      "6,-84.8733\r\n"
      "7,-84,8733,38.2,too many\r\n"
      "\r\n"
      "8,84.8733,38.2009,positive west\r\n"
      "9,+84.8733,38.2009,plus\r\n"
      "10,-8.48733e1,38.2009,exp\r\n"
      "11,84d52'23.88\"W,38.2,dms\r\n"
      "12,-120.5,38.2,far\r\n"
      "13,-84.87,99,lat out\r\n"
      "14,\"-84.8733\"x,38.2,malformed\r\n"
      "15,-84.8733,38.2009,\"unterminated\r\n"
      "16,-84.8733,38.2009,after\r\n"
      "17,-0,0,zero\r\n"
      "18,-84.8733 ,  38.2009\t,blanks\r\n"
      "19,.5,5.,odd\r\n";
  const std::string kPlane =
      "x;y;z\n"
      "1500000;200000;a\n"
      "1500000.5;\"200000\";b\n"
      "-5;200000;neg\n"
      "1e6;2e5;exp\n"
      "9999999999;1;big\n"
      "1500000;200000\n";
  // What both outputs of kEdge report, line by line.
  const std::string kEdgeErrors =
      "6: missing y value\n"
      "7: cannot read x value 'abc'\n"
      "10: the record has 2 fields, the coordinates need 3\n"
      "11: the record has 5 fields, the header 4\n"
      "16: malformed CSV: a quote inside the unquoted field 2\n"
      "17: the point at longitude -120.5, latitude 38.2 lies far outside the served region (73-98 W, 33-45 N); --accept-distant takes it\n"
      "18: latitude 99 is out of range (-90 to 90)\n"
      "19: malformed CSV: text after the closing quote of field 2\n"
      "20: malformed CSV: a quoted field is not closed by the end of the input; reading resumes at line 21\n"
      "22: the point at longitude 0, latitude 0 lies far outside the served region (73-98 W, 33-45 N); --accept-distant takes it\n"
      "24: the point at longitude -0.5, latitude 5 lies far outside the served region (73-98 W, 33-45 N); --accept-distant takes it\n";
  const struct {
    std::vector<std::string> args;
    const std::string& input;
    const char* out;
    const char* err;
  } cases[] = {
      {{"--csv", "-f", "geo", "-t", "north"}, kEdge,
       "# comment before header\r\n"
       "\r\n"
       "id,x,y,note\r\n"
       "1,1461301.588,255846.547,plain\r\n"
       "2,1461301.588,255846.547,\"quoted, with comma\"\r\n"
       "3,,,missing y\r\n"
       "4,,,bad x\r\n"
       "5,1461301.588,255846.547,\"multi\r\n"
       "line\"\r\n"
       "6,\r\n"
       ",,,\r\n"
       "\r\n"
       "8,1461301.588,255846.547,positive west\r\n"
       "9,1461301.588,255846.547,plus\r\n"
       "10,1461301.588,255846.547,exp\r\n"
       ",,,\r\n"
       "12,,,far\r\n"
       "13,,,lat out\r\n"
       ",,,\r\n"
       ",,,\r\n"
       "16,1461301.588,255846.547,after\r\n"
       "17,,,zero\r\n"
       "18,1461301.588,255846.547,blanks\r\n"
       "19,,,odd\r\n",
       kEdgeErrors.c_str()},
      {{"--csv", "--json", "-f", "geo", "-t", "north"}, kEdge,
       "{\"line\":4,\"id\":\"1\",\"x\":1461301.588,\"y\":255846.547,\"note\":\"plain\"}\n"
       "{\"line\":5,\"id\":\"2\",\"x\":1461301.588,\"y\":255846.547,\"note\":\"quoted, with comma\"}\n"
       "{\"line\":6,\"error\":\"missing y value\"}\n"
       "{\"line\":7,\"error\":\"cannot read x value 'abc'\"}\n"
       "{\"line\":8,\"id\":\"5\",\"x\":1461301.588,\"y\":255846.547,\"note\":\"multi\\r\\nline\"}\n"
       "{\"line\":10,\"error\":\"the record has 2 fields, the coordinates need 3\"}\n"
       "{\"line\":11,\"error\":\"the record has 5 fields, the header 4\"}\n"
       "{\"line\":13,\"id\":\"8\",\"x\":1461301.588,\"y\":255846.547,\"note\":\"positive west\"}\n"
       "{\"line\":14,\"id\":\"9\",\"x\":1461301.588,\"y\":255846.547,\"note\":\"plus\"}\n"
       "{\"line\":15,\"id\":\"10\",\"x\":1461301.588,\"y\":255846.547,\"note\":\"exp\"}\n"
       "{\"line\":16,\"error\":\"malformed CSV: a quote inside the unquoted field 2\"}\n"
       "{\"line\":17,\"error\":\"the point at longitude -120.5, latitude 38.2 lies far outside the served region (73-98 W, 33-45 N); --accept-distant takes it\"}\n"
       "{\"line\":18,\"error\":\"latitude 99 is out of range (-90 to 90)\"}\n"
       "{\"line\":19,\"error\":\"malformed CSV: text after the closing quote of field 2\"}\n"
       "{\"line\":20,\"error\":\"malformed CSV: a quoted field is not closed by the end of the input; reading resumes at line 21\"}\n"
       "{\"line\":21,\"id\":\"16\",\"x\":1461301.588,\"y\":255846.547,\"note\":\"after\"}\n"
       "{\"line\":22,\"error\":\"the point at longitude 0, latitude 0 lies far outside the served region (73-98 W, 33-45 N); --accept-distant takes it\"}\n"
       "{\"line\":23,\"id\":\"18\",\"x\":1461301.588,\"y\":255846.547,\"note\":\"blanks\"}\n"
       "{\"line\":24,\"error\":\"the point at longitude -0.5, latitude 5 lies far outside the served region (73-98 W, 33-45 N); --accept-distant takes it\"}\n",
       kEdgeErrors.c_str()},
      {{"--csv", "-f", "geo", "-t", "north", "--strict"}, kEdge,
       "# comment before header\r\n"
       "\r\n"
       "id,x,y,note\r\n"
       "1,1461301.588,255846.547,plain\r\n"
       "2,1461301.588,255846.547,\"quoted, with comma\"\r\n",
       "6: missing y value\n"},
      {{"--csv", "-f", "north", "-t", "utm16"}, kPlane,
       "x;y;z\n"
       "698514.450;4213577.756;a\n"
       "698514.602;4213577.760;b\n"
       ";;neg\n"
       "546209.084;4209050.222;exp\n"
       ";;big\n"
       "698514.450;4213577.756\n",
       "4: negative easting -5 cannot be converted (the position keeps eastings as magnitudes)\n"
       "6: the point at longitude 60.18271351, latitude -89.983203396 lies far outside the served region (73-98 W, 33-45 N); --accept-distant takes it\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"convert"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(args[2] + " " + args.back());
    const auto r = RunTool(args, c.input);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.status, 1);
  }
}

}  // namespace
}  // namespace lantrel::testing
