// Record framing of the tool's input: line ends, the byte-order mark, CSV records that span
// lines, and where reading goes on after a damaged record.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "csv.hpp"
#include "io.hpp"

namespace lantrel::cli {
namespace {

std::string TempFile(const std::string& name, const std::string& text) {
  const std::string path = ::testing::TempDir() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return {};
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  return path;
}

struct Line {
  std::string text;
  std::string ending;
  std::string outputEnding;
  bool operator==(const Line&) const = default;
};

// Every block size, down to blocks smaller than a CRLF pair and the byte-order mark, gives
// the same lines and line ends.
TEST(LineEnds, CrLfAndCrlfAreReadAndReported) {
  struct Case {
    std::string text;
    bool bom;
    std::vector<Line> lines;
  } cases[] = {
      {"a\nb\n", false, {{"a", "\n", "\n"}, {"b", "\n", "\n"}}},
      {"a\r\nb\r\n", false, {{"a", "\r\n", "\r\n"}, {"b", "\r\n", "\r\n"}}},
      {"a\rb\rc", false, {{"a", "\r", "\r"}, {"b", "\r", "\r"}, {"c", "", "\r"}}},
      {"a\r\rb\n\r\n", false, {{"a", "\r", "\r"}, {"", "\r", "\r"}, {"b", "\n", "\n"}, {"", "\r\n", "\r\n"}}},
      {"only", false, {{"only", "", "\n"}}},
      {"x\r", false, {{"x", "\r", "\r"}}},
      {"\xEF\xBB\xBFh,i\r\n1,2", true, {{"h,i", "\r\n", "\r\n"}, {"1,2", "", "\r\n"}}},
      {"\xEF\xBB\xBF", true, {}},
      {"\xEF\xBB", false, {{"\xEF\xBB", "", "\n"}}},
      {"a\xEF\xBB\xBF\n", false, {{"a\xEF\xBB\xBF", "\n", "\n"}}},  // a mark after the start is data
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string path = TempFile("lantrel_ends_" + std::to_string(n++), c.text);
    for (const std::size_t chunk : {std::size_t{2}, std::size_t{3}, std::size_t{5}, std::size_t{1} << 16}) {
      SCOPED_TRACE(::testing::PrintToString(c.text) + " chunk " + std::to_string(chunk));
      LineReader in(path, chunk);
      std::vector<Line> got;
      std::string_view line;
      while (in.Next(line)) {
        got.push_back({std::string(line), std::string(in.ending()), std::string(in.outputEnding())});
      }
      EXPECT_EQ(got, c.lines);
      EXPECT_EQ(in.bom(), c.bom);
      EXPECT_EQ(in.consumed(), c.text.size());
      EXPECT_EQ(in.lineNumber(), c.lines.size());
    }
    std::remove(path.c_str());
  }
}

struct Rec {
  std::uint64_t line;
  std::string text;
  std::size_t fields;     // 0 for a damaged record
  std::string error;      // expected start of the error, "" for none
};

std::vector<Rec> ReadRecords(const std::string& text, bool comments = false) {
  const std::string path = TempFile("lantrel_records", text);
  LineReader in(path, 7);
  CsvReader reader(in);
  reader.CommentsAllowed(comments);
  CsvRecord r;
  std::vector<Rec> out;
  while (reader.Next(r)) {
    out.push_back({r.line, std::string(r.text), r.fields.size(), r.error});
  }
  std::remove(path.c_str());
  return out;
}

TEST(CsvFraming, DamagedRecordsCostOneRecordAndReadingResumesAfterTheirFirstLine) {
  const std::string open300 = "\"never closed,1\n" + [] {
    std::string s;
    for (int i = 0; i < 300; ++i) s += "a,b\n";
    return s;
  }();
  struct Case {
    std::string name;
    std::string text;
    std::vector<Rec> records;
  } cases[] = {
      {"well formed, a field over two lines", "a,b\n\"x\ny\",z\nq,r\n",
       {{1, "a,b", 2, ""}, {2, "\"x\ny\",z", 2, ""}, {4, "q,r", 2, ""}}},
      {"inner CRLF kept", "x,\"a\r\nb\"\r\nc,d\r\n", {{1, "x,\"a\r\nb\"", 2, ""}, {3, "c,d", 2, ""}}},
      {"quote in an unquoted field", "a\"b,c\nd,e\n",
       {{1, "a\"b,c", 0, "a quote inside the unquoted field 1"}, {2, "d,e", 2, ""}}},
      {"text after a closing quote", "1,\"a\"x,b\n2,3\n",
       {{1, "1,\"a\"x,b", 0, "text after the closing quote of field 2"}, {2, "2,3", 2, ""}}},
      {"blanks around a quoted field", "  \"a\" ,b\n", {{1, "  \"a\" ,b", 2, ""}}},
      {"open to the end of the input", "1,\"open\n2,x\n3,y\n",
       {{1, "1,\"open", 0, "a quoted field is not closed by the end of the input; reading resumes at line 2"},
        {2, "2,x", 2, ""},
        {3, "3,y", 2, ""}}},
      {"closed by a later stray quote", "\"a\n\"b,c\nd\n",
       {{1, "\"a", 0, "text after the closing quote of field 1; reading resumes at line 2"},
        {2, "\"b,c", 0, "a quoted field is not closed by the end of the input; reading resumes at line 3"},
        {3, "d", 1, ""}}},
      {"open on the last line", "a\n\"b", {{1, "a", 1, ""}, {2, "\"b", 0, "a quoted field is not closed"}}},
      {"blank lines are not split", "a\n \n", {{1, "a", 1, ""}, {2, " ", 0, ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto got = ReadRecords(c.text);
    ASSERT_EQ(got.size(), c.records.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].line, c.records[i].line) << i;
      EXPECT_EQ(got[i].text, c.records[i].text) << i;
      EXPECT_EQ(got[i].fields, c.records[i].fields) << i;
      EXPECT_EQ(got[i].error.substr(0, c.records[i].error.size()), c.records[i].error) << i;
      EXPECT_EQ(got[i].error.empty(), c.records[i].error.empty()) << i << ": " << got[i].error;
    }
  }
  // A quote that never closes gathers at most a bounded number of lines before giving up.
  const auto bounded = ReadRecords(open300);
  ASSERT_EQ(bounded.size(), 301u);
  EXPECT_EQ(bounded[0].error.rfind("a quoted field is still open after 256 lines", 0), 0u) << bounded[0].error;
  EXPECT_EQ(bounded[300].line, 301u);
  EXPECT_EQ(bounded[300].fields, 2u);
  // Before the header, comment lines are passed whole even with an odd number of quotes.
  const auto comments = ReadRecords("# it's a \"note\n# \"\nx,y\n", true);
  ASSERT_EQ(comments.size(), 3u);
  EXPECT_EQ(comments[2].line, 3u);
  EXPECT_EQ(comments[2].fields, 2u);
}

// The header decides the delimiter by count outside quotes; a tie goes to the preferred one.
// With tabs as delimiter, blanks around a field are spaces only.
TEST(CsvDelimiter, SniffedFromTheHeaderAndSplitBy) {
  const struct {
    std::string header;
    char preferred;
    char delimiter;
  } sniffs[] = {
      {"lon;lat;name,x", ',', ';'}, {"a\tb\tc", ',', '\t'}, {"\"a;b;c\",x,y", ',', ','},
      {"carter", ',', ','},         {"carter", '\t', '\t'}, {"a|b,c", ',', ','},
      {"a|b,c", '|', '|'},          {"a|b,c", ';', ','},
  };
  for (const auto& c : sniffs) {
    EXPECT_EQ(SniffDelimiter(c.header, c.preferred), c.delimiter) << ::testing::PrintToString(c.header);
  }
  std::vector<std::string_view> fields;
  ASSERT_TRUE(SplitCsv(" \"a\tb\" \t\tc, d", fields, '\t'));
  EXPECT_EQ(fields, (std::vector<std::string_view>{" \"a\tb\" ", "", "c, d"}));
  EXPECT_FALSE(SplitCsv("\"a\"\tx\tb", fields, ';'));  // text after the quote and a blank
  std::string out;
  AppendCsvField(out, "a;b", ';');
  AppendCsvField(out, "a,b", ';');
  EXPECT_EQ(out, "\"a;b\"a,b");
  EXPECT_EQ(ParseDelimiter("tab"), '\t');
  EXPECT_EQ(ParseDelimiter("\\t"), '\t');
  EXPECT_EQ(ParseDelimiter(";"), ';');
  EXPECT_EQ(ParseDelimiter(",,"), std::nullopt);
}

}  // namespace
}  // namespace lantrel::cli
