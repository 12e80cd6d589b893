// End-to-end runs of the lantrel program: options, exit statuses, error reports, formats.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "tool_runner.hpp"

namespace lantrel::testing {
namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CliExitStatus, UsageMistakesGiveTwoAndWorkGivesZeroOrOne) {
  struct Case {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string err;  // expected part of standard error ("" = must be empty)
  } cases[] = {
      {{}, "", 2, "usage: lantrel"},
      {{"frobnicate"}, "", 2, "unknown command 'frobnicate'"},
      {{"convert", "--to", "geo"}, "", 2, "convert needs --from SYSTEM"},
      {{"convert", "--from", "geo"}, "", 2, "convert needs --to SYSTEM"},
      {{"convert", "-f", "geo", "-t", "nowhere"}, "", 2, "'nowhere' is not a projection"},
      {{"convert", "-f", "single/nad27", "-t", "geo"}, "", 2, "NAD 83 only"},
      {{"convert", "-f", "geo", "-t", "geo", "-p", "18"}, "", 2, "from 0 to 17"},
      {{"convert", "-f", "geo", "-t", "geo", "--bogus"}, "", 2, "unknown option '--bogus'"},
      {{"convert", "-f", "geo", "-t", "geo", "--x-col", "a"}, "", 2, "need --csv"},
      {{"convert", "-f", "geo", "-t", "geo", "/nonexistent/points"}, "", 2, "cannot open"},
      {{"locate", "--from", "geo/nad84"}, "", 2, "is not a datum"},
      {{"info", "extra"}, "", 2, "takes no operands"},
      {{"convert", "-f", "geo", "-t", "geo"}, "-84.5 37.5\n", 0, ""},
      {{"convert", "-f", "geo", "-t", "geo"}, "-84.5 37.5\nabc 37.5\n", 1, "2: cannot read"},
      {{"--help"}, "", 0, ""},
      {{"convert", "--help"}, "", 0, ""},
      {{"locate", "-h"}, "", 0, ""},
      {{"info", "--help"}, "", 0, ""},
      {{"systems", "--help"}, "", 0, ""},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const auto& a : c.args) shown += a + " ";
    SCOPED_TRACE(shown);
    const auto r = RunTool(c.args, c.input);
    EXPECT_EQ(r.status, c.status) << r.err;
    if (c.err.empty()) {
      EXPECT_EQ(r.err, "");
    } else {
      EXPECT_TRUE(Contains(r.err, c.err)) << r.err;
    }
  }
}

TEST(CliHelp, EveryCommandHasUsageAndExamples) {
  for (const char* command : {"convert", "locate"}) {
    const auto r = RunTool({command, "--help"});
    EXPECT_TRUE(Contains(r.out, std::string("usage: lantrel ") + command)) << command;
    EXPECT_TRUE(Contains(r.out, "Examples:")) << command;
  }
  EXPECT_TRUE(Contains(RunTool({"--help"}).out, "Commands:"));
}

