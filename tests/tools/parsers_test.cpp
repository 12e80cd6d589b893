// The tool's text handling: system names, numbers, plain lines, Carter strings, CSV, JSON,
// options.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "carter_text.hpp"
#include "command_line.hpp"
#include "csv.hpp"
#include "io.hpp"
#include "json.hpp"
#include "lantrel/number_text.hpp"
#include "line_fields.hpp"
#include "systems.hpp"

namespace lantrel::cli {
namespace {

using P = zrGeoProjection;
using D = zrGeoDatum;
using U = zrGeoUnits;

TEST(SystemNames, AcceptedNamesResolveToProjectionDatumUnits) {
  struct Case {
    const char* text;
    P projection;
    D datum;
    U units;
  } cases[] = {
      {"geo", P::zrGeographic, D::zrNAD83, U::zrDecimalDegrees},
      {"geographic/nad27", P::zrGeographic, D::zrNAD27, U::zrDecimalDegrees},
      {"north", P::zrNorthZone, D::zrNAD83, U::zrUSFt},
      {"North/NAD27/m", P::zrNorthZone, D::zrNAD27, U::zrMeters},
      {"utm16", P::zrUTM16, D::zrNAD83, U::zrMeters},
      {"utm17/nad27/km", P::zrUTM17, D::zrNAD27, U::zrKilometers},
      {"single/nad83/ft", P::zrSingleZone, D::zrNAD83, U::zrIntlFt},
      {"south/nad83/mi", P::zrSouthZone, D::zrNAD83, U::zrMiles},
      {"mo-east", P::moEastZone, D::zrNAD83, U::zrUSFt},
      {"il-west", P::ilWestZone, D::zrNAD83, U::zrUSFt},
      {"in-east/nad27", P::inEastZone, D::zrNAD27, U::zrUSFt},
      {"tn", P::tnSingleZone, D::zrNAD83, U::zrUSFt},
      {"carter/nad27", P::zrCarter, D::zrNAD27, U::zrDecimalDegrees},
      {"zrNorthZone/zrNAD27/zrMeters", P::zrNorthZone, D::zrNAD27, U::zrMeters},
      {"vaSouthZone", P::vaSouthZone, D::zrNAD83, U::zrUSFt},
      {"1/1/2", P::zrNorthZone, D::zrNAD27, U::zrMeters},
      {"15", P::tnSingleZone, D::zrNAD83, U::zrUSFt},
      {"EPSG:2246", P::zrNorthZone, D::zrNAD83, U::zrUSFt},
      {"epsg:26779", P::zrNorthZone, D::zrNAD27, U::zrUSFt},
      {"EPSG:4267", P::zrGeographic, D::zrNAD27, U::zrDecimalDegrees},
      {"EPSG:26916", P::zrUTM16, D::zrNAD83, U::zrMeters},
      {"EPSG:3088", P::zrSingleZone, D::zrNAD83, U::zrMeters},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto r = ParseSystem(c.text);
    ASSERT_TRUE(r.system) << r.error;
    EXPECT_EQ(r.system->projection, c.projection);
    EXPECT_EQ(r.system->datum, c.datum);
    EXPECT_EQ(r.system->units, c.units);
  }
}

TEST(SystemNames, RefusedNamesSayWhy) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"", "is not a projection"},
      {"nowhere", "is not a projection"},
      {"16", "is not a projection"},
      {"north/nad84", "is not a datum"},
      {"north/nad83/yd", "is not a unit"},
      {"north/nad83/m/x", "expected PROJECTION"},
      {"single/nad27", "NAD 83 only"},
      {"geo/nad83/m", "decimal degrees"},
      {"carter/nad83/usft", "decimal degrees"},
      {"utm16/nad83/deg", "linear unit"},
      {"EPSG:9999", "not one of the EPSG codes"},
      {"EPSG:2204", "not one of the EPSG codes"},  // NAD 27 Tennessee: different false origin
      {"EPSG:abc", "must be a number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto r = ParseSystem(c.text);
    EXPECT_FALSE(r.system);
    EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error;
  }
}

