// The data file the build produced, read through the library: its layout and contents, every
// county found inside itself, known places, and points on shared borders and corners.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "datum/nadcon.hpp"
#include "lantrel/lantrel.hpp"
#include "refdata/reference_data.hpp"
#include "refdata_files.hpp"

namespace lantrel::detail {
namespace {

std::vector<Pair> OutlineOf(const ReferenceData& d, const RegionRecord& r) {
  std::vector<Pair> points;
  for (auto k = r.FirstVertex; k <= r.LastVertex; ++k) {
    points.push_back(d.vertexList[static_cast<std::size_t>(d.vertexIndexList[static_cast<std::size_t>(k)])]);
  }
  return points;
}

// A point well inside a ring: the middle of the widest span of a scan line that passes between
// vertex latitudes near the middle of the ring.
Pair InteriorPoint(const std::vector<Pair>& ring) {
  std::vector<double> levels;
  for (const auto& p : ring) levels.push_back(p.y);
  std::sort(levels.begin(), levels.end());
  levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
  double bestWidth = -1;
  Pair best{};
  for (std::size_t i = levels.size() / 4; i + 1 < levels.size() && i < 3 * levels.size() / 4; ++i) {
    const double y = (levels[i] + levels[i + 1]) / 2;
    std::vector<double> xs;
    for (std::size_t k = 1; k < ring.size(); ++k) {
      const Pair a = ring[k - 1], b = ring[k];
      if ((a.y > y) != (b.y > y)) xs.push_back((y - a.y) * (b.x - a.x) / (b.y - a.y) + a.x);
    }
    std::sort(xs.begin(), xs.end());
    for (std::size_t j = 0; j + 1 < xs.size(); j += 2) {
      if (xs[j + 1] - xs[j] > bestWidth) {
        bestWidth = xs[j + 1] - xs[j];
        best = {(xs[j] + xs[j + 1]) / 2, y};
      }
    }
  }
  return best;
}

class RealData : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = refdata_test::BuiltDataFolder();
    if (folder_.empty()) FAIL() << "lantrel.bin was not built (are the sources in data/?)";
    data_ = LoadReferenceData(folder_ + "lantrel.bin");
    if (!p_.DataLoaded()) {
      ASSERT_TRUE(p_.SetPath(folder_));
    }
  }
  void At(double westLongitude, double latitude) {
    p_.x(westLongitude);
    p_.y(latitude);
  }
  std::vector<std::string> StateNames() {
    std::vector<std::string> names;
    for (int i = 0; i < p_.StateCount(); ++i) names.push_back(p_.StateName(i));
    return names;
  }
  std::vector<std::string> CountyNames() {
    std::vector<std::string> names;
    for (int i = 0; i < p_.CountyCount(); ++i) names.push_back(p_.CountyName(i));
    return names;
  }
  std::vector<std::string> QuadNames() {
    std::vector<std::string> names;
    for (int i = 0; i < p_.QuadCount(); ++i) names.push_back(p_.QuadName(i));
    return names;
  }

  std::string folder_;
  std::shared_ptr<const ReferenceData> data_;
  ZrGeoPosition p_;
};

TEST_F(RealData, LayoutOfTheRecords) {
  const auto& d = *data_;
  ASSERT_GE(d.states.size(), 9u);
  EXPECT_EQ(d.states[0].FIPS, 21);
  EXPECT_EQ(d.states[1].FIPS, 21);
  EXPECT_EQ(d.states[0].Name, "Kentucky");
  EXPECT_GT(d.states[0].LastVertex - d.states[0].FirstVertex,
            d.states[1].LastVertex - d.states[1].FirstVertex)
      << "main body first, then the Kentucky Bend";
  std::vector<std::int32_t> neighbours;
  for (std::size_t i = 2; i < d.states.size(); ++i) {
    if (neighbours.empty() || neighbours.back() != d.states[i].FIPS) {
      neighbours.push_back(d.states[i].FIPS);
    }
  }
  EXPECT_EQ(neighbours, (std::vector<std::int32_t>{29, 17, 18, 39, 54, 51, 47}));

  ASSERT_EQ(d.counties.size(), 121u);
  std::map<std::int32_t, int> parts;
  for (const auto& c : d.counties) {
    EXPECT_TRUE(c.FIPS >= 1 && c.FIPS <= 239 && c.FIPS % 2 == 1) << c.Name;
    ++parts[c.FIPS];
  }
  EXPECT_EQ(parts.size(), 120u);
  EXPECT_EQ(parts[75], 2) << "Fulton County has two parts";

  ASSERT_EQ(d.quads.size(), 1904u);
  int unnamed = 0;
  for (const auto& q : d.quads) {
    EXPECT_LT(q.XMin, q.XMax) << q.Tile;
    EXPECT_LT(q.YMin, q.YMax) << q.Tile;
    EXPECT_TRUE(q.XMin >= 81.5 && q.XMax <= 90 && q.YMin >= 36 && q.YMax <= 39.5) << q.Tile;
    EXPECT_EQ(q.Tile.size(), 8u);
    if (q.Name.empty()) {
      ++unnamed;
      EXPECT_EQ(q.State, "");
    }
  }
  EXPECT_GT(unnamed, 0) << "cells without a name keep an empty name";
}

