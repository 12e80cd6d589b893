// The lookup grid changes no answer: over the built file and hand-made files, the search with
// the grid gives exactly what the search over the edge index alone gives, at random points, on
// and beside every outline, on quadrangle edges and corners, and on cell edges.
#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "lantrel/error.hpp"
#include "refdata/edge_index.hpp"
#include "refdata/lookup.hpp"
#include "refdata/lookup_grid.hpp"
#include "refdata_files.hpp"

namespace lantrel::detail {
namespace {

using refdata_test::FileContents;
using Grid = LookupGrid;

struct Outcome {
  LocationIndices found;
  std::int32_t error = 0;
};

Outcome Search(const ReferenceData& data, Pair p, SearchMode mode) {
  Outcome o;
  try {
    SearchLocationIndices(data, p, o.found, mode);
  } catch (const Error& e) {
    o.error = e.number();
  }
  return o;
}

bool Same(const Outcome& a, const Outcome& b) {
  const auto& x = a.found;
  const auto& y = b.found;
  if (a.error != b.error || x.stateCount != y.stateCount || x.countyCount != y.countyCount ||
      x.quadCount != y.quadCount) {
    return false;
  }
  for (int i = 0; i < x.stateCount; ++i) {
    if (x.state[static_cast<std::size_t>(i)] != y.state[static_cast<std::size_t>(i)]) return false;
  }
  for (int i = 0; i < x.countyCount; ++i) {
    if (x.county[static_cast<std::size_t>(i)] != y.county[static_cast<std::size_t>(i)]) return false;
  }
  for (int i = 0; i < x.quadCount; ++i) {
    if (x.quad[static_cast<std::size_t>(i)] != y.quad[static_cast<std::size_t>(i)]) return false;
  }
  return true;
}

// Points on, beside and between the outlines and quadrangle edges, on cell edges, and at
// random over the grid.
std::vector<Pair> ProbePoints(const ReferenceData& d, std::size_t randomCount) {
  // randomCount points at random over the grid, and three eighths as many on cell edges.
  std::vector<Pair> points;
  // On the outline, within and just beyond the 1e-12 tolerance, at the grid's margin, beyond it.
  const double offsets[] = {0.0, 1e-13, -1e-12, 1.5e-12, -1e-9, 2e-9, 1e-7};
  const auto around = [&](Pair p) {
    for (const double o : offsets) {
      points.push_back({p.x + o, p.y});
      points.push_back({p.x, p.y + o});
    }
  };
  for (const auto* table : {&d.states, &d.counties}) {
    for (const RegionRecord& r : *table) {
      for (auto k = std::int64_t{r.FirstVertex}; k < r.LastVertex; ++k) {
        const Pair a = d.vertexList[static_cast<std::size_t>(d.vertexIndexList[static_cast<std::size_t>(k)])];
        const Pair b = d.vertexList[static_cast<std::size_t>(d.vertexIndexList[static_cast<std::size_t>(k + 1)])];
        if (a.x < Grid::kEast || a.x > Grid::kWest || a.y < Grid::kSouth || a.y > Grid::kNorth) continue;
        around(a);
        around({(a.x + b.x) / 2, (a.y + b.y) / 2});
      }
    }
  }
  for (const QuadRecord& q : d.quads) {
    around({q.XMin, q.YMin});
    around({q.XMax, (q.YMin + q.YMax) / 2});
    around({(q.XMin + q.XMax) / 2, q.YMax});
  }
  std::mt19937_64 rng(2024);
  std::uniform_real_distribution<double> x(Grid::kEast - 0.01, Grid::kWest + 0.01);
  std::uniform_real_distribution<double> y(Grid::kSouth - 0.01, Grid::kNorth + 0.01);
  std::uniform_int_distribution<int> column(0, Grid::kColumns), row(0, Grid::kRows);
  for (std::size_t i = 0; i < randomCount / 8; ++i) {
    // On cell edges and corners.
    const double cx = Grid::kEast + column(rng) / Grid::kCellsPerDegree;
    const double cy = Grid::kSouth + row(rng) / Grid::kCellsPerDegree;
    points.push_back({cx, y(rng)});
    points.push_back({x(rng), cy});
    points.push_back({cx, cy});
  }
  for (std::size_t i = 0; i < randomCount; ++i) points.push_back({x(rng), y(rng)});
  return points;
}

// Runs both searches over the points; returns how many the grid answered.
std::size_t ExpectIdentical(const ReferenceData& data, const std::vector<Pair>& points) {
  std::size_t answered = 0;
  std::size_t differ = 0;
  for (const Pair p : points) {
    if (data.Index()->grid.Label(p) != nullptr) ++answered;
    if (!Same(Search(data, p, SearchMode::Indexed), Search(data, p, SearchMode::EdgesOnly))) {
      if (++differ <= 5) ADD_FAILURE() << "searches differ at " << p.x << ", " << p.y;
    }
  }
  EXPECT_EQ(differ, 0u);
  return answered;
}

TEST(LookupGrid, BuiltFileAnswersExactlyAsTheFullSearch) {
  REQUIRE_BUILT_DATA(folder);
  const auto data = LoadReferenceData(folder + "lantrel.bin");
  ASSERT_TRUE(data->Index()->grid.usable);
  const auto points = ProbePoints(*data, 300'000);
  ASSERT_GE(points.size(), 1'000'000u);
  const std::size_t answered = ExpectIdentical(*data, points);
  // Most random points inside the window are answered by their cell.
  std::size_t inWindow = 0, labelled = 0;
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> x(81.5, 90.0), y(36.0, 39.5);
  for (int i = 0; i < 100000; ++i) {
    ++inWindow;
    if (data->Index()->grid.Label({x(rng), y(rng)}) != nullptr) ++labelled;
  }
  EXPECT_GT(labelled, inWindow * 8 / 10);
  RecordProperty("points", static_cast<int>(points.size()));
  RecordProperty("answered_by_grid", static_cast<int>(answered));
}

FileContents Squares() {
  FileContents f;
  f.states.push_back(f.Outline(21, "Home", {{83, 37}, {85, 37}, {85, 38}, {83, 38}, {83, 37}}));
  f.states.push_back(f.Outline(21, "Home", {{86.5, 37}, {87, 37}, {87, 37.5}, {86.5, 37}}));
  f.states.push_back(f.Outline(47, "South", {{83, 36.5}, {85, 36.5}, {85, 37}, {83, 37}, {83, 36.5}}));
  f.counties.push_back(f.Outline(1, "East", {{83, 37}, {84, 37}, {84.3, 38}, {83, 38}, {83, 37}}));
  f.counties.push_back(f.Outline(5, "West", {{84, 37}, {85, 37}, {85, 38}, {84.3, 38}, {84, 37}}));
  f.quads.push_back({"Q", "KY", "t", 84.5, 84.0, 38.0, 37.5});
  return f;
}

TEST(LookupGrid, HandMadeFiles) {
  struct Case {
    const char* what;
    FileContents file;
    bool gridded;
  };
  std::vector<Case> cases;
  cases.push_back({"closed rings", Squares(), true});
  {
    FileContents f = Squares();
    f.counties.push_back(f.Outline(7, "Open", {{88, 38}, {89, 38}, {89, 39}}));
    cases.push_back({"an open county outline", f, false});
  }
  {
    FileContents f = Squares();
    f.states.push_back(f.Outline(18, "Far", {{88, 38}, {1e6, 38}, {1e6, 39}, {88, 38}}));
    cases.push_back({"a vertex far off the globe", f, false});
  }
  {
    FileContents f = Squares();
    f.states.resize(1);
    cases.push_back({"one state record", f, false});
  }
  for (const auto& c : cases) {
    const auto bytes = c.file.Bytes();
    const auto data = ParseReferenceData(bytes.data(), bytes.size(), "test.bin");
    EXPECT_EQ(data->Index()->grid.usable, c.gridded) << c.what;
    ExpectIdentical(*data, ProbePoints(*data, 20000));
  }
}

TEST(LookupGrid, PointsOutsideTheGridOrNotNumbersAreSearched) {
  const auto bytes = Squares().Bytes();
  const auto data = ParseReferenceData(bytes.data(), bytes.size(), "test.bin");
  const Grid& grid = data->Index()->grid;
  ASSERT_TRUE(grid.usable);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const Pair p : {Pair{nan, 37.5}, Pair{84.5, nan}, Pair{Grid::kWest, 37.5},
                       Pair{Grid::kEast - 1e-9, 37.5}, Pair{84.5, Grid::kNorth},
                       Pair{84.5, Grid::kSouth - 1e-9}}) {
    EXPECT_EQ(grid.Label(p), nullptr) << p.x << ", " << p.y;
  }
  // Strictly inside a county, far from every outline: answered by the cell.
  const AreaLabel* label = grid.Label({83.5, 37.5});
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->stateCount, 1);
  EXPECT_EQ(label->countyCount, 1);
  EXPECT_EQ(label->county[0], 0);
  // On the line between the two counties: searched.
  EXPECT_EQ(grid.Label({84.15, 37.5}), nullptr);
}

}  // namespace
}  // namespace lantrel::detail