TEST(SystemNames, EpsgTableIsSortedUniqueAndRoundTrips) {
  const auto table = EpsgTable();
  ASSERT_FALSE(table.empty());
  for (std::size_t i = 1; i < table.size(); ++i) EXPECT_LT(table[i - 1].code, table[i].code);
  for (const auto& e : table) {
    const System s{e.projection, e.datum, e.units, 0};
    EXPECT_EQ(EpsgOf(s), e.code);
    EXPECT_FALSE(s.projection == P::zrSingleZone && s.datum == D::zrNAD27);
  }
}

TEST(Numbers, ParseAcceptsDecimalTextOnly) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  } cases[] = {
      {"84.5", true, 84.5},   {"-84.5", true, -84.5}, {"+3", true, 3.0},
      {".5", true, 0.5},      {"5.", true, 5.0},      {"1e3", true, 1000.0},
      {"-0", true, -0.0},     {"", false, 0},         {"-", false, 0},
      {"nan", false, 0},      {"inf", false, 0},      {"-inf", false, 0},
      {"1e999", false, 0},    {"12a", false, 0},      {"1,5", false, 0},
      {" 1", false, 0},       {"0x10", false, 0},     {"+-1", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto v = ParseDecimal(c.text);
    EXPECT_EQ(v.has_value(), c.ok);
    if (v && c.ok) {
      EXPECT_EQ(*v, c.value);
    }
  }
}

TEST(Numbers, FixedFormattingRoundsAndDropsNegativeZero) {
  struct Case {
    double v;
    int decimals;
    const char* text;
  } cases[] = {
      {1.5, 0, "2"},          {2.5, 0, "2"},  // the binary value is rounded to nearest-even at ties
      {0.125, 2, "0.12"},     {-84.123456789012, 9, "-84.123456789"},
      {-0.0004, 3, "0.000"},  {-0.0, 3, "0.000"},
      {-0.0006, 3, "-0.001"}, {0.0625, 3, "0.062"}, {1234567.25, 1, "1234567.2"},
      {1e20, 1, "100000000000000000000.0"},
  };
  for (const auto& c : cases) {
    char text[kMaxFixedChars];
    char* end = FormatFixed(text, c.v, c.decimals);
    EXPECT_EQ(std::string(text, end), c.text) << c.v;
  }
  char big[kMaxFixedChars];
  char* end = FormatFixed(big, -1.7976931348623157e308, kMaxPrecision);
  EXPECT_LE(end - big, kMaxFixedChars);
}