TEST_F(RealData, BoxesEncloseClosedOutlines) {
  const auto& d = *data_;
  for (const auto* table : {&d.states, &d.counties}) {
    for (const auto& r : *table) {
      const auto ring = OutlineOf(d, r);
      EXPECT_EQ(ring.front(), ring.back()) << r.Name;
      for (const auto& v : ring) {
        ASSERT_TRUE(v.x >= r.XMin && v.x <= r.XMax && v.y >= r.YMin && v.y <= r.YMax) << r.Name;
      }
    }
  }
}

TEST_F(RealData, BordersShareVertexNumbers) {
  // The home state's outline is made of county borders: each of its vertices is a vertex of
  // some county, by the same number.
  const auto& d = *data_;
  std::set<std::int32_t> countyNumbers;
  for (const auto& c : d.counties) {
    for (auto k = c.FirstVertex; k <= c.LastVertex; ++k) {
      countyNumbers.insert(d.vertexIndexList[static_cast<std::size_t>(k)]);
    }
  }
  for (int s = 0; s < 2; ++s) {
    for (auto k = d.states[s].FirstVertex; k <= d.states[s].LastVertex; ++k) {
      ASSERT_TRUE(countyNumbers.count(d.vertexIndexList[static_cast<std::size_t>(k)])) << k;
    }
  }
  EXPECT_LT(d.vertexList.size(), d.vertexIndexList.size() * 3 / 5);
}

TEST_F(RealData, EveryCountyIsFoundInsideItself) {
  const auto& d = *data_;
  for (const auto& c : d.counties) {
    const Pair inside = InteriorPoint(OutlineOf(d, c));
    At(inside.x, inside.y);
    ASSERT_EQ(p_.CountyCount(), 1) << c.Name << " at " << inside.x << " " << inside.y;
    EXPECT_EQ(p_.CountyName(0), c.Name);
    EXPECT_EQ(p_.CountyFIPS(0), c.FIPS);
    EXPECT_EQ(StateNames(), std::vector<std::string>{"Kentucky"}) << c.Name;
    EXPECT_GE(p_.QuadCount(), 1) << c.Name;
  }
}

TEST_F(RealData, KnownPlaces) {
  const struct {
    const char* place;
    double x, y;
    const char* state;
    const char* county;
    std::int32_t fips;
    const char* zone;
  } cases[] = {
      {"Frankfort", 84.8733, 38.2009, "Kentucky", "Franklin", 73, "North"},
      {"Lexington", 84.4947, 38.0406, "Kentucky", "Fayette", 67, "North"},
      {"Louisville", 85.7585, 38.2527, "Kentucky", "Jefferson", 111, "North"},
      {"Bowling Green", 86.4436, 36.9685, "Kentucky", "Warren", 227, "South"},
      {"Paducah", 88.6001, 37.0834, "Kentucky", "McCracken", 145, "South"},
      {"Pikeville", 82.5188, 37.4793, "Kentucky", "Pike", 195, "South"},
      {"Kentucky Bend", 89.52, 36.52, "Kentucky", "Fulton", 75, "South"},
      {"Nashville", 86.7816, 36.1627, "Tennessee", "", 0, ""},
      {"Cincinnati", 84.5120, 39.1031, "Ohio", "", 0, ""},
      {"Evansville", 87.5711, 37.9716, "Indiana", "", 0, ""},
      {"Huntington", 82.4452, 38.4192, "West Virginia", "", 0, ""},
  };
  for (const auto& c : cases) {
    At(c.x, c.y);
    EXPECT_EQ(StateNames(), std::vector<std::string>{c.state}) << c.place;
    EXPECT_EQ(p_.CountyName(0), c.county) << c.place;
    EXPECT_EQ(p_.CountyFIPS(0), c.fips) << c.place;
    EXPECT_EQ(p_.CountySPZone(0), c.zone) << c.place;
    EXPECT_EQ(p_.QuadCount(), 1) << c.place;
  }
  At(84.4947, 38.0406);
  EXPECT_EQ(p_.QuadName(0), "Lexington East");
  EXPECT_EQ(p_.QuadState(0), "KY");
  EXPECT_EQ(p_.QuadTile(0), "38084-A4");
}

