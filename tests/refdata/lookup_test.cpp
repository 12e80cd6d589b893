// The location search on small hand-made data: outline tests, borders shared by several areas,
// quadrangle edges and corners, stop rules, faulty data, and the county zone table. Every search
// runs both with the index and by walking every outline; the answers must agree.
#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <set>

#include "lantrel/lantrel.hpp"
#include "refdata/edge_index.hpp"
#include "refdata/lookup.hpp"
#include "refdata/point_in_region.hpp"
#include "refdata_files.hpp"

namespace lantrel::detail {
namespace {

using refdata_test::FileContents;
using refdata_test::Region;
using Names = std::vector<std::string>;

std::shared_ptr<const ReferenceData> Parse(const FileContents& f) {
  const auto bytes = f.Bytes();
  return ParseReferenceData(bytes.data(), bytes.size(), "test.bin");
}

// Faulty data the reader's consistency checks would refuse, decoded and indexed without them:
// the search must still fail cleanly on it.
std::shared_ptr<const ReferenceData> ParseUnchecked(const FileContents& f) {
  const auto bytes = f.Bytes();
  const auto data = DecodeReferenceData(bytes.data(), bytes.size(), "test.bin");
  const auto index = BuildEdgeIndex(*data);
  index->grid = BuildLookupGrid(*data, *index);
  data->index = index;
  return data;
}

// Home state: square 83-85 W x 37-38 N (counties East 83-84 and West 84-85) and a detached
// square 86.5-87 W x 37-37.5 N. Neighbours: South below the home square (and a second ring far
// west), Wst beside it. Four quadrangles meet at 84 W, 37.75 N.
FileContents Map() {
  FileContents f;
  f.states.push_back(f.Outline(21, "Home", {{83, 37}, {85, 37}, {85, 38}, {83, 38}, {83, 37}}));
  f.states.push_back(
      f.Outline(21, "Home", {{86.5, 37}, {87, 37}, {87, 37.5}, {86.5, 37.5}, {86.5, 37}}));
  f.states.push_back(
      f.Outline(47, "South", {{83, 36.5}, {85, 36.5}, {85, 37}, {83, 37}, {83, 36.5}}));
  f.states.push_back(f.Outline(29, "Wst", {{85, 37}, {86, 37}, {86, 38}, {85, 38}, {85, 37}}));
  f.states.push_back(
      f.Outline(47, "South", {{88, 36.5}, {88.5, 36.5}, {88.5, 37}, {88, 37}, {88, 36.5}}));
  f.counties.push_back(f.Outline(1, "East", {{83, 37}, {84, 37}, {84, 38}, {83, 38}, {83, 37}}));
  f.counties.push_back(f.Outline(5, "West", {{84, 37}, {85, 37}, {85, 38}, {84, 38}, {84, 37}}));
  f.quads.push_back({"SE", "KY", "t1", 84.0, 83.5, 37.75, 37.5});
  f.quads.push_back({"SW", "KY", "t2", 84.5, 84.0, 37.75, 37.5});
  f.quads.push_back({"NE", "OH", "t3", 84.0, 83.5, 38.0, 37.75});
  f.quads.push_back({"NW", "", "t4", 84.5, 84.0, 38.0, 37.75});
  return f;
}

struct Found {
  Names states, counties, quads;
  bool operator==(const Found&) const = default;
};

Found Collect(const LocationResults& r) {
  Found f;
  for (int i = 0; i < r.stateCount; ++i) f.states.push_back(r.stateName[static_cast<size_t>(i)]);
  for (int i = 0; i < r.countyCount; ++i) {
    f.counties.push_back(r.countyName[static_cast<size_t>(i)]);
  }
  for (int i = 0; i < r.quadCount; ++i) f.quads.push_back(r.quadName[static_cast<size_t>(i)]);
  return f;
}

// Searches with and without the index; both must give the same lists.
Found SearchBoth(const ReferenceData& data, Pair p) {
  LocationResults indexed, scanned;
  SearchLocations(data, p, indexed);
  SearchLocationsScan(data, p, scanned);
  EXPECT_EQ(Collect(indexed), Collect(scanned)) << p.x << " " << p.y;
  EXPECT_EQ(indexed.stateFIPS, scanned.stateFIPS);
  EXPECT_EQ(indexed.countyFIPS, scanned.countyFIPS);
  EXPECT_EQ(indexed.quadTile, scanned.quadTile);
  return Collect(indexed);
}

TEST(Lookup, AreasOnBordersAndCorners) {
  const auto data = Parse(Map());
  const struct {
    const char* what;
    Pair p;
    Found expected;
  } cases[] = {
      {"inside a county and a quadrangle", {84.25, 37.6}, {{"Home"}, {"West"}, {"SW"}}},
      {"inside the other county", {83.75, 37.25}, {{"Home"}, {"East"}, {}}},
      {"on the county line", {84, 37.25}, {{"Home"}, {"East", "West"}, {}}},
      {"on the state border", {84.5, 37}, {{"Home", "South"}, {"West"}, {}}},
      {"where three states meet", {85, 37}, {{"Home", "South", "Wst"}, {"West"}, {}}},
      {"home corner shared with a neighbour", {85, 38}, {{"Home", "Wst"}, {"West"}, {}}},
      {"four quadrangles' corner", {84, 37.75},
       {{"Home"}, {"East", "West"}, {"SE", "SW", "NE", "NW"}}},
      {"edge between two quadrangles", {84.25, 37.75}, {{"Home"}, {"West"}, {"SW", "NW"}}},
      {"upright edge between two quadrangles", {84, 37.6},
       {{"Home"}, {"East", "West"}, {"SE", "SW"}}},
      {"inside a neighbour", {84, 36.75}, {{"South"}, {}, {}}},
      {"inside the detached home record", {86.75, 37.25}, {{"Home"}, {}, {}}},
      {"inside the other neighbour", {85.5, 37.5}, {{"Wst"}, {}, {}}},
      {"inside a neighbour's second ring", {88.25, 36.75}, {{"South"}, {}, {}}},
      {"in no area", {89, 38}, {{}, {}, {}}},
      // The boxes are exact: a point within the tolerance of the line but outside one
      // county's box is found on the other county's outline only.
      {"within the tolerance of the county line", {84 - 5e-13, 37.25},
       {{"Home"}, {"East"}, {}}},
      {"just beyond the tolerance", {84 - 1e-11, 37.25}, {{"Home"}, {"East"}, {}}},
  };
  for (const auto& c : cases) EXPECT_EQ(SearchBoth(*data, c.p), c.expected) << c.what;
}

TEST(Lookup, CodesAndTextsOfTheFoundAreas) {
  const auto data = Parse(Map());
  LocationResults r;
  SearchLocations(*data, {84, 37.75}, r);
  EXPECT_EQ(r.stateFIPS[0], 21);
  EXPECT_EQ(r.countyFIPS[0], 1);
  EXPECT_EQ(r.countyFIPS[1], 5);
  EXPECT_EQ(r.quadState[2], "OH");
  EXPECT_EQ(r.quadTile[3], "t4");
  EXPECT_EQ(r.stateName[1], "") << "slots beyond the count stay empty";
}

TEST(Lookup, CountyAndStateListsStopAtThree) {
  // Four counties meeting at one corner: only the first three in file order are listed.
  FileContents f;
  f.states.push_back(f.Outline(21, "Home", {{1, 1}, {3, 1}, {3, 3}, {1, 3}, {1, 1}}));
  f.states.push_back(f.Outline(21, "Home", {{9, 9}, {9.5, 9}, {9.5, 9.5}, {9, 9}}));
  const Pair corners[4][2] = {{{1, 1}, {2, 2}}, {{2, 1}, {3, 2}}, {{1, 2}, {2, 3}}, {{2, 2}, {3, 3}}};
  const char* names[4] = {"A", "B", "C", "D"};
  for (int i = 0; i < 4; ++i) {
    const Pair lo = corners[i][0], hi = corners[i][1];
    f.counties.push_back(f.Outline(2 * i + 1, names[i],
                                   {lo, {hi.x, lo.y}, hi, {lo.x, hi.y}, lo}));
  }
  f.quads.push_back({"", "", "", 0.5, 0.25, 0.5, 0.25});
  const auto data = Parse(f);
  EXPECT_EQ(SearchBoth(*data, {2, 2}).counties, (Names{"A", "B", "C"}));
  EXPECT_EQ(SearchBoth(*data, {2, 1.5}).counties, (Names{"A", "B"}));
}

TEST(Lookup, QuadrangleSearchStopsAtTheFirstInteriorMatch) {
  FileContents f = Map();
  f.quads.push_back({"SW again", "", "t5", 84.5, 84.0, 37.75, 37.5});
  const auto data = Parse(f);
  EXPECT_EQ(SearchBoth(*data, {84.25, 37.6}).quads, (Names{"SW"}));
  // On an edge, every rectangle carrying it is listed, up to four.
  EXPECT_EQ(SearchBoth(*data, {84.25, 37.5}).quads, (Names{"SW", "SW again"}));
}

TEST(Lookup, QuadrangleClassification) {
  const QuadRecord q{"", "", "", 2.0, 1.0, 4.0, 3.0};
  const struct {
    Pair p;
    QuadMatch m;
  } cases[] = {
      {{1.5, 3.5}, QuadMatch::Interior},   {{1.0, 3.5}, QuadMatch::Boundary},
      {{2.0, 3.5}, QuadMatch::Boundary},   {{1.5, 3.0}, QuadMatch::Boundary},
      {{1.5, 4.0}, QuadMatch::Boundary},   {{1.0, 3.0}, QuadMatch::Boundary},
      {{2.0, 4.0}, QuadMatch::Boundary},   {{1.0 - 5e-13, 3.5}, QuadMatch::Boundary},
      {{1.0 - 2e-12, 3.5}, QuadMatch::None}, {{1.0, 4.5}, QuadMatch::None},
      {{2.5, 3.0}, QuadMatch::None},       {{0.5, 3.5}, QuadMatch::None},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyQuad(q, c.p), c.m) << c.p.x << " " << c.p.y;
}

// ---- outline test ---------------------------------------------------------------------------

struct InRegion {
  bool inside;
  bool onBoundary;
  bool operator==(const InRegion&) const = default;
};

std::ostream& operator<<(std::ostream& os, const InRegion& r) {
  return os << (r.inside ? "in" : "out") << (r.onBoundary ? "/boundary" : "");
}

// Tests p against state record 0 of a file made of one outline, with and without the index.
InRegion TestOutline(const std::vector<Pair>& outline, Pair p) {
  FileContents f;
  f.states.push_back(f.Outline(1, "R", outline));
  f.counties.push_back({1, 0, 0, "", 0, 0, 0, 0});
  f.quads.push_back({"", "", "", 1, 0, 1, 0});
  const auto data = Parse(f);
  bool onScan = false, onIndexed = false;
  const bool scan = PointInRegionScan(*data, data->states[0], p, onScan);
  const RegionEdgeIndex& index = data->Index()->states[0];
  EXPECT_TRUE(index.usable);
  const bool indexed = PointInRegionIndexed(index, data->states[0], p, onIndexed);
  EXPECT_EQ(scan, indexed);
  EXPECT_EQ(onScan, onIndexed);
  return {scan, onScan};
}

TEST(PointInRegion, OutlineCases) {
  const std::vector<Pair> square = {{2, 1}, {1, 1}, {1, 2}, {2, 2}, {2, 1}};
  const std::vector<Pair> openSquare = {{2, 1}, {1, 1}, {1, 2}, {2, 2}};
  // West side passes through an extra vertex at the point's latitude.
  const std::vector<Pair> bentWest = {{2, 1}, {1, 1}, {1, 2}, {2, 2}, {2.2, 1.5}, {2, 1}};
  const std::vector<Pair> straightWest = {{2, 1}, {1, 1}, {1, 2}, {2, 2}, {2, 1.5}, {2, 1}};
  const std::vector<Pair> diamond = {{2, 1.5}, {1.5, 1}, {1, 1.5}, {1.5, 2}, {2, 1.5}};
  // A level step and a level notch on the west side at latitude 1.5.
  const std::vector<Pair> step = {{1, 1}, {2, 1}, {2, 1.5}, {2.5, 1.5}, {2.5, 2}, {1, 2}, {1, 1}};
  const std::vector<Pair> notch = {{1, 1},   {2, 1}, {2, 1.5}, {2.5, 1.5}, {2.5, 1},
                                   {3, 1},   {3, 2}, {1, 2},   {1, 1}};
  const std::vector<Pair> repeated = {{1, 1}, {2, 1}, {2, 2}, {2, 2}, {1, 2}, {1, 1}};
  const std::vector<Pair> microRise = {{1, 1}, {2, 1}, {2, 1.5}, {2, 1.5 + 5e-13}, {2, 2},
                                       {1, 2}, {1, 1}};
  const struct {
    const char* what;
    const std::vector<Pair>& outline;
    Pair p;
    InRegion expected;
  } cases[] = {
      {"closed square, inside", square, {1.5, 1.5}, {true, false}},
      {"closed square, outside", square, {2.5, 1.5}, {false, false}},
      {"without the closing edge", openSquare, {1.5, 1.5}, {false, false}},
      {"on a level edge", square, {1.5, 1}, {true, true}},
      {"on an upright edge", square, {2, 1.7}, {true, true}},
      {"on a corner", square, {1, 2}, {true, true}},
      {"within the tolerance", square, {2 - 5e-13, 1.3}, {true, true}},
      {"beyond the tolerance", square, {2 - 2e-12, 1.3}, {true, false}},
      {"through a vertex where the outline passes on", bentWest, {1.5, 1.5}, {true, false}},
      {"through an upright vertex", straightWest, {1.5, 1.5}, {true, false}},
      {"on the passing vertex", bentWest, {2.2, 1.5}, {true, true}},
      {"through the diamond's side tip", diamond, {1.25, 1.5}, {true, false}},
      {"level with the diamond's lowest tip", diamond, {1.2, 1}, {false, false}},
      {"level with the diamond's highest tip", diamond, {1.2, 2}, {false, false}},
      {"on the diamond's lowest tip", diamond, {1.5, 1}, {true, true}},
      {"along a level step", step, {1.5, 1.5}, {true, false}},
      {"on a level step", step, {2.25, 1.5}, {true, true}},
      {"on the step's end", step, {2.5, 1.5}, {true, true}},
      {"along a level notch", notch, {1.5, 1.5}, {true, false}},
      {"past a level notch", notch, {2.75, 1.5}, {true, false}},
      {"on a repeated vertex", repeated, {2, 2}, {true, true}},
      {"beside a repeated vertex", repeated, {1.5, 2 - 1e-9}, {true, false}},
      {"across a rise shorter than the tolerance", microRise, {1.5, 1.5 + 2.5e-13},
       {true, false}},
  };
  for (const auto& c : cases) EXPECT_EQ(TestOutline(c.outline, c.p), c.expected) << c.what;
}

TEST(PointInRegion, BoxDecidesFirstAndOnePointOutlinesHoldNothing) {
  FileContents f;
  Region r = f.Outline(1, "R", {{2, 1}, {1, 1}, {1, 2}, {2, 2}, {2, 1}});
  r.xmax = 1.4;  // a box too small: points beyond it are not found
  f.states.push_back(r);
  f.states.push_back(f.Outline(1, "P", {{1.5, 1.5}}));
  f.counties.push_back({1, 0, 0, "", 0, 0, 0, 0});
  f.quads.push_back({"", "", "", 1, 0, 1, 0});
  const auto data = Parse(f);
  bool on = true;
  EXPECT_FALSE(PointInRegionScan(*data, data->states[0], {1.5, 1.5}, on));
  EXPECT_FALSE(on);
  EXPECT_TRUE(PointInRegionScan(*data, data->states[0], {1.2, 1.5}, on));
  EXPECT_FALSE(PointInRegionScan(*data, data->states[1], {1.5, 1.5}, on));
  EXPECT_FALSE(on);
}

// ---- faulty data ----------------------------------------------------------------------------

std::int32_t SearchError(const ReferenceData& data, Pair p, LocationResults& kept) {
  LocationResults scanned;
  std::int32_t numbers[2] = {0, 0};
  try {
    SearchLocations(data, p, kept);
  } catch (const Error& e) {
    numbers[0] = e.number();
  }
  try {
    SearchLocationsScan(data, p, scanned);
  } catch (const Error& e) {
    numbers[1] = e.number();
  }
  EXPECT_EQ(numbers[0], numbers[1]);
  EXPECT_EQ(Collect(kept), Collect(scanned));
  return numbers[0];
}

TEST(Lookup, FaultyDataRaisesSubscriptErrorAndKeepsWhatWasFound) {
  // Faults in the first county record; the point lies in the home state and that county.
  const struct {
    const char* what;
    std::int32_t first, last;  // -2: keep the record's own
    std::int32_t number;       // written into the record's third entry unless 0
  } cases[] = {
      {"last position beyond the list", -2, 1000, 0},
      {"negative first position", -1, -2, 0},
      {"first position beyond the list", 5000, 5000, 0},
      {"vertex number beyond the vertices", -2, -2, 99},
      {"negative vertex number", -2, -2, -7},
      {"largest positions", INT32_MAX - 1, INT32_MAX, 0},
  };
  for (const auto& c : cases) {
    FileContents f = Map();
    Region& county = f.counties[0];
    if (c.number != 0) f.numbers[static_cast<std::size_t>(county.first) + 2] = c.number;
    if (c.first != -2) county.first = c.first;
    if (c.last != -2) county.last = c.last;
    const auto data = ParseUnchecked(f);
    LocationResults kept;
    EXPECT_EQ(SearchError(*data, {83.75, 37.25}, kept), errc::SubscriptOutOfRange) << c.what;
    EXPECT_EQ(kept.stateCount, 1) << c.what;
    EXPECT_EQ(kept.stateName[0], "Home");
    EXPECT_EQ(kept.countyCount, 0);
  }
}

TEST(Lookup, FewerThanTwoStateRecordsRaiseSubscriptError) {
  FileContents f = Map();
  f.states.resize(1);
  const auto data = Parse(f);
  LocationResults kept;
  EXPECT_EQ(SearchError(*data, {84.25, 37.6}, kept), errc::SubscriptOutOfRange);
}

TEST(Lookup, OverflowInAnEdgeRaisesTheArithmeticError) {
  FileContents f = Map();
  Region r = f.Outline(21, "Huge", {{1e308, 0}, {-1e308, 2}, {1e308, 2}, {1e308, 0}});
  r.xmin = -1e308;
  f.states[0] = r;
  const auto data = Parse(f);
  LocationResults kept;
  EXPECT_EQ(SearchError(*data, {0, 1}, kept), errc::Overflow);
}

TEST(Lookup, NotANumberInTheDataRaisesTheInvalidError) {
  FileContents f = Map();
  f.vertices[1].x = std::numeric_limits<double>::quiet_NaN();  // a corner of the home square
  const auto data = ParseUnchecked(f);
  LocationResults kept;
  EXPECT_EQ(SearchError(*data, {84.25, 37.5}, kept), errc::InvalidArgument);
}

// ---- zone table -----------------------------------------------------------------------------

TEST(ZoneTable, NorthAtFortyOddCodesSouthAtTheOthers) {
  const std::set<int> north = {5,   11,  15,  17,  19,  23,  29,  37,  41,  43,  49,  63,  67, 69,
                               73,  77,  81,  89,  97,  103, 111, 113, 117, 127, 135, 161, 165,
                               173, 175, 181, 185, 187, 191, 201, 205, 209, 211, 215, 223, 239};
  int norths = 0, souths = 0;
  for (int code = 0; code < 240; ++code) {
    const std::string& zone = SPZoneOfCounty(code);
    if (code % 2 == 0) {
      EXPECT_EQ(zone, "") << code;
    } else if (north.count(code)) {
      EXPECT_EQ(zone, "North") << code;
      ++norths;
    } else {
      EXPECT_EQ(zone, "South") << code;
      ++souths;
    }
  }
  EXPECT_EQ(norths, 40);
  EXPECT_EQ(souths, 80);
  for (int code : {-1, 240, INT32_MIN, INT32_MAX}) {
    try {
      SPZoneOfCounty(code);
      ADD_FAILURE() << code;
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), errc::SubscriptOutOfRange);
    }
  }
}

