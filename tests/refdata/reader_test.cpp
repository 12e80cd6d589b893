// Reading lantrel.bin: the layout, text decoding, damaged files, the checksum, SetPath's rules
// and the sharing of loaded tables.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstring>

#include "lantrel/lantrel.hpp"
#include "lantrel/utf8_text.hpp"
#include "core/windows_1252.hpp"
#include "refdata/checksum.hpp"
#include "refdata/reference_data.hpp"
#include "refdata_files.hpp"

namespace lantrel::detail {
namespace {

using refdata_test::FileContents;
using refdata_test::TempFolder;

// A small valid file: two home records, one county, two quadrangles.
FileContents SmallFile() {
  FileContents f;
  f.states.push_back(f.Outline(21, "Home", {{83, 37}, {85, 37}, {85, 38}, {83, 38}, {83, 37}}));
  f.states.push_back(f.Outline(21, "Home", {{86, 37}, {87, 37}, {87, 37.5}, {86, 37}}));
  f.counties.push_back(f.Outline(5, "County", {{83, 37}, {85, 37}, {85, 38}, {83, 38}, {83, 37}}));
  f.quads.push_back({"Quad A", "KY", "37083-A1", 83.125, 83.0, 37.125, 37.0});
  f.quads.push_back({"", "", "37083-A2", 83.25, 83.125, 37.125, 37.0});
  return f;
}

std::shared_ptr<const ReferenceData> Parse(const std::vector<unsigned char>& bytes) {
  return ParseReferenceData(bytes.data(), bytes.size(), "test.bin");
}

void ExpectSameTables(const ReferenceData& a, const ReferenceData& b) {
  ASSERT_EQ(a.states.size(), b.states.size());
  for (std::size_t i = 0; i < a.states.size(); ++i) {
    EXPECT_EQ(a.states[i].Name, b.states[i].Name);
    EXPECT_EQ(a.states[i].LastVertex, b.states[i].LastVertex);
    EXPECT_EQ(a.states[i].YMin, b.states[i].YMin);
  }
  ASSERT_EQ(a.quads.size(), b.quads.size());
  for (std::size_t i = 0; i < a.quads.size(); ++i) EXPECT_EQ(a.quads[i].Tile, b.quads[i].Tile);
  EXPECT_EQ(a.vertexIndexList, b.vertexIndexList);
  EXPECT_EQ(a.vertexList, b.vertexList);
}

TEST(Reader, ReadsEveryFieldInFileOrder) {
  const auto data = Parse(SmallFile().Bytes());
  ASSERT_EQ(data->states.size(), 2u);
  const RegionRecord& s = data->states[1];
  EXPECT_EQ(s.FIPS, 21);
  EXPECT_EQ(s.FirstVertex, 5);
  EXPECT_EQ(s.LastVertex, 8);
  EXPECT_EQ(s.Name, "Home");
  EXPECT_EQ(s.XMax, 87);
  EXPECT_EQ(s.XMin, 86);
  EXPECT_EQ(s.YMax, 37.5);
  EXPECT_EQ(s.YMin, 37);
  ASSERT_EQ(data->quads.size(), 2u);
  EXPECT_EQ(data->quads[0].Name, "Quad A");
  EXPECT_EQ(data->quads[0].State, "KY");
  EXPECT_EQ(data->quads[1].Name, "");
  EXPECT_EQ(data->quads[1].XMax, 83.25);
  EXPECT_EQ(data->quads[1].XMin, 83.125);
  EXPECT_EQ(data->vertexIndexList.size(), 14u);
  EXPECT_EQ(data->vertexList.size(), 7u);  // shared corners stored once
  EXPECT_EQ(data->vertexList[6], (Pair{87, 37.5}));
}

TEST(Reader, AllCountsOneLoads) {
  FileContents f;
  f.states.push_back({1, 0, 0, "", 1, 0, 1, 0});
  f.counties.push_back({1, 0, 0, "", 1, 0, 1, 0});
  f.quads.push_back({"", "", "", 1, 0, 1, 0});
  f.numbers = {0};
  f.vertices = {{0.5, 0.5}};
  const auto data = Parse(f.Bytes());
  EXPECT_EQ(data->states.size(), 1u);
  EXPECT_EQ(data->states[0].Name, "");
  EXPECT_EQ(data->vertexList.size(), 1u);
}

TEST(Reader, BytesAfterTheVerticesAreIgnored) {
  auto bytes = SmallFile().Bytes();
  const auto plain = Parse(bytes);
  bytes.insert(bytes.end(), {0xFF, 0x00, 0x7F, 0x80, 0x01});
  ExpectSameTables(*plain, *Parse(bytes));
}

std::vector<unsigned char> WithChecksum(std::vector<unsigned char> bytes) {
  const std::uint64_t digest = Fnv1a64(bytes.data(), bytes.size());
  bytes.insert(bytes.end(), kChecksumTag, kChecksumTag + 8);
  for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<unsigned char>(digest >> (8 * i)));
  return bytes;
}

TEST(Checksum, IsTheStandard64BitFnv1a) {
  const struct {
    const char* text;
    std::uint64_t digest;
  } cases[] = {
      {"", 0xcbf29ce484222325ULL}, {"a", 0xaf63dc4c8601ec8cULL}, {"foobar", 0x85944171f73967e8ULL}};
  for (const auto& c : cases) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(c.text);
    EXPECT_EQ(Fnv1a64(bytes, std::strlen(c.text)), c.digest) << c.text;
  }
}