// Every option a command accepts is in its --help text and in the manual page: the option
// declarations are read from the command sources, so an option added without its
// documentation fails.
TEST(CliHelp, EveryAcceptedOptionIsDocumented) {
  std::ifstream manFile(std::string(LANTREL_SOURCE_DIR) + "/docs/lantrel.1");
  ASSERT_TRUE(manFile) << "docs/lantrel.1";
  std::string man((std::istreambuf_iterator<char>(manFile)), std::istreambuf_iterator<char>());
  // The manual writes hyphens as \-.
  for (std::size_t at; (at = man.find("\\-")) != std::string::npos;) man.erase(at, 1);
  const struct {
    const char* source;
    std::vector<std::string> commands;  // the option must be in one of their help texts
    bool built;                         // false: the commands say this build lacks them
  } tables[] = {
      {"tools/lantrel/convert_command.cpp", {"convert"}, true},
      {"tools/lantrel/locate_command.cpp", {"locate"}, true},
      {"tools/lantrel/info_command.cpp", {"info", "systems"}, true},
      {"tools/lantrel/map/map_command.cpp", {"map"}, true},
      {"tools/lantrel/serve/serve_command.cpp", {"serve"}, kServeBuilt},
  };
  const std::regex option(R"re((?:Flag|Option)\("(?:-.,)?--([a-z][a-z-]*)")re");
  for (const auto& table : tables) {
    SCOPED_TRACE(table.source);
    std::ifstream file(std::string(LANTREL_SOURCE_DIR) + "/" + table.source);
    ASSERT_TRUE(file);
    const std::string source((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string help;
    for (const auto& command : table.commands) {
      const auto r = RunTool({command, "--help"});
      help += r.out;
      if (!table.built) {
        EXPECT_EQ(r.status, 2) << command;
        EXPECT_TRUE(Contains(r.err, "this lantrel was built without " + command)) << r.err;
      }
    }
    int found = 0;
    for (std::sregex_iterator m(source.begin(), source.end(), option), end; m != end; ++m, ++found) {
      const std::string name = "--" + (*m)[1].str();
      if (table.built) {
        EXPECT_TRUE(Contains(help, name)) << name << " is missing from the help";
      }
      EXPECT_TRUE(Contains(man, name)) << name << " is missing from the manual page";
    }
    EXPECT_TRUE(found > 0 || Contains(source, "CommandLine c(")) << "no option declarations found";
  }
  EXPECT_TRUE(Contains(RunTool({"--help"}).out, "--version"));
  EXPECT_TRUE(Contains(man, "--version"));
}

TEST(CliConvert, FailedLinesAreReportedAndLeaveEmptyLines) {
  const std::string input =
      "# survey points\n"
      "-84.5 37.5 first\n"
      "\n"
      "abc 37.5\n"
      "-84.5 95 too far north\n"
      "-84.5\n"
      "-200 37\n"
      "-84.25,38.125\n";
  const auto r = RunTool({"convert", "-f", "geo", "-t", "geo", "-p", "3"}, input);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{"# survey points", "-84.500 37.500 first", "",
                                                    "", "", "", "", "-84.250,38.125"}));
  EXPECT_EQ(r.err,
            "4: cannot read x value 'abc'\n"
            "5: latitude 95 is out of range (-90 to 90)\n"
            "6: missing y value\n"
            "7: longitude -200 is out of range (-180 to 180)\n");
}

TEST(CliConvert, NegativeEastingsAreRefusedNotFlipped) {
  const auto r = RunTool({"convert", "-f", "in-east/nad83/m", "-t", "geo"}, "-1000 250000\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n");
  EXPECT_EQ(r.err,
            "1: negative easting -1000 cannot be converted (the position keeps eastings as "
            "magnitudes)\n");
}

TEST(CliConvert, LinearUnitsScaleTheSamePoint) {
  LANTREL_REQUIRE(LibraryProjects(), "plane projections");
  struct Case {
    const char* units;
    double perMetre;
  } cases[] = {{"m", 1.0}, {"usft", 3937.0 / 1200.0}, {"ft", 1.0 / 0.3048},
               {"km", 0.001}, {"mi", 3937.0 / 6336000.0}};
  const auto metres = RunTool({"convert", "-f", "geo", "-t", "north/nad83/m", "-p", "6"},
                              "-84.8733 38.2009\n");
  double xm = 0, ym = 0;
  ASSERT_EQ(std::sscanf(metres.out.c_str(), "%lf %lf", &xm, &ym), 2) << metres.err;
  for (const auto& c : cases) {
    const auto r = RunTool({"convert", "-f", "geo", "-t", std::string("north/nad83/") + c.units,
                            "-p", "9"},
                           "-84.8733 38.2009\n");
    double x = 0, y = 0;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "%lf %lf", &x, &y), 2) << c.units;
    EXPECT_NEAR(x, xm * c.perMetre, 1e-6 * c.perMetre) << c.units;
    EXPECT_NEAR(y, ym * c.perMetre, 1e-6 * c.perMetre) << c.units;
  }
  // And back: the plane pair in any unit returns to the same longitude and latitude.
  const auto back = RunTool({"convert", "-f", "north/nad83/m", "-t", "geo", "-p", "7"},
                            metres.out);
  EXPECT_EQ(back.out, "-84.8733000 38.2009000\n");
}