TEST_F(RealData, QuadrangleCornersAndEdges) {
  At(84.5, 38.125);
  EXPECT_EQ(QuadNames(), (std::vector<std::string>{"Lexington East", "Lexington West",
                                                   "Centerville", "Georgetown"}));
  At(84.55, 38.125);
  EXPECT_EQ(QuadNames(), (std::vector<std::string>{"Lexington West", "Georgetown"}));
  At(84.5, 38.05);
  EXPECT_EQ(QuadNames(), (std::vector<std::string>{"Lexington East", "Lexington West"}));
}

TEST_F(RealData, PointsOnSharedVerticesBelongToEveryArea) {
  // Which records use each vertex number.
  const auto& d = *data_;
  std::map<std::int32_t, std::vector<std::size_t>> countiesAt, statesAt;
  for (std::size_t i = 0; i < d.counties.size(); ++i) {
    for (auto k = d.counties[i].FirstVertex + 1; k <= d.counties[i].LastVertex; ++k) {
      countiesAt[d.vertexIndexList[static_cast<std::size_t>(k)]].push_back(i);
    }
  }
  for (std::size_t i = 0; i < d.states.size(); ++i) {
    for (auto k = d.states[i].FirstVertex + 1; k <= d.states[i].LastVertex; ++k) {
      statesAt[d.vertexIndexList[static_cast<std::size_t>(k)]].push_back(i);
    }
  }
  int countyLines = 0, stateLines = 0;
  for (const auto& [number, counties] : countiesAt) {
    const Pair v = d.vertexList[static_cast<std::size_t>(number)];
    const auto& states = statesAt[number];
    if (counties.size() == 2 && states.empty() && countyLines < 200) {
      ++countyLines;
      At(v.x, v.y);
      EXPECT_EQ(CountyNames(), (std::vector<std::string>{d.counties[counties[0]].Name,
                                                         d.counties[counties[1]].Name}))
          << v.x << " " << v.y;
      EXPECT_EQ(StateNames(), std::vector<std::string>{"Kentucky"});
    }
    if (counties.size() == 1 && states.size() == 2 && states[0] <= 1 && stateLines < 200) {
      ++stateLines;
      At(v.x, v.y);
      EXPECT_EQ(StateNames(), (std::vector<std::string>{"Kentucky", d.states[states[1]].Name}))
          << v.x << " " << v.y;
      EXPECT_EQ(CountyNames(), std::vector<std::string>{d.counties[counties[0]].Name});
    }
  }
  EXPECT_EQ(countyLines, 200);
  EXPECT_EQ(stateLines, 200);
}

TEST_F(RealData, Nad27PositionsAreLookedUpAtTheirNad83Place) {
  // A point beside the line between two quadrangles, placed so that the datum shift carries it
  // across: on NAD 83 it lies in one quadrangle, on NAD 27 in the other.
  const Pair line{84.5, 38.05};
  Pair shifted{};
  try {
    shifted = Nad27ToNad83(line);
  } catch (const Error&) {
    GTEST_SKIP() << "the datum shift is not available in this build";
  }
  const double dx = shifted.x - line.x;
  ASSERT_GT(std::fabs(dx), 1e-6);
  const Pair c{line.x - dx / 2, line.y};
  At(c.x, c.y);
  const std::string nad83Tile = p_.QuadTile(0);
  p_.Datum(zrGeoDatum::zrNAD27);
  const std::string nad27Tile = p_.QuadTile(0);
  EXPECT_NE(nad83Tile, nad27Tile);
  EXPECT_EQ(p_.QuadCount(), 1);

  ZrGeoPosition q;
  if (!q.DataLoaded()) {
    ASSERT_TRUE(q.SetPath(folder_));
  }
  const Pair moved = Nad27ToNad83(c);
  q.x(moved.x);
  q.y(moved.y);
  EXPECT_EQ(q.QuadTile(0), nad27Tile);
  EXPECT_EQ(p_.x(), c.x) << "the position itself stays on NAD 27";
}

TEST_F(RealData, TablesAreSharedAmongLoads) {
  EXPECT_EQ(LoadReferenceData(folder_ + "lantrel.bin"), data_);
}

TEST_F(RealData, BuiltFileCarriesAChecksumThatMatches) {
  EXPECT_TRUE(data_->verified);
  EXPECT_TRUE(p_.DataVerified());
}

}  // namespace
}  // namespace lantrel::detail