TEST(Checksum, FilesWithAndWithoutOneLoad) {
  const auto plain = SmallFile().Bytes();
  const auto summed = WithChecksum(plain);
  auto longer = summed;
  longer.push_back(0);  // the trailer no longer ends the file: bytes to ignore
  const struct {
    const char* what;
    std::vector<unsigned char> bytes;
    bool verified;
  } cases[] = {
      {"no checksum", plain, false},
      {"checksum", summed, true},
      {"checksum, then a byte", longer, false},
      {"checksum cut short", {summed.begin(), summed.end() - 1}, false},
  };
  const auto expected = Parse(plain);
  for (const auto& c : cases) {
    const auto data = Parse(c.bytes);
    EXPECT_EQ(data->verified, c.verified) << c.what;
    ExpectSameTables(*expected, *data);
  }
}

TEST(Checksum, EveryChangedByteIsRefusedOrLeavesTheTablesAlone) {
  const auto plain = SmallFile().Bytes();
  const auto expected = Parse(plain);
  const auto summed = WithChecksum(plain);
  for (std::size_t at = 0; at < summed.size(); ++at) {
    auto bytes = summed;
    bytes[at] ^= 0x10;
    if (at >= plain.size() && at < plain.size() + 8) {
      // A damaged tag leaves bytes to ignore after intact sections.
      const auto data = Parse(bytes);
      EXPECT_FALSE(data->verified) << at;
      ExpectSameTables(*expected, *data);
      continue;
    }
    try {
      Parse(bytes);
      ADD_FAILURE() << "byte " << at << " changed and the file loaded";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), errc::InvalidFileFormat) << at;
      EXPECT_EQ(e.description().rfind("Invalid file format: test.bin: checksum mismatch", 0), 0u)
          << e.description();
    }
  }
}

TEST(Reader, TextsAreDecodedFromWindows1252) {
  const struct {
    std::vector<unsigned char> in;
    std::string out;
  } cases[] = {
      {{'A', 'b'}, "Ab"},
      {{0xE9}, "\xC3\xA9"},             // é
      {{0x80}, "\xE2\x82\xAC"},         // €
      {{0x9F}, "\xC5\xB8"},             // Ÿ
      {{0x81}, "\xC2\x81"},             // undefined: the C1 control of the same value
      {{0xA0, 0xFF}, "\xC2\xA0\xC3\xBF"},
      {{}, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Windows1252ToUtf8(c.in.data(), c.in.size()), c.out);
  }
  // Text shown to people: undefined bytes are replaced, and UTF-8 is kept as it is.
  EXPECT_EQ(lantrel::AsUtf8("\x81\xE9"), "\xEF\xBF\xBD\xC3\xA9");
  EXPECT_EQ(lantrel::AsUtf8("Caf\xC3\xA9"), "Caf\xC3\xA9");
  FileContents f = SmallFile();
  f.states[0].name = "Caf\xE9";
  EXPECT_EQ(Parse(f.Bytes())->states[0].Name, "Caf\xC3\xA9");
}