TEST(CliConvert, StrictStopsAtTheFirstFailure) {
  const auto r = RunTool({"convert", "-f", "geo", "-t", "geo", "--strict", "-p", "1"},
                     "-84.5 37.5\nbad line\n-85 38\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "-84.5 37.5\n");
  EXPECT_EQ(r.err, "2: cannot read x value 'bad'\n");
}

TEST(CliConvert, SeparatorsAndFurtherColumnsPassThrough) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"-84.5,37.5,name,3", "-84.5000,37.5000,name,3"},
      {"84.5;37.5;x;y", "-84.5000;37.5000;x;y"},
      {"  -84.5\t37.5\tnote here", "-84.5000\t37.5000\tnote here"},
      {"-84.5 , 37.5 , spaced", "-84.5000 , 37.5000 , spaced"},
      {"-84.5 37.5   ", "-84.5000 37.5000"},
      {"+84.5 3.75e1 # trailing comment", "-84.5000 37.5000 # trailing comment"},
  };
  for (const auto& c : cases) {
    const auto r = RunTool({"convert", "-f", "geo", "-t", "geo", "-p", "4"}, std::string(c.in) + "\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::string(c.out) + "\n") << c.in;
  }
}

TEST(CliConvert, LongitudeSignAndPrecisionOptions) {
  struct Case {
    std::vector<std::string> extra;
    const char* out;
  } cases[] = {
      {{}, "-84.500000000 37.500000000\n"},  // 9 decimals for degrees, west negative
      {{"--west-positive"}, "84.500000000 37.500000000\n"},
      {{"-p", "0"}, "-84 38\n"},  // 84.5 rounds to even, 37.5 to 38 in binary
      {{"--precision=2", "--west-positive"}, "84.50 37.50\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"convert", "-f", "geo", "-t", "geo"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    EXPECT_EQ(RunTool(args, "-84.5 37.5\n").out, c.out);
  }
}

TEST(CliConvert, JsonWritesOneObjectPerPoint) {
  const auto r = RunTool({"convert", "-f", "geo", "-t", "geo", "--json", "-p", "2"},
                     "# comment\n-84.5 37.5 well \"A\"\n\nxyz 1\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{
                              R"({"line":2,"lon":-84.50,"lat":37.50,"rest":"well \"A\""})",
                              R"({"line":4,"error":"cannot read x value 'xyz'"})"}));
}

TEST(CliConvert, SeveralFilesNameTheFileInReports) {
  const std::string a = WriteFile("a.txt", "-84.5 37.5\n");
  const std::string b = WriteFile("b.txt", "-85 38\noops\n");
  const auto r = RunTool({"convert", "-f", "geo", "-t", "geo", "-p", "1", a, b});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "-84.5 37.5\n-85.0 38.0\n\n");
  EXPECT_EQ(r.err, b + ":2: missing y value\n");
  const auto j = RunTool({"convert", "-f", "geo", "-t", "geo", "-p", "1", "--json", a, "-"}, "-86 36\n");
  EXPECT_EQ(Lines(j.out), (std::vector<std::string>{
                              R"({"file":")" + a + R"(","line":1,"lon":-84.5,"lat":37.5})",
                              R"j({"file":"(standard input)","line":1,"lon":-86.0,"lat":36.0})j"}));
}