// ---- through a position ---------------------------------------------------------------------

class PositionOnMap : public ::testing::Test {
 protected:
  void SetUp() override {
    if (p_.DataLoaded()) GTEST_SKIP() << "the search found a data file";
    FileContents f = Map();
    f.counties[1].fips = 300;  // a code outside the zone table
    dir_.Write(f.Bytes());
    ASSERT_TRUE(p_.SetPath(dir_.Folder()));
  }
  void At(double x, double y) {
    p_.x(x);
    p_.y(y);
  }
  refdata_test::TempFolder dir_;
  ZrGeoPosition p_;
};

TEST_F(PositionOnMap, PropertiesReadTheLists) {
  At(84, 37.75);
  EXPECT_EQ(p_.StateCount(), 1);
  EXPECT_EQ(p_.StateName(), "Home");
  EXPECT_EQ(p_.StateFIPS(0), 21);
  EXPECT_EQ(p_.CountyCount(), 2);
  EXPECT_EQ(p_.CountyName(1), "West");
  EXPECT_EQ(p_.CountySPZone(0), "South");
  EXPECT_EQ(p_.QuadCount(), 4);
  EXPECT_EQ(p_.QuadName(3), "NW");
  EXPECT_EQ(p_.QuadState(2), "OH");
  EXPECT_EQ(p_.QuadTile(0), "t1");
  // Slots out of range or beyond the count are empty, without error.
  EXPECT_EQ(p_.StateName(3), "");
  EXPECT_EQ(p_.StateFIPS(-1), 0);
  EXPECT_EQ(p_.StateName(1), "");
  EXPECT_EQ(p_.QuadName(4), "");
  EXPECT_EQ(p_.CountySPZone(2), "");
  try {
    p_.CountySPZone(1);
    ADD_FAILURE() << "county code 300 has a zone";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), errc::SubscriptOutOfRange);
  }
}

TEST_F(PositionOnMap, WestPositiveAndEastNegativeLongitudesNameTheSamePoint) {
  At(-84.25, 37.6);
  EXPECT_EQ(p_.CountyName(0), "West");
}

TEST_F(PositionOnMap, OutsideTheServedAreaNothingIsFound) {
  At(80.0, 37.5);
  EXPECT_EQ(p_.StateCount(), 0);
  EXPECT_EQ(p_.CountyCount(), 0);
  EXPECT_EQ(p_.QuadCount(), 0);
  EXPECT_EQ(p_.StateName(0), "");
  EXPECT_EQ(p_.StateFIPS(0), 0);
  At(84.25, 37.6);
  EXPECT_EQ(p_.StateCount(), 1);
}

}  // namespace
}  // namespace lantrel::detail