// Offset of each section's count in SmallFile's bytes.
std::vector<std::size_t> CountOffsets(const FileContents& f) {
  std::vector<std::size_t> offsets;
  std::vector<unsigned char> b;
  offsets.push_back(0);
  FileContents::Int32(b, 0);
  for (const auto& r : f.states) FileContents::Put(b, r);
  offsets.push_back(b.size());
  FileContents::Int32(b, 0);
  for (const auto& r : f.counties) FileContents::Put(b, r);
  offsets.push_back(b.size());
  FileContents::Int32(b, 0);
  for (const auto& q : f.quads) {
    b.resize(b.size() + 38 + q.name.size() + q.state.size() + q.tile.size());
  }
  offsets.push_back(b.size());
  b.resize(b.size() + 4 + 4 * f.numbers.size());
  offsets.push_back(b.size());
  return offsets;
}

TEST(Reader, UnusableCountsFailTheLoad) {
  const FileContents f = SmallFile();
  const auto offsets = CountOffsets(f);
  const struct {
    std::int32_t count;
    std::int32_t number;
  } cases[] = {
      {0, errc::SubscriptOutOfRange},
      {-1, errc::SubscriptOutOfRange},
      {INT32_MIN, errc::Overflow},
      {INT32_MAX, 62},
      {1 << 24, 62},
  };
  for (std::size_t section = 0; section < offsets.size(); ++section) {
    for (const auto& c : cases) {
      auto bytes = f.Bytes();
      for (int i = 0; i < 4; ++i) {
        bytes[offsets[section] + static_cast<std::size_t>(i)] =
            static_cast<unsigned char>(static_cast<std::uint32_t>(c.count) >> (8 * i));
      }
      try {
        Parse(bytes);
        ADD_FAILURE() << "section " << section << " count " << c.count << " loaded";
      } catch (const Error& e) {
        EXPECT_EQ(e.number(), c.number) << "section " << section << " count " << c.count;
        EXPECT_NE(e.description().find("test.bin"), std::string::npos) << e.description();
      }
    }
  }
}

TEST(Reader, EveryTruncationFailsCleanly) {
  const auto bytes = SmallFile().Bytes();
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    try {
      ParseReferenceData(bytes.data(), size, "short.bin");
      ADD_FAILURE() << "a file of " << size << " bytes loaded";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), 62) << size;
    }
  }
  EXPECT_NO_THROW(ParseReferenceData(bytes.data(), bytes.size(), "full.bin"));
}

TEST(Reader, ANameLongerThanTheRestOfTheFileFails) {
  FileContents f = SmallFile();
  f.states[0].name = std::string(300, 'x');
  auto bytes = f.Bytes();
  bytes.resize(4 + 12 + 2 + 100);
  EXPECT_THROW(Parse(bytes), Error);
}

TEST(Reader, LoadedTablesAreSharedWhileTheFileIsUnchanged) {
  TempFolder dir;
  FileContents f = SmallFile();
  dir.Write(f.Bytes());
  const auto first = LoadReferenceData(dir.File());
  EXPECT_EQ(LoadReferenceData(dir.File()), first);

  // Rewritten in place with the same size: the new contents are read.
  f.states[0].name = "Diff";
  dir.Write(f.Bytes());
  const auto second = LoadReferenceData(dir.File());
  EXPECT_EQ(second->states[0].Name, "Diff");
  EXPECT_EQ(first->states[0].Name, "Home") << "earlier tables stay as they were";
}

TEST(Reader, UnreadableFileFails) {
  TempFolder dir;
  EXPECT_THROW(LoadReferenceData(dir.File()), Error);  // no such file
  ASSERT_EQ(::mkdir(dir.File().c_str(), 0700), 0);
  try {
    LoadReferenceData(dir.File());
    ADD_FAILURE() << "a folder loaded as data";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), 75);
  }
}

// ---- SetPath --------------------------------------------------------------------------------

void ExpectNotLoadedError(ZrGeoPosition& p) {
  try {
    p.StateCount();
    ADD_FAILURE() << "lookup without data";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), -2147220494);
    EXPECT_EQ(e.source(), "lantrel:zrGeoPosition:");
    EXPECT_EQ(e.description(),
              "lantrel has not been initialized.\r\nCould not connect to lantrel.bin.\r\n"
              "Location functionality is not available.");
  }
}

TEST(SetPath, EmptyOrMissingFolderReturnsFalse) {
  ZrGeoPosition p;
  if (p.DataLoaded()) GTEST_SKIP() << "the search found a data file";
  EXPECT_FALSE(p.SetPath(""));
  EXPECT_FALSE(p.SetPath("/nonexistent/folder"));
  ExpectNotLoadedError(p);
  ExpectNotLoadedError(p);
}