TEST(CliConvert, DatumChangeOutsideTheShiftWindowIsALineFailure) {
  const auto r = RunTool({"convert", "-f", "geo/nad27", "-t", "geo/nad83"}, "-80 37.5\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n");
  EXPECT_TRUE(Contains(r.err, "1: datum change refused")) << r.err;
  EXPECT_TRUE(Contains(r.err, "81.5-90 W, 36-39.5 N")) << r.err;
}

TEST(CliCsv, QuotedFieldsSurviveAndCoordinatesAreReplaced) {
  const std::string input =
      "name,lon,lat,\"note, with comma\"\n"
      "\"Smith, J\",-84.5,37.5,\"said \"\"hi\"\"\"\n"
      "\"two\nlines\",85,38,x\n"
      "bad,abc,37,y\n"
      "short,-84\n"
      "\n"
      "last, -84.25 ,\" 38.126\",z\n";
  const auto r = RunTool({"convert", "--csv", "-f", "geo", "-t", "geo", "-p", "2"}, input);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "name,lon,lat,\"note, with comma\"\n"
            "\"Smith, J\",-84.50,37.50,\"said \"\"hi\"\"\"\n"
            "\"two\nlines\",-85.00,38.00,x\n"
            "bad,,,y\n"
            "short,\n"
            "\n"
            "last,-84.25,38.13,z\n");
  EXPECT_EQ(r.err,
            "5: cannot read x value 'abc'\n"
            "6: the record has 2 fields, the coordinates need 3\n");
}

TEST(CliCsv, ColumnsAreChosenByName) {
  const std::string input = "LAT,id,LONG\n37.5,7,-84.5\n";
  const auto r = RunTool({"convert", "--csv", "-f", "geo", "-t", "geo", "-p", "1", "--x-col", "LONG",
                      "--y-col", "LAT"},
                     input);
  EXPECT_EQ(r.status, 0) << r.err;
  // The converted columns stay in place and are named after the target.
  EXPECT_EQ(r.out, "lat,id,lon\n37.5,7,-84.5\n");
  // LONG/LAT is one of the pairs found without being named.
  EXPECT_EQ(RunTool({"convert", "--csv", "-f", "geo", "-t", "geo", "-p", "1"}, input).out, r.out);
  const auto missing = RunTool({"convert", "--csv", "-f", "geo", "-t", "geo"}, "A,id,B\n1,2,3\n");
  EXPECT_EQ(missing.status, 2);
  EXPECT_TRUE(Contains(missing.err, "no coordinate columns (looked for x/y, lon/lat, long/lat"))
      << missing.err;
  EXPECT_TRUE(Contains(missing.err, "(columns: A, id, B)")) << missing.err;
  const auto json = RunTool({"convert", "--csv", "--json", "-f", "geo", "-t", "geo", "-p", "1",
                         "--x-col", "LONG", "--y-col", "LAT"},
                        input);
  EXPECT_EQ(json.out, "{\"line\":2,\"lat\":37.5,\"id\":\"7\",\"lon\":-84.5}\n");
}

TEST(CliCsv, RepeatedHeadersOfLaterFilesAreNotRepeated) {
  const std::string a = WriteFile("a.csv", "x,y\n-84.5,37.5\n");
  const std::string b = WriteFile("b.csv", "x,y\n-85,38\n");
  const auto r = RunTool({"convert", "--csv", "-f", "geo", "-t", "geo", "-p", "1", a, b});
  EXPECT_EQ(r.out, "lon,lat\n-84.5,37.5\n-85.0,38.0\n");
}

