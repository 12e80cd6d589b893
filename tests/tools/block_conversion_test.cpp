// Plain input is converted in blocks through the library's transformer, CSV input record by
// record through a position: both must write the same digits and the same failures for the
// same points, across systems, datums, units, block boundaries and refused points.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
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

TEST(BlockConversion, PlainBlocksWriteWhatCsvRecordsWrite) {
  LANTREL_REQUIRE(LibraryProjects(), "plane projections");
  struct Case {
    std::string from, to;
    std::vector<std::string> extra;
    int points;
  } cases[] = {
      {"geo", "north/nad83/usft", {}, 5000},  // more than one block
      {"north/nad27/usft", "utm16/nad83/m", {}, 300},
      {"utm17/nad83/m", "geo/nad27", {"--west-positive", "-p", "9"}, 300},
      {"geo/nad27", "tn/nad83/m", {"--accept-distant"}, 300},
      {"in-west/nad27/km", "geo", {"-p", "12"}, 300},
      {"mo-east/nad27/ft", "va-south/nad27/mi", {"-p", "7"}, 300},
      {"south/nad83/m", "south/nad83/m", {}, 300},
  };
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

}  // namespace
}  // namespace lantrel::testing