TEST(PlainLines, FieldsAndSeparatorsAreFound) {
  struct Case {
    const char* line;
    const char* x;
    const char* sep;
    const char* y;
    const char* rest;
  } cases[] = {
      {"1 2", "1", " ", "2", ""},
      {"  1\t2  ", "1", "\t", "2", ""},
      {"1,2", "1", ",", "2", ""},
      {"1 , 2 ,name", "1", " , ", "2", " ,name"},
      {"1;2;a;b", "1", ";", "2", ";a;b"},
      {"-84.5 37.5 well 7 # note", "-84.5", " ", "37.5", " well 7 # note"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    PairFields f;
    ASSERT_EQ(SplitPair(c.line, f), nullptr);
    EXPECT_EQ(f.x, c.x);
    EXPECT_EQ(f.separator, c.sep);
    EXPECT_EQ(f.y, c.y);
    EXPECT_EQ(f.rest, c.rest);
  }
  PairFields f;
  EXPECT_STREQ(SplitPair("1", f), "missing y value");
  EXPECT_STREQ(SplitPair("1,,2", f), "missing y value");
  EXPECT_STREQ(SplitPair(",2", f), "missing x value");
}

TEST(PlainLines, BlankAndCommentLinesAreRecognised) {
  EXPECT_EQ(Classify(""), LineKind::Blank);
  EXPECT_EQ(Classify(" \t "), LineKind::Blank);
  EXPECT_EQ(Classify("  # note"), LineKind::Comment);
  EXPECT_EQ(Classify("1 2 # note"), LineKind::Data);
}

TEST(CarterStrings, BothLayoutsAreRead) {
  struct Case {
    const char* text;
    const char* letter;
    int number, section;
    double ns;
    bool north;
    double ew;
    bool east;
    std::size_t length;
  } cases[] = {
      {"D45-07 1200-FNL 350-FWL", "D", 45, 7, 1200, true, 350, false, 23},
      {"GG92-25 0-FSL 0-FEL rest", "GG", 92, 25, 0, false, 0, true, 19},
      {"h49-11 2451.6-fsl 359.5-fwl", "h", 49, 11, 2451.6, false, 359.5, false, 27},
      {"D45-07 350-FWL 1200-FNL", "D", 45, 7, 1200, true, 350, false, 23},
      {"1200 FNL  350 FWL 07- D-45", "D", 45, 7, 1200, true, 350, false, 26},
      {"   0 FSL    0 FEL 25-GG-92, x", "GG", 92, 25, 0, false, 0, true, 26},
      {"  -5 FNL 12 FEL 1- A-0", "A", 0, 1, -5, true, 12, true, 22},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto p = ParseCarter(c.text);
    ASSERT_TRUE(p.location) << p.error;
    EXPECT_EQ(p.location->letter, c.letter);
    EXPECT_EQ(p.location->number, c.number);
    EXPECT_EQ(p.location->section, c.section);
    EXPECT_EQ(p.location->northSouthFeet, c.ns);
    EXPECT_EQ(p.location->fromNorth, c.north);
    EXPECT_EQ(p.location->eastWestFeet, c.ew);
    EXPECT_EQ(p.location->fromEast, c.east);
    EXPECT_EQ(p.length, c.length);
  }
}

TEST(CarterStrings, MalformedLocationsAreRefused) {
  for (const char* text : {"", "D45", "D45-07", "D45-07 1200-FNL", "D45-07 1200-FNL 350-FSL",
                           "D45-07 1200FNL 350-FWL", "D45-07 1200-FNL 350-FWLX",
                           "D1234567890-07 1-FNL 1-FWL", "1200 FNL 350 FWL", "1200 FNL 350 FWL 07",
                           "1200 FXL 350 FWL 07- D-45", "45 D-07 1-FNL 1-FWL"}) {
    SCOPED_TRACE(text);
    const auto p = ParseCarter(text);
    EXPECT_FALSE(p.location);
    EXPECT_FALSE(p.error.empty());
  }
}

TEST(CarterStrings, RowHHIsStoredThroughItsIndex) {
  EXPECT_EQ(LetterForLibrary("HH"), "033");
  EXPECT_EQ(LetterForLibrary("hh"), "033");
  EXPECT_EQ(LetterForLibrary("GG"), "GG");
  EXPECT_EQ(LetterForLibrary("HI"), "HI");  // left for the library to refuse
}

TEST(Csv, FieldsKeepTheirQuotingAndValuesAreUnquoted) {
  std::vector<std::string_view> f;
  ASSERT_TRUE(SplitCsv(R"(a,"b,c","say ""hi""",,  "d" )", f));
  ASSERT_EQ(f.size(), 5u);
  EXPECT_EQ(f[1], R"("b,c")");
  EXPECT_EQ(CsvValue(f[0]), "a");
  EXPECT_EQ(CsvValue(f[1]), "b,c");
  EXPECT_EQ(CsvValue(f[2]), R"(say "hi")");
  EXPECT_EQ(CsvValue(f[3]), "");
  EXPECT_EQ(CsvValue(f[4]), "d");
  EXPECT_FALSE(SplitCsv(R"(a,"open)", f));
  EXPECT_TRUE(SplitCsv("a,\"line\nbreak\",c", f));
  EXPECT_EQ(CsvValue(f[1]), "line\nbreak");
}

TEST(Csv, ValuesAreQuotedOnlyWhenNeeded) {
  struct Case {
    const char* value;
    const char* field;
  } cases[] = {
      {"plain", "plain"},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {" padded", "\" padded\""},
      {"", ""},
  };
  for (const auto& c : cases) {
    std::string out;
    AppendCsvField(out, c.value);
    EXPECT_EQ(out, c.field);
    std::vector<std::string_view> f;
    ASSERT_TRUE(SplitCsv(out, f));
    ASSERT_EQ(f.size(), 1u);
    if (c.value[0] != ' ') {
      EXPECT_EQ(CsvValue(f[0]), c.value);
    }
  }
}

TEST(Json, StringsAreEscaped) {
  std::string out;
  AppendJsonString(out, std::string("a\"b\\c\n\t\x01\x7f\xc3\xa9", 11));
  EXPECT_EQ(out, "\"a\\\"b\\\\c\\n\\t\\u0001\\u007f\xc3\xa9\"");
}

CommandLine SmallCommandLine() {
  CommandLine c("test", "usage: test\n\n");
  c.Option("-f,--from", "SYSTEM", "the source");
  c.Option("-t,--to", "SYSTEM", "");
  c.Option("-p,--precision", "N", "decimals\nwritten");
  c.Flag("--json", "JSON");
  return c;
}

TEST(CommandLine, LongShortAttachedAndOperands) {
  CommandLine o = SmallCommandLine();
  ASSERT_TRUE(o.Parse({"-f", "geo", "--to=north", "-p3", "--json", "a.txt", "-p", "4", "--",
                       "--b.txt", "-"}));
  EXPECT_EQ(o.Value("from"), "geo");
  EXPECT_EQ(o.Value("to"), "north");
  EXPECT_EQ(o.Value("precision"), "4");
  EXPECT_TRUE(o.Has("json"));
  EXPECT_FALSE(o.Value("json"));
  EXPECT_EQ(o.operands(), (std::vector<std::string>{"a.txt", "--b.txt", "-"}));
  EXPECT_FALSE(SmallCommandLine().Parse({"--bogus", "-h"}));
  EXPECT_EQ(SmallCommandLine().Help(),
            "usage: test\n\nOptions:\n"
            "  -f, --from SYSTEM     the source\n"
            "  -t, --to SYSTEM, -p, --precision N\n"
            "                        decimals\n"
            "                        written\n"
            "      --json            JSON\n"
            "  -h, --help            show this help\n");
}

TEST(CommandLine, MistakesAreUsageErrorsNamingTheArgument) {
  const struct {
    std::vector<std::string> args;
    std::string message;
  } bad[] = {{{"--nope"}, "unknown option '--nope'"},
             {{"-x"}, "unknown option '-x'"},
             {{"--from"}, "option '--from' needs a value"},
             {{"-f", "geo", "-f"}, "option '-f' needs a value"},
             {{"--json=yes"}, "option '--json' takes no value"},
             {{"-qp"}, "unknown option '-qp'"}};
  for (const auto& c : bad) {
    try {
      SmallCommandLine().Parse(c.args);
      ADD_FAILURE() << c.args.front();
    } catch (const UsageError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
  EXPECT_THROW(IntOption("precision", "18", 0, 17), UsageError);
  EXPECT_THROW(IntOption("precision", "2x", 0, 17), UsageError);
  EXPECT_EQ(IntOption("precision", "17", 0, 17), 17);
}

}  // namespace
}  // namespace lantrel::cli

namespace lantrel::cli {
namespace {

// Lines that straddle read blocks, longer than a block, CRLF endings and a last line without
// a line feed all come out whole and numbered.
TEST(LineInput, LinesAcrossBlockBoundariesComeOutWhole) {
  const std::string longLine(100, 'x');
  const std::string text = "a b\r\n\n" + longLine + "\nabcdefghijklmnop\r\nlast";
  const std::string path = ::testing::TempDir() + "/lantrel_lines.txt";
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  for (const std::size_t chunk : {std::size_t{4}, std::size_t{16}, std::size_t{1} << 20}) {
    LineReader in(path, chunk);
    std::vector<std::string> lines;
    std::string_view line;
    while (in.Next(line)) lines.emplace_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"a b", "", longLine, "abcdefghijklmnop", "last"}))
        << chunk;
    EXPECT_EQ(in.lineNumber(), 5u);
    EXPECT_EQ(in.consumed(), text.size());
    EXPECT_TRUE(in.regular());
    EXPECT_EQ(in.size(), text.size());
  }
  std::remove(path.c_str());
  EXPECT_THROW(LineReader("/nonexistent/lantrel"), IoError);
  EXPECT_THROW(LineReader("/"), IoError);
}

}  // namespace
}  // namespace lantrel::cli
