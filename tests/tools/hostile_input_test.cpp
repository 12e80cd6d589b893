// The tool against damaged and misleading input: every record gives one output record or one
// reported failure, results stay on the globe, implausible points are refused with a hint,
// and messages stay short.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "lantrel/quoted_text.hpp"
#include "tool_runner.hpp"

namespace lantrel::testing {
namespace {

struct Reproducer {
  const char* name;
  std::vector<std::string> args;
  std::string input;
  std::string out;
  std::string err;
  int status;
};

void Check(const Reproducer& c) {
  SCOPED_TRACE(c.name);
  const auto r = RunTool(c.args, c.input);
  EXPECT_EQ(r.out, c.out);
  EXPECT_EQ(r.err, c.err);
  EXPECT_EQ(r.status, c.status);
}

const std::vector<std::string> kCsvGeoToNorth = {"convert", "--csv", "--from", "geo", "--to", "north"};
const std::vector<std::string> kGeoToNorth = {"convert", "--from", "geo", "--to", "north"};

TEST(HostileCsv, StrayQuotesAndLineBreaksCostOnlyTheirRecord) {
  LANTREL_REQUIRE(LibraryProjects(), "plane projections");
  const Reproducer cases[] = {
      {"quote inside an unquoted field", kCsvGeoToNorth,
       "lon,lat,name\n-84.8,38.2,a\"b\n-84.9,38.3,c\n-85.0,38.4,d\"e\n-85.1,38.5,f\n",
       "x,y,name\n,,\n1453883.728,291987.468,c\n,,\n1397162.563,365286.210,f\n",
       "2: malformed CSV: a quote inside the unquoted field 3\n"
       "4: malformed CSV: a quote inside the unquoted field 3\n",
       1},
      {"quote never closed", kCsvGeoToNorth,
       "lon,lat,name\n-84.8,38.2,ok\n-84.9,38.3,\"open\n-85.0,38.4,x\n-85.1,38.5,y\n",
       "x,y,name\n1482363.274,255384.643,ok\n,,\n1425483.479,328621.330,x\n1397162.563,365286.210,y\n",
       "3: malformed CSV: a quoted field is not closed by the end of the input; reading resumes at "
       "line 4\n",
       1},
      {"line break in a coordinate cell", kCsvGeoToNorth,
       "lon,lat,name\n\"-84.8\n\",38.2,a\n-84.9,38.3,b\n",
       "x,y,name\n,,a\n1453883.728,291987.468,b\n", "2: cannot read x value '-84.8\\n'\n", 1},
      {"byte-order mark and CRLF kept", kCsvGeoToNorth,
       "\xEF\xBB\xBFlon,lat\r\n-84.8,38.2\r\n",
       "\xEF\xBB\xBFx,y\r\n1482363.274,255384.643\r\n", "", 0},
      {"decimal commas in quoted cells", kCsvGeoToNorth, "x,y\n\"-84,8\",\"38,2\"\n", "x,y\n,\n",
       "2: cannot read x value '-84,8' (comma used as decimal mark?)\n", 1},
      {"malformed header", kCsvGeoToNorth, "lon,\"lat\n", "",
       "lantrel: (standard input):1: malformed CSV header: a quoted field is not closed by the end "
       "of the input\nTry 'lantrel convert --help'.\n",
       2},
  };
  for (const auto& c : cases) Check(c);
}

// A record with more fields than its header fails in every output mode; a failed record
// never becomes an empty line.
TEST(HostileCsv, RecordsThatDoNotFitTheirHeaderFail) {
  LANTREL_REQUIRE(LibraryProjects(), "plane projections");
  const std::string wide = "x,y,n\n-84.8,38.2,a,extra\n-84.9,38.3,b\n";
  const std::string wideErr = "2: the record has 4 fields, the header 3\n";
  std::vector<std::string> json = kCsvGeoToNorth;
  json.push_back("--json");
  const Reproducer cases[] = {
      {"more fields than the header", kCsvGeoToNorth, wide, "x,y,n\n,,\n1453883.728,291987.468,b\n", wideErr, 1},
      {"more fields than the header, JSON", json, wide,
       "{\"line\":2,\"error\":\"the record has 4 fields, the header 3\"}\n"
       "{\"line\":3,\"x\":1453883.728,\"y\":291987.468,\"n\":\"b\"}\n",
       wideErr, 1},
      {"Carter-only output", {"convert", "--csv", "-f", "geo", "-t", "carter/nad83"},
       "x,y\n-84.8733,38.2009\nbad,1\n-84.8733,38.2009,9\n",
       "carter\nU56-13 328-FSL 1906-FEL\n\"\"\n\"\"\n",
       "3: cannot read x value 'bad'\n4: the record has 3 fields, the header 2\n", 1},
  };
  for (const auto& c : cases) Check(c);
}

TEST(HostileLines, LineEndsAreReadAndKept) {
  LANTREL_REQUIRE(LibraryProjects(), "plane projections");
  const Reproducer cases[] = {
      {"CR only", kGeoToNorth, "-84.8733 38.2009 A\r-84.9 38.3 B\r-85.0 38.4 C\r",
       "1461301.588 255846.547 A\r1453883.728 291987.468 B\r1425483.479 328621.330 C\r", "", 0},
      {"mixed, blank and comment lines", kGeoToNorth, "-84.8733,38.2009\r\n\r\n# c\r\n-84.9 38.3\n",
       "1461301.588,255846.547\r\n\r\n# c\r\n1453883.728 291987.468\n", "", 0},
      {"last line without an end takes the one before", kGeoToNorth, "-84.8733 38.2009\r\n-84.9 38.3",
       "1461301.588 255846.547\r\n1453883.728 291987.468\r\n", "", 0},
      // An empty output line after a lone CR: its LF alone would pair with that CR.
      {"failed line after a lone CR, blocks", kGeoToNorth, "-84.8 38.2\rabc 1\n-84.9 38.3\n",
       "1482363.274 255384.643\r\r\n1453883.728 291987.468\n", "2: cannot read x value 'abc'\n", 1},
      {"failed line after a lone CR, line by line", {"convert", "-f", "geo", "-t", "carter/nad83"},
       "-84.8733 38.2009\rabc 1\nabc 2\r\nabc 3\n", "U56-13 328-FSL 1906-FEL\r\r\n\r\n\n",
       "2: cannot read x value 'abc'\n3: cannot read x value 'abc'\n4: cannot read x value 'abc'\n", 1},
  };
  for (const auto& c : cases) Check(c);
}

TEST(HostileNumbers, ResultsOffTheGlobeAndImplausiblePointsFail) {
  LANTREL_REQUIRE(LibraryProjects(), "plane projections");
  const auto noPosition = [](int line) {
    return std::to_string(line) +
           ": error 5: Invalid procedure call or argument (no geographic position: the coordinates "
           "lie far outside the zone)\n";
  };
  const std::string far = " lies far outside the served region (73-98 W, 33-45 N); ";
  const Reproducer cases[] = {
      {"UTM beyond the pole and the globe", {"convert", "--from", "utm16", "--to", "geo"},
       "500000 10002000\n500000 1e15\n1e15 4150000\n", "\n\n\n", noPosition(1) + noPosition(2) + noPosition(3), 1},
      {"off the globe even when distant points are accepted",
       {"convert", "--from", "utm16", "--to", "north", "--accept-distant"}, "500000 10002000\n", "\n",
       noPosition(1), 1},
      {"Carter footage beyond a section", {"convert", "--from", "carter/nad83", "--to", "geo"},
       "D45-07 99999999-FNL 350-FWL\nD45-07 1200-FNL 5000-FWL\nD45-07 -5-FNL 350-FWL\n", "\n\n\n",
       "1: footage 99999999-FNL is beyond what a section holds (0 to 6100 ft north-south); "
       "--accept-distant takes it\n"
       "2: footage 5000-FWL is beyond what a section holds (0 to 4950 ft east-west); "
       "--accept-distant takes it\n"
       "3: footage -5-FNL is beyond what a section holds (0 to 6100 ft north-south); "
       "--accept-distant takes it\n",
       1},
      {"accepted Carter footage still may not leave the globe",
       {"convert", "--from", "carter/nad83", "--to", "geo", "--accept-distant"},
       "D45-07 99999999-FNL 350-FWL\n", "\n",
       "1: error 5: latitude -237.84267629144858 is outside -90 to 90 degrees\n", 1},
      {"latitude first, decimal commas", kGeoToNorth, "38.2009 -84.8733\n-84,8 38,2\n", "\n\n",
       "1: the point at longitude -38.2009, latitude -84.8733" + far +
           "x and y may be swapped; --accept-distant takes it\n"
           "2: the point at longitude -84, latitude 8" + far +
           "comma used as decimal mark?; --accept-distant takes it\n",
       1},
      {"plane pair swapped", {"convert", "--from", "utm16", "--to", "north"}, "4231000 600000\n", "\n",
       "1: the point at longitude -55.133892419, latitude 4.605586755" + far +
           "x and y may be swapped; --accept-distant takes it\n",
       1},
      {"distant but plausible when accepted", {"convert", "-f", "geo", "-t", "geo", "-p", "1", "--accept-distant"},
       "-1 2\n", "-1.0 2.0\n", "", 0},
      {"edges of the region are inside", {"convert", "-f", "geo", "-t", "geo", "-p", "0"},
       "-98 33\n-73 45\n-98.001 40\n", "-98 33\n-73 45\n\n",
       "3: the point at longitude -98.001, latitude 40" + far + "--accept-distant takes it\n", 1},
  };
  for (const auto& c : cases) Check(c);
}

TEST(HostileMessages, HugeFieldsAreQuotedShortAndEscaped) {
  std::string field = "-84.8";
  field += '\0';
  field += "\n\r\t\x01\xff";
  field += std::string(10 << 20, '7');
  const auto plain = RunTool({"convert", "-f", "geo", "-t", "geo"}, "1 " + std::string(10 << 20, 'a') + "\n");
  EXPECT_EQ(plain.status, 1);
  EXPECT_EQ(plain.err, "1: cannot read y value '" + std::string(40, 'a') + "'... (10485760 bytes)\n");
  const auto csv = RunTool({"convert", "--csv", "-f", "geo", "-t", "geo"}, "x,y\n\"" + field + "\",38\n");
  EXPECT_EQ(csv.status, 1);
  EXPECT_EQ(csv.err, "2: cannot read x value '-84.8\\x00\\n\\r\\t\\x01\\xFF" + std::string(29, '7') +
                         "'... (10485771 bytes)\n");
  const auto header = RunTool({"convert", "--csv", "-f", "geo", "-t", "geo"}, std::string(1 << 20, 'h') + ",b\n");
  EXPECT_EQ(header.status, 2);
  EXPECT_LT(header.err.size(), 300u) << header.err.substr(0, 300);
}

// Every message quoting input quotes a short escaped excerpt, whatever part of the input it is.
TEST(HostileMessages, EveryQuoteOfInputIsAnExcerpt) {
  const std::string digits(1000000, '0');
  const std::string cut = "'38.2" + std::string(36, '0') + "'... (1000005 bytes)";
  const Reproducer cases[] = {
      {"hemisphere letter on a huge field", {"convert", "-f", "geo", "-t", "geo"},
       "38.2" + digits + "N -84.8\n", "\n", "1: x value " + cut + " is a latitude (N); x is the longitude\n", 1},
      {"east longitude", {"convert", "-f", "geo", "-t", "geo"}, "84.8" + digits + "E 38\n", "\n",
       "1: east longitude '84.8" + std::string(36, '0') +
           "'... (1000005 bytes) cannot be converted (the position keeps longitudes as west magnitudes)\n",
       1},
      {"unknown option", {"convert", "--\x1b[31m\xc3"}, "", "",
       "lantrel: unknown option '--\\x1B[31m\\xC3'\nTry 'lantrel convert --help'.\n", 2},
      {"option value", {"convert", "-f", "geo", "-t", "geo", "-p", "1" + digits.substr(0, 99999)}, "", "",
       "lantrel: option '--precision' needs a whole number from 0 to 17, not '1" + std::string(39, '0') +
           "'... (100000 bytes)\nTry 'lantrel convert --help'.\n",
       2},
      {"unknown command", {"\xed\xa0\x80"}, "", "", "lantrel: unknown command '\\xED\\xA0\\x80'\nTry 'lantrel --help'.\n", 2},
  };
  for (const auto& c : cases) Check(c);
}

// JSON output stays valid JSON: bytes that are not UTF-8 become \u00XX, valid UTF-8 passes.
TEST(HostileJson, BytesThatAreNotUtf8AreEscaped) {
  LANTREL_REQUIRE(LibraryProjects(), "plane projections");
  const Reproducer cases[] = {
      {"CSV values and names", {"convert", "--csv", "--json", "-f", "geo", "-t", "north"},
       "x,y,\xe9t\xe9\n-84.8,38.2,Mu\xf1oz \xc3\xa9\xed\xa0\x80\n",
       "{\"line\":2,\"x\":1482363.274,\"y\":255384.643,\"\\u00e9t\\u00e9\":\"Mu\\u00f1oz \xc3\xa9\\u00ed\\u00a0\\u0080\"}\n", "", 0},
      {"plain rest and messages", {"convert", "--json", "-f", "geo", "-t", "north"},
       "-84.8 38.2 \xff\x01\nabc\xc0 1\n",
       "{\"line\":1,\"x\":1482363.274,\"y\":255384.643,\"rest\":\"\\u00ff\\u0001\"}\n"
       "{\"line\":2,\"error\":\"cannot read x value 'abc\\\\xC0'\"}\n",
       "2: cannot read x value 'abc\\xC0'\n", 1},
  };
  for (const auto& c : cases) Check(c);
}

// TSV, semicolon and bar files read like CSV: named by --delimiter or found in the header,
// and written back with the same delimiter.
TEST(CsvDelimiters, TabSemicolonAndBarFilesReadLikeCsv) {
  LANTREL_REQUIRE(LibraryProjects(), "plane projections");
  const std::string tsv = WriteFile("wells.tsv", "x\ty\tname\n-84.8\t38.2\ta, b\n");
  const std::string oneColumn = WriteFile("carter.TSV", "carter\nU56-13 328-FSL 1906-FEL\n");
  const Reproducer cases[] = {
      {"sniffed tabs", kCsvGeoToNorth, "lon\tlat\tname\n-84.8\t38.2\t\"a\tb\"\n",
       "x\ty\tname\n1482363.274\t255384.643\t\"a\tb\"\n", "", 0},
      {"sniffed semicolons", kCsvGeoToNorth, "lon;lat;name\n-84.8;38.2;a,b\n-84.9;38.3;c;d\n",
       "x;y;name\n1482363.274;255384.643;a,b\n;;\n", "3: the record has 4 fields, the header 3\n", 1},
      {"named bar", {"convert", "--delimiter", "|", "-f", "geo", "-t", "north"},
       "lon|lat|a,b;c\n-84.8|38.2|\"x|y\"\n", "x|y|a,b;c\n1482363.274|255384.643|\"x|y\"\n", "", 0},
      {"named tab: commas are data", {"convert", "--delimiter", "tab", "-f", "geo", "-t", "north"},
       "lon\tlat\tn,o,p\n-84.8\t38.2\tq\n", "x\ty\tn,o,p\n1482363.274\t255384.643\tq\n", "", 0},
      {"*.tsv without --csv", {"convert", "-f", "geo", "-t", "north", tsv}, "",
       "x\ty\tname\n1482363.274\t255384.643\ta, b\n", "", 0},
      {"*.tsv of one column", {"convert", "-f", "carter/nad83", "-t", "geo", "-p", "4", oneColumn}, "",
       "lon\tlat\n-84.8733\t38.2009\n", "", 0},
      {"unknown delimiter", {"convert", "--delimiter", ":", "-f", "geo", "-t", "north"}, "", "",
       "lantrel: --delimiter takes , ; | or tab, not ':'\nTry 'lantrel convert --help'.\n", 2},
  };
  for (const auto& c : cases) Check(c);
}

TEST(Excerpts, AreEscapedAndCutAtCharacterBoundaries) {
  struct Case {
    std::string text;
    std::size_t limit;
    std::string excerpt;
  } cases[] = {
      {"abc", 40, "'abc'"},
      {"it's a\\b", 40, "'it\\'s a\\\\b'"},
      {std::string("\0\x7f\t", 3), 40, "'\\x00\\x7F\\t'"},
      {"caf\xC3\xA9", 40, "'caf\xC3\xA9'"},            // valid UTF-8 passes
      {"caf\xC3\xA9", 4, "'caf'... (5 bytes)"},         // never cut inside a character
      {"\xC3(\xE2\x82", 40, "'\\xC3(\\xE2\\x82'"},      // invalid UTF-8 is escaped
      {"\xED\xA0\x80\xE0\x80\x80\xF4\x90\x80\x80", 40,  // a surrogate, an overlong form, beyond U+10FFFF
       "'\\xED\\xA0\\x80\\xE0\\x80\\x80\\xF4\\x90\\x80\\x80'"},
      {"abcdef", 3, "'abc'... (6 bytes)"},
      {"", 40, "''"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(lantrel::Excerpt(c.text, c.limit), c.excerpt) << ::testing::PrintToString(c.text);
  }
  EXPECT_EQ(lantrel::OneLine("a\nb", 200), "a\\nb");
  EXPECT_EQ(lantrel::OneLine(std::string(300, 'x'), 200), std::string(200, 'x') + "...");
}

// Random inputs mixing good records with damaged ones, under every line end and mixes of
// them: the records converted plus the failures reported equal the records read, and every
// record read has exactly one output record (a failed one with its coordinates empty), in order.
TEST(HostileProperty, ConvertedPlusFailedEqualsRecordsRead) {
  LANTREL_REQUIRE(LibraryProjects(), "plane projections");
  const std::vector<std::string> good = {"-84.8733,38.2009,a", "-85.1,37.2,\"q, \"\"x\"\"\"",
                                         "-86,36.5,\"two\nlines\"", "-83.5 , 38.1 ,b"};
  const std::vector<std::string> bad = {"-84.8,38.2,a\"b", "-84.9,38.3,\"open", "\"-84.8\n\",38.2,c",
                                        "38.2,-84.8,sw", "-84,8,x", "1e15,1e15,z", "abc,38,q",
                                        "-84.8", "\"a\"b,1,2", ",,", "\x01\xff,\t,"};
  const std::vector<std::string> ends = {"\n", "\r\n", "\r"};
  std::mt19937 random(20261208);
  for (int round = 0; round < 40; ++round) {
    const bool csv = round % 2 == 0;
    const std::string end = ends[random() % ends.size()];
    std::string input = csv ? "lon,lat,name" + end : "";
    int records = 0;
    const int n = 1 + static_cast<int>(random() % 30);
    for (int i = 0; i < n; ++i) {
      std::string rec = random() % 2 == 0 ? good[random() % good.size()] : bad[random() % bad.size()];
      if (!csv) {
        // Plain lines: no quotes or embedded line breaks, which only CSV frames.
        for (char& c : rec) {
          if (c == '"' || c == '\n') c = ' ';
        }
      }
      // Every other pair of rounds mixes the line ends record by record.
      input += rec + (round % 4 >= 2 ? ends[random() % ends.size()] : end);
      ++records;
    }
    SCOPED_TRACE(::testing::PrintToString(input));
    std::vector<std::string> args = {"convert", "-f", "geo", "-t", "north"};
    if (csv) args.push_back("--csv");
    const auto r = RunTool(args, input);
    ASSERT_LT(r.status, 2) << r.err;
    // Split the output into records at line ends outside quoted fields.
    std::vector<std::string> out;
    std::string current;
    bool quoted = false;
    for (std::size_t i = 0; i < r.out.size(); ++i) {
      const char c = r.out[i];
      if (csv && c == '"') quoted = !quoted;
      if (!quoted && (c == '\n' || c == '\r')) {
        if (c == '\r' && i + 1 < r.out.size() && r.out[i + 1] == '\n') ++i;
        out.push_back(current);
        current.clear();
      } else {
        current += c;
      }
    }
    EXPECT_TRUE(current.empty()) << "output ends inside a record";
    if (csv && !out.empty()) out.erase(out.begin());  // the header
    int converted = 0;
    for (const auto& rec : out) converted += !rec.empty() && rec.front() != ',';
    int failures = 0;
    for (const char c : r.err) failures += c == '\n';
    EXPECT_EQ(static_cast<int>(out.size()), records);
    EXPECT_EQ(converted + failures, records) << r.err;
    EXPECT_EQ(r.status, failures > 0 ? 1 : 0);
  }
}

}  // namespace
}  // namespace lantrel::testing
