// The reader's consistency checks: each kind of damage a sound file never holds is refused at
// load with error 321 naming the record, and each oddity a sound file may hold still loads.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "lantrel/error.hpp"
#include "refdata/reference_data.hpp"
#include "refdata_files.hpp"

namespace lantrel::detail {
namespace {

using refdata_test::FileContents;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Two home records, one neighbour, two counties and two quadrangles, every rule kept.
FileContents Sound() {
  FileContents f;
  f.states.push_back(f.Outline(21, "Home", {{83, 37}, {85, 37}, {85, 38}, {83, 38}, {83, 37}}));
  f.states.push_back(f.Outline(21, "Home", {{86, 37}, {87, 37}, {87, 37.5}, {86, 37}}));
  f.states.push_back(f.Outline(47, "South", {{83, 36.5}, {85, 36.5}, {85, 37}, {83, 37}, {83, 36.5}}));
  f.counties.push_back(f.Outline(1, "East", {{83, 37}, {84, 37}, {84, 38}, {83, 38}, {83, 37}}));
  f.counties.push_back(f.Outline(239, "West", {{84, 37}, {85, 37}, {85, 38}, {84, 38}, {84, 37}}));
  f.quads.push_back({"Quad A", "KY", "37083-A1", 83.125, 83.0, 37.125, 37.0});
  f.quads.push_back({"", "", "37083-A2", 83.25, 83.125, 37.125, 37.0});
  return f;
}

struct Loaded {
  std::int32_t error = 0;
  std::string description;
};

Loaded Load(const FileContents& f) {
  const auto bytes = f.Bytes();
  try {
    ParseReferenceData(bytes.data(), bytes.size(), "test.bin");
  } catch (const Error& e) {
    return {e.number(), e.description()};
  }
  return {};
}

TEST(Integrity, DamageIsRefusedNamingTheRecord) {
  const struct {
    const char* what;
    std::function<void(FileContents&)> damage;
    const char* named;  // expected in the description
  } cases[] = {
      {"last position beyond the list", [](FileContents& f) { f.counties[1].last = 1000; },
       "county record 1: vertex positions"},
      {"negative first position", [](FileContents& f) { f.states[2].first = -1; },
       "state record 2: vertex positions"},
      {"first after last", [](FileContents& f) { f.states[0].first = f.states[0].last + 1; },
       "state record 0: vertex positions"},
      {"vertex number beyond the vertices",
       [](FileContents& f) { f.numbers[static_cast<std::size_t>(f.counties[0].first) + 1] = 99; },
       "county record 0: vertex number 99"},
      {"negative vertex number",
       [](FileContents& f) { f.numbers[static_cast<std::size_t>(f.states[1].last)] = -5; },
       "state record 1: vertex number -5"},
      {"vertex not a number", [](FileContents& f) { f.vertices[1].y = kNaN; },
       "state record 0: vertex 1"},
      {"quadrangle without width", [](FileContents& f) { f.quads[0].xmin = f.quads[0].xmax; },
       "quadrangle record 0: rectangle"},
      {"quadrangle upside down", [](FileContents& f) { std::swap(f.quads[1].ymin, f.quads[1].ymax); },
       "quadrangle record 1: rectangle"},
      {"quadrangle edge not a number", [](FileContents& f) { f.quads[1].ymax = kNaN; },
       "quadrangle record 1: rectangle"},
      {"control character in a state name", [](FileContents& f) { f.states[2].name = "So\x01th"; },
       "state record 2: name"},
      {"NUL in a county name", [](FileContents& f) { f.counties[0].name = std::string("E\0st", 4); },
       "county record 0: name"},
      {"DEL in a quadrangle name", [](FileContents& f) { f.quads[0].name = "Quad\x7F"; },
       "quadrangle record 0: name"},
      {"line break in a quadrangle state", [](FileContents& f) { f.quads[1].state = "K\nY"; },
       "quadrangle record 1: state"},
      {"tab in a tile", [](FileContents& f) { f.quads[0].tile = "37083\tA1"; },
       "quadrangle record 0: tile"},
  };
  for (const auto& c : cases) {
    FileContents f = Sound();
    c.damage(f);
    const Loaded loaded = Load(f);
    EXPECT_EQ(loaded.error, errc::InvalidFileFormat) << c.what;
    EXPECT_NE(loaded.description.find("Invalid file format: test.bin: "), std::string::npos)
        << c.what << ": " << loaded.description;
    EXPECT_NE(loaded.description.find(c.named), std::string::npos)
        << c.what << ": " << loaded.description;
  }
}

TEST(Integrity, OdditiesOfSoundFilesStillLoad) {
  const struct {
    const char* what;
    std::function<void(FileContents&)> change;
  } cases[] = {
      {"nothing changed", [](FileContents&) {}},
      {"an open outline", [](FileContents& f) { f.states[1].last -= 1; }},
      {"a box wider than its outline", [](FileContents& f) { f.counties[0].xmax = 90; }},
      {"a one-vertex outline", [](FileContents& f) { f.states[2].last = f.states[2].first; }},
      {"one state record", [](FileContents& f) { f.states.resize(1); }},
      {"empty names and texts", [](FileContents& f) {
         f.states[0].name.clear();
         f.quads[0] = {"", "", "", 83.125, 83.0, 37.125, 37.0};
       }},
      {"Windows-1252 letters and undefined bytes",
       [](FileContents& f) { f.counties[0].name = "Caf\xE9 \x80\x81\x9F\xFF"; }},
      {"county codes 0 and 239", [](FileContents& f) { f.counties[0].fips = 0; }},
      {"any state code", [](FileContents& f) { f.states[2].fips = -99999; }},
      {"overlapping quadrangles", [](FileContents& f) { f.quads[1].xmin = 83.05; }},
      {"vertices no record uses", [](FileContents& f) { f.vertices.push_back({kNaN, 1e300}); }},
      {"a vertex on its box", [](FileContents& f) { f.states[0].ymax = 38; }},
      // The box test decides first, so a box need not enclose its outline.
      {"a vertex outside its box", [](FileContents& f) { f.states[0].xmax = 84.9; }},
      {"a box south of its outline", [](FileContents& f) { f.counties[0].ymin = 37.5; }},
      {"a box edge not a number", [](FileContents& f) { f.states[2].xmin = kNaN; }},
      // Codes beyond the zone table have no zone word; they are not damage.
      {"county code above the zone table", [](FileContents& f) { f.counties[0].fips = 240; }},
      {"negative county code", [](FileContents& f) { f.counties[1].fips = -1; }},
  };
  for (const auto& c : cases) {
    FileContents f = Sound();
    c.change(f);
    EXPECT_EQ(Load(f).error, 0) << c.what << ": " << Load(f).description;
  }
}

}  // namespace
}  // namespace lantrel::detail