// Files named *.csv are read as CSV without --csv: a geologist's wells.csv converts and
// locates as it is. Other names, standard input and a mix stay plain lines.
TEST(CliCsv, CsvFileNamesImplyCsv) {
  const std::string text = "API,Operator,Longitude,Latitude\n16001,\"Acme, Inc.\",-84.5,37.5\n";
  const std::string lower = WriteFile("wells.csv", text);
  const std::string upper = WriteFile("WELLS.CSV", text);
  const std::string plain = WriteFile("wells.txt", text);
  const struct {
    std::vector<std::string> files;
    std::string input;
    bool csv;
  } cases[] = {
      {{lower}, "", true},
      {{upper}, "", true},
      {{lower, upper}, "", true},
      {{plain}, "", false},
      {{lower, plain}, "", false},
      {{}, text, false},
      {{"-"}, text, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.files.empty() ? "standard input" : c.files.back());
    std::vector<std::string> args = {"convert", "-f", "geo", "-t", "geo", "-p", "1"};
    args.insert(args.end(), c.files.begin(), c.files.end());
    const auto r = RunTool(args, c.input);
    if (c.csv) {
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(Lines(r.out).front(), "API,Operator,lon,lat");
      EXPECT_EQ(Lines(r.out).back(), "16001,\"Acme, Inc.\",-84.5,37.5");
    } else {
      EXPECT_EQ(r.status, 1);
      EXPECT_TRUE(Contains(r.err, "cannot read x value 'API"));
    }
  }
  const auto located = RunTool({"locate", lower});
  if (LibraryHasData()) {
    EXPECT_EQ(located.status, 0) << located.err;
    EXPECT_EQ(Lines(located.out).front(),
              "API,Operator,Longitude,Latitude,state,state_fips,county,county_fips,sp_zone,quad,"
              "quad_tile,quad_state,carter,geoid");
  }
}

TEST(CliCarter, LocationsAreWrittenInBothLayouts) {
  const std::string point = "-85.4321 37.1234 well 1\n";
  EXPECT_EQ(RunTool({"convert", "-f", "geo", "-t", "carter/nad83"}, point).out,
            "H49-11 2452-FSL 360-FWL well 1\n");
  EXPECT_EQ(RunTool({"convert", "-f", "geo", "-t", "carter/nad83", "--zgs"}, point).out,
            "2452 FSL  360 FWL 11- H-49 well 1\n");
  const auto j = RunTool({"convert", "-f", "geo", "-t", "carter/nad83", "--json", "-p", "3"}, point);
  EXPECT_EQ(j.out,
            "{\"line\":1,\"location\":\"H49-11 2452-FSL 360-FWL\",\"lon\":-85.432,"
            "\"lat\":37.123,\"rest\":\"well 1\"}\n");
}

TEST(CliCarter, LocationsAreReadInBothLayoutsAndErrorsCarryLibraryNumbers) {
  const std::string input =
      "H49-11 2452-FSL 360-FWL, w1\n"
      " 2452 FSL  360 FWL 11- H-49 w2\n"
      "H49-26 1-FNL 2-FEL\n"
      "HI49-1 1-FNL 2-FEL\n"
      "H49-11\n";
  const auto r = RunTool({"convert", "-f", "carter/nad83", "-t", "geo", "-p", "4"}, input);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{"-85.4321,37.1234, w1", "-85.4321 37.1234 w2",
                                                    "", "", ""}));
  EXPECT_EQ(r.err,
            "3: error -2147220493: Invalid Carter Section: 26\n"
            "4: error -2147220491: Invalid Carter Letter: HI\n"
            "5: expected a footage call such as 1200-FNL after the section\n");
}

TEST(CliCarter, PointsOutsideTheGridFailAndRowHHIsRead) {
  const auto outside = RunTool({"convert", "-f", "geo", "-t", "carter/nad83"}, "-81.9 37\n");
  EXPECT_EQ(outside.status, 1);
  EXPECT_TRUE(Contains(outside.err, "1: the point lies outside the Carter grid")) << outside.err;
  const auto hh = RunTool({"convert", "-f", "carter/nad83", "-t", "carter/nad83"}, "HH61-25 0-FSL 0-FWL\n");
  EXPECT_EQ(hh.status, 0) << hh.err;
  EXPECT_EQ(hh.out, "HH61-25 0-FSL 0-FWL\n");
}