TEST(SetPath, FailedLoadRaisesAndAGoodFileLoadsLater) {
  TempFolder bad, good;
  auto bytes = SmallFile().Bytes();
  good.Write(bytes);
  bytes[0] = 0;  // state count 0
  bad.Write(bytes);

  ZrGeoPosition p;
  if (p.DataLoaded()) GTEST_SKIP() << "the search found a data file";
  try {
    p.SetPath(bad.Folder());
    ADD_FAILURE() << "state count 0 loaded";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), errc::SubscriptOutOfRange);
    EXPECT_EQ(e.source(), "zrGeoPosition:SetPath");
  }
  EXPECT_FALSE(p.DataLoaded());
  ExpectNotLoadedError(p);

  EXPECT_FALSE(p.SetPath(""));
  std::string noSlash = good.Folder();
  noSlash.pop_back();
  EXPECT_TRUE(p.SetPath(noSlash));
  EXPECT_TRUE(p.DataLoaded());
  EXPECT_FALSE(p.DataVerified()) << "the file has no checksum";
  // Loaded once and for all: any argument now returns True and changes nothing.
  EXPECT_TRUE(p.SetPath(""));
  EXPECT_TRUE(p.SetPath("/nonexistent"));
  EXPECT_TRUE(p.SetPath(bad.Folder()));
  p.x(84.0);
  p.y(37.5);
  EXPECT_EQ(p.StateCount(), 1);
  EXPECT_EQ(p.StateName(0), "Home");
}

TEST(SetPath, PathWithAndWithoutSeparatorNameTheSameFile) {
  TempFolder dir;
  dir.Write(SmallFile().Bytes());
  std::string folder = dir.Folder();
  for (const std::string& named : {folder, folder.substr(0, folder.size() - 1)}) {
    ZrGeoPosition p;
    if (p.DataLoaded()) GTEST_SKIP() << "the search found a data file";
    EXPECT_TRUE(p.SetPath(named)) << named;
  }
}

TEST(SetPath, ReportsAVerifiedChecksumAndRefusesAMismatch) {
  TempFolder good, bad;
  auto bytes = WithChecksum(SmallFile().Bytes());
  good.Write(bytes);
  bytes[20] ^= 1;
  bad.Write(bytes);
  ZrGeoPosition p;
  if (p.DataLoaded()) GTEST_SKIP() << "the search found a data file";
  EXPECT_FALSE(p.DataVerified());
  try {
    p.SetPath(bad.Folder());
    ADD_FAILURE() << "a file whose checksum does not match loaded";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), errc::InvalidFileFormat);
    EXPECT_EQ(e.source(), "zrGeoPosition:SetPath");
    EXPECT_NE(e.description().find(bad.File() + ": checksum mismatch"), std::string::npos)
        << e.description();
  }
  EXPECT_FALSE(p.DataLoaded());
  EXPECT_TRUE(p.SetPath(good.Folder()));
  EXPECT_TRUE(p.DataVerified());
}

TEST(SetPath, AllCountsOneLoadsButLookupsNeedTwoStates) {
  FileContents f;
  f.states.push_back(f.Outline(21, "", {{83, 37}, {85, 37}, {85, 38}, {83, 37}}));
  f.counties.push_back({1, 0, 0, "", 1, 0, 1, 0});
  f.quads.push_back({"", "", "", 1, 0, 1, 0});
  TempFolder dir;
  dir.Write(f.Bytes());
  ZrGeoPosition p;
  if (p.DataLoaded()) GTEST_SKIP() << "the search found a data file";
  EXPECT_TRUE(p.SetPath(dir.Folder()));
  p.x(84.5);
  p.y(37.2);
  try {
    p.StateCount();
    ADD_FAILURE() << "one state record served a lookup";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), errc::SubscriptOutOfRange);
  }
}

TEST(SetPath, ConstructionFailsOnAnUnreadableFileItFinds) {
  // The search finds the built file first, so this is shown through SetPath's own path:
  // a folder named lantrel.bin is found but cannot be read.
  TempFolder dir;
  ASSERT_EQ(::mkdir(dir.File().c_str(), 0700), 0);
  ZrGeoPosition p;
  if (p.DataLoaded()) GTEST_SKIP() << "the search found a data file";
  try {
    p.SetPath(dir.Folder());
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(e.source(), "zrGeoPosition:SetPath");
    EXPECT_EQ(e.number(), 75);
  }
}

}  // namespace
}  // namespace lantrel::detail
