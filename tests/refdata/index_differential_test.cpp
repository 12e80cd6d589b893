// The index must not change any answer: on the real data, over a million points of every
// kind, the indexed search and the walk of every outline give identical lists, and every
// outline test gives the identical result and boundary mark.
#include <gtest/gtest.h>

#include <cmath>

#include "refdata/edge_index.hpp"
#include "refdata/lookup.hpp"
#include "refdata/point_in_region.hpp"
#include "refdata_files.hpp"
#include "sample_points.hpp"

namespace lantrel::detail {
namespace {

using refdata_test::PointKind;

bool SameResults(const LocationResults& a, const LocationResults& b) {
  return a.stateCount == b.stateCount && a.stateFIPS == b.stateFIPS && a.stateName == b.stateName &&
         a.countyCount == b.countyCount && a.countyFIPS == b.countyFIPS &&
         a.countyName == b.countyName && a.quadCount == b.quadCount && a.quadName == b.quadName &&
         a.quadState == b.quadState && a.quadTile == b.quadTile;
}

TEST(IndexDifferential, IndexedSearchEqualsTheFullWalk) {
  REQUIRE_BUILT_DATA(folder);
  const auto data = LoadReferenceData(folder + "lantrel.bin");
  ASSERT_TRUE(data->Index());
  for (const auto& ix : data->Index()->states) ASSERT_TRUE(ix.usable);
  for (const auto& ix : data->Index()->counties) ASSERT_TRUE(ix.usable);
  ASSERT_TRUE(data->Index()->quads.usable);

  const struct {
    PointKind kind;
    int count;
  } plan[] = {
      {PointKind::Uniform, 600000},      {PointKind::OnVertex, 120000},
      {PointKind::VertexLatitude, 100000}, {PointKind::NearEdge, 100000},
      {PointKind::QuadLines, 40000},     {PointKind::NearHomeBorder, 60000},
  };
  refdata_test::PointSource source(*data, 20240501);
  long total = 0, mismatches = 0, recordMismatches = 0, onBorder = 0;
  for (const auto& step : plan) {
    const int count = refdata_test::kSanitized ? step.count / 20 : step.count;
    for (int i = 0; i < count; ++i) {
      const Pair p = source.Next(step.kind);
      LocationResults indexed, scanned;
      SearchLocations(*data, p, indexed);
      SearchLocationsScan(*data, p, scanned);
      ++total;
      if (!SameResults(indexed, scanned)) {
        if (++mismatches <= 5) ADD_FAILURE() << "search differs at " << p.x << " " << p.y;
      }
      onBorder += indexed.stateCount > 1 || indexed.countyCount > 1;
      // Every outline whose box holds the point, not only those the search reached.
      if (i % 4 != 0) continue;
      for (int table = 0; table < 2; ++table) {
        const auto& records = table == 0 ? data->states : data->counties;
        const auto& indexes = table == 0 ? data->Index()->states : data->Index()->counties;
        for (std::size_t r = 0; r < records.size(); ++r) {
          if (OutsideBox(records[r], p)) continue;
          bool onScan = false, onIndexed = false;
          const bool s = PointInRegionScan(*data, records[r], p, onScan);
          const bool x = PointInRegionIndexed(indexes[r], records[r], p, onIndexed);
          if (s != x || onScan != onIndexed) {
            if (++recordMismatches <= 5) {
              ADD_FAILURE() << records[r].Name << " differs at " << p.x << " " << p.y;
            }
          }
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(recordMismatches, 0);
  EXPECT_GE(total, refdata_test::kSanitized ? 50000 : 1000000);
  EXPECT_GT(onBorder, 1000) << "the sample should reach many shared borders";
  std::printf("compared %ld searches (%ld on shared borders)\n", total, onBorder);
}

}  // namespace
}  // namespace lantrel::detail