TEST(CliCarter, CsvLocationColumnTurnsIntoTwoCoordinateColumnsAndBack) {
  const auto toCarter =
      RunTool({"convert", "--csv", "-f", "geo", "-t", "carter/nad83"}, "id,lon,lat,kind\n7,-85.4321,37.1234,gas\n");
  EXPECT_EQ(toCarter.out, "id,carter,kind\n7,H49-11 2452-FSL 360-FWL,gas\n");
  const auto fromCarter = RunTool({"convert", "--csv", "-f", "carter/nad83", "-t", "geo", "-p", "4"},
                              "id,carter,kind\n7,H49-11 2452-FSL 360-FWL,gas\n8,,oil\n");
  EXPECT_EQ(fromCarter.status, 1);
  EXPECT_EQ(fromCarter.out, "id,lon,lat,kind\n7,-85.4321,37.1234,gas\n8,,,oil\n");
  EXPECT_EQ(fromCarter.err, "3: missing Carter location\n");
}

// A Carter location without a datum is on NAD 27, the state's definition; -v says so once.
TEST(CliCarter, BareCarterIsOnNad27AndVerboseSaysSo) {
  const std::string point = "-85.4321 37.1234\n";
  const auto nad27 = RunTool({"convert", "-f", "geo", "-t", "carter/nad27"}, point);
  const auto nad83 = RunTool({"convert", "-f", "geo", "-t", "carter/nad83"}, point);
  ASSERT_EQ(nad27.status, 0) << nad27.err;
  EXPECT_NE(nad27.out, nad83.out);
  const std::string note =
      "lantrel: 'carter' without a datum is carter/nad27, the state's definition of a Carter "
      "location (name carter/nad83 for the other)\n";
  const struct {
    std::vector<std::string> args;
    std::string out;
    bool noted;
  } cases[] = {
      {{"convert", "-f", "geo", "-t", "carter"}, nad27.out, false},
      {{"convert", "-f", "geo", "-t", "carter", "-v"}, nad27.out, true},
      {{"convert", "-f", "geo", "-t", "carter/nad83", "-v"}, nad83.out, false},
      {{"convert", "-f", "geo", "-t", "zrCarter", "-v"}, nad27.out, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    const auto r = RunTool(c.args, point);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err.find(note) != std::string::npos, c.noted) << r.err;
    if (c.noted) {
      EXPECT_EQ(r.err.find(note), r.err.rfind(note));
    }
  }
}

TEST(CliProgress, ForcedBarIsDrawnAndCleared) {
  const std::string file = WriteFile("progress.txt", "-84.5 37.5\n-85 38\n");
  const auto r = RunTool({"convert", "-f", "geo", "-t", "geo", "--progress", file});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Contains(r.err, "] 100%")) << r.err;
  EXPECT_TRUE(r.err.ends_with("\r\033[K")) << r.err;
}

// A file above the size threshold: a bar on a terminal, nothing on a pipe or a plain file.
TEST(CliProgress, AutomaticBarOnlyForLargeFilesOnATerminal) {
  std::string big;
  big.reserve(5u << 20);
  while (big.size() < (5u << 20)) big += "-84.5 37.5\n";
  const std::string file = WriteFile("big.txt", big);
  const auto quiet = RunTool({"convert", "-f", "geo", "-t", "geo", file});
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.err, "");

  int master = -1;
  int slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  const std::string out = ScratchDir() + "/big.out";
  const std::string tool = ToolPath();
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    close(master);
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(o, 1);
    dup2(slave, 2);
    execl(tool.c_str(), tool.c_str(), "convert", "-f", "geo", "-t", "geo", file.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(slave);
  std::string seen;
  char buf[4096];
  while (true) {
    const ssize_t n = read(master, buf, sizeof buf);
    if (n > 0) {
      seen.append(buf, static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // EIO once the child closed its side
    }
  }
  close(master);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(Contains(seen, "100%")) << seen.substr(0, 200);
}

TEST(CliInfo, ShowsVersionDateAboutAndDataFile) {
  const auto r = RunTool({"info"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Contains(r.out, "lantrel 3.23\n")) << r.out;
  EXPECT_TRUE(Contains(r.out, "Release date: 2006-10-23\n")) << r.out;
  EXPECT_TRUE(Contains(r.out, "Version: 3.23\n")) << r.out;
  EXPECT_FALSE(Contains(r.out, "\r"));
  if (LibraryHasData()) {
    EXPECT_TRUE(Contains(r.out, "Data file: /")) << r.out;
    EXPECT_TRUE(Contains(r.out, "lantrel.bin\nData check: verified (checksum matched)\n")) << r.out;
  } else {
    EXPECT_TRUE(Contains(r.out, "Data file: lantrel.bin not found; searched:\n  /")) << r.out;
  }
}

// A copy of the program in a folder of its own, run there with a PATH that leads nowhere,
// finds no data file unless one is installed system-wide.
struct Isolated {
  std::string dir;
  std::string program;
  Isolated() {
    dir = ScratchDir() + "/isolated";
    std::filesystem::create_directories(dir);
    program = dir + "/lantrel";
    std::filesystem::copy_file(ToolPath(), program,
                               std::filesystem::copy_options::overwrite_existing);
  }
  static bool SystemWideData() {
    for (const char* f : {"/usr/local/share/lantrel/lantrel.bin", "/usr/share/lantrel/lantrel.bin",
                          "/opt/lantrel/lantrel.bin"}) {
      if (std::filesystem::exists(f)) return true;
    }
    return false;
  }
  RunResult Run(std::vector<std::string> args, std::string input = {}) const {
    RunRequest request{std::move(args), std::move(input), {{"PATH", "/nonexistent-lantrel-dir"}}, dir,
                 program};
    return RunTool(request);
  }
};

TEST(CliLocate, MissingDataFileIsAClearErrorNamingTheFolders) {
  if (Isolated::SystemWideData()) GTEST_SKIP() << "a data file is installed system-wide";
  const Isolated iso;
  const auto r = iso.Run({"locate"}, "-84.8733 38.2009\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(Contains(r.err, "lantrel: the reference data file lantrel.bin was not found; "
                              "searched: " + iso.dir + "/"))
      << r.err;
  EXPECT_TRUE(Contains(r.err, "/opt/lantrel/")) << r.err;
  EXPECT_TRUE(Contains(r.err, "--data DIR")) << r.err;
  const auto named = iso.Run({"locate", "--data", iso.dir + "/nowhere"}, "-84.8733 38.2009\n");
  EXPECT_EQ(named.status, 1);
  EXPECT_EQ(named.err, "lantrel: no reference data file " + iso.dir + "/nowhere/lantrel.bin\n");
  const auto info = iso.Run({"info"});
  EXPECT_TRUE(Contains(info.out, "not found; searched:\n  " + iso.dir + "/\n")) << info.out;
}

TEST(CliSystems, ListsNamesAndWhatEpsgCodesStandFor) {
  const auto r = RunTool({"systems"});
  EXPECT_EQ(r.status, 0);
  for (const char* part : {"zrNorthZone", "mo-east", "EPSG:2246 = north/nad83/usft",
                           "EPSG:26779 = north/nad27/usft", "EPSG:4267 = geographic/nad27/deg"}) {
    EXPECT_TRUE(Contains(r.out, part)) << part;
  }
}

TEST(CliSystems, VerboseConvertSaysWhatTheSystemsAre) {
  const auto r = RunTool({"convert", "-v", "-f", "EPSG:4269", "-t", "EPSG:4269"}, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Contains(r.err, "from EPSG:4269 = geographic/nad83/deg (geographic longitude/latitude, "
                              "NAD 83, decimal degrees)"))
      << r.err;
}

}  // namespace
}  // namespace lantrel::testing
