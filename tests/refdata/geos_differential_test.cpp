// Differential test against GEOS: the states and counties found for many points in and around
// the home state agree with GEOS point-in-polygon answers over the same source outlines (the
// Census GeoJSON files the data file was built from). Quadrangles are checked against the
// 7.5-minute grid of the quadrangle index.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "refdata/lookup.hpp"
#include "refdata_files.hpp"
#include "sample_points.hpp"

#ifdef LANTREL_HAVE_GEOS
#include <geos_c.h>
#endif

namespace lantrel::detail {
namespace {

#ifdef LANTREL_HAVE_GEOS

std::string ReadText(const std::string& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The values of one string property, in feature order.
std::vector<std::string> PropertyValues(const std::string& json, const std::string& key) {
  std::vector<std::string> values;
  const std::string marker = "\"" + key + "\":\"";
  for (auto at = json.find(marker); at != std::string::npos; at = json.find(marker, at + 1)) {
    const auto start = at + marker.size();
    values.push_back(json.substr(start, json.find('"', start) - start));
  }
  return values;
}

struct Area {
  std::int32_t fips;
  GEOSGeometry* geometry;  // owned by the collection
  const GEOSPreparedGeometry* prepared;
};

class GeosAreas {
 public:
  GeosAreas(GEOSContextHandle_t h, const std::string& file, const char* codeKey) : h_(h) {
    const std::string json = ReadText(file);
    GEOSGeoJSONReader* reader = GEOSGeoJSONReader_create_r(h_);
    collection_ = GEOSGeoJSONReader_readGeometry_r(h_, reader, json.c_str());
    GEOSGeoJSONReader_destroy_r(h_, reader);
    if (collection_ == nullptr) throw std::runtime_error("GEOS could not read " + file);
    const auto codes = PropertyValues(json, codeKey);
    const int n = GEOSGetNumGeometries_r(h_, collection_);
    if (static_cast<std::size_t>(n) != codes.size()) throw std::runtime_error("feature count");
    for (int i = 0; i < n; ++i) {
      auto* g = const_cast<GEOSGeometry*>(GEOSGetGeometryN_r(h_, collection_, i));
      areas_.push_back({std::stoi(codes[static_cast<std::size_t>(i)]), g, GEOSPrepare_r(h_, g)});
    }
  }
  GeosAreas(const GeosAreas&) = delete;
  GeosAreas& operator=(const GeosAreas&) = delete;
  ~GeosAreas() {
    for (auto& a : areas_) GEOSPreparedGeom_destroy_r(h_, a.prepared);
    GEOSGeom_destroy_r(h_, collection_);
  }

  /// Codes of the areas that cover (x east-negative, y), in feature order.
  std::vector<std::int32_t> Covering(const GEOSGeometry* point) const {
    std::vector<std::int32_t> codes;
    for (const auto& a : areas_) {
      if (GEOSPreparedCovers_r(h_, a.prepared, point) == 1) codes.push_back(a.fips);
    }
    return codes;
  }
  /// Distance from the point to the nearest outline of the areas with the given codes.
  double DistanceToBorders(const GEOSGeometry* point, const std::vector<std::int32_t>& codes) const {
    double best = 1e300;
    for (const auto& a : areas_) {
      if (std::find(codes.begin(), codes.end(), a.fips) == codes.end()) continue;
      GEOSGeometry* boundary = GEOSBoundary_r(h_, a.geometry);
      double d = 0;
      GEOSDistance_r(h_, boundary, point, &d);
      GEOSGeom_destroy_r(h_, boundary);
      best = std::min(best, d);
    }
    return best;
  }

 private:
  GEOSContextHandle_t h_;
  GEOSGeometry* collection_ = nullptr;
  std::vector<Area> areas_;
};

std::vector<std::int32_t> Sorted(std::vector<std::int32_t> v) {
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
  return v;
}

TEST(GeosDifferential, StatesAndCountiesAgreeWithGeos) {
  REQUIRE_BUILT_DATA(folder);
  const std::string boundaries = std::string(LANTREL_DATA_SOURCES) + "/boundaries/";
  if (!std::filesystem::exists(boundaries + "ky-counties-500k.geojson")) {
    FAIL() << "source boundaries missing from " << boundaries;
  }
  const auto data = LoadReferenceData(folder + "lantrel.bin");
  GEOSContextHandle_t h = GEOS_init_r();
  {
    const GeosAreas states(h, boundaries + "states-from-counties-500k.geojson", "STATEFP");
    const GeosAreas counties(h, boundaries + "ky-counties-500k.geojson", "COUNTYFP");

    // Quadrangle names by cell, from the index the data file was built from.
    std::map<std::pair<int, int>, std::string> quadNames;
    std::ifstream csv(std::string(LANTREL_DATA_SOURCES) + "/quads/quads.csv");
    std::string line;
    std::getline(csv, line);
    while (std::getline(csv, line)) {
      std::stringstream fields(line);
      std::string name, state, south, north, east, west;
      std::getline(fields, name, ',');
      std::getline(fields, state, ',');
      std::getline(fields, south, ',');
      std::getline(fields, north, ',');
      std::getline(fields, east, ',');
      quadNames[{static_cast<int>(std::stod(south) * 8), static_cast<int>(std::stod(east) * 8)}] = name;
    }

    const struct {
      refdata_test::PointKind kind;
      int count;
    } plan[] = {{refdata_test::PointKind::Uniform, 500000},
                {refdata_test::PointKind::NearHomeBorder, 150000},
                {refdata_test::PointKind::VertexLatitude, 150000},
                {refdata_test::PointKind::OnVertex, 50000}};
    refdata_test::PointSource source(*data, 777);
    long compared = 0, inBand = 0, capped = 0;
    int failures = 0;
    for (const auto& step : plan) {
      const int count = refdata_test::kSanitized ? step.count / 20 : step.count;
      for (int i = 0; i < count && failures < 10; ++i) {
        const Pair p = source.Next(step.kind);
        LocationResults found;
        SearchLocations(*data, p, found);
        std::vector<std::int32_t> lantrelStates(found.stateFIPS.begin(),
                                                found.stateFIPS.begin() + found.stateCount);
        std::vector<std::int32_t> lantrelCounties(found.countyFIPS.begin(),
                                                  found.countyFIPS.begin() + found.countyCount);
        GEOSGeometry* point = GEOSGeom_createPointFromXY_r(h, -p.x, p.y);
        const auto geosStates = Sorted(states.Covering(point));
        const auto geosCounties = Sorted(counties.Covering(point));
        const bool inHome = std::count(geosStates.begin(), geosStates.end(), 21) > 0;
        ++compared;
        // A point on a border may be listed in fewer areas than GEOS finds only because the
        // lists stop at three.
        const auto agrees = [&](std::vector<std::int32_t> mine, const std::vector<std::int32_t>& geos) {
          mine = Sorted(mine);
          if (mine == geos) return true;
          if (mine.size() == 3 && std::includes(geos.begin(), geos.end(), mine.begin(), mine.end())) {
            ++capped;
            return true;
          }
          return false;
        };
        const bool statesAgree = agrees(lantrelStates, geosStates);
        // Counties are sought only inside the home state.
        const bool countiesAgree = agrees(lantrelCounties, inHome ? geosCounties : std::vector<std::int32_t>{});
        if (!statesAgree || !countiesAgree) {
          auto near = geosStates;
          near.insert(near.end(), lantrelStates.begin(), lantrelStates.end());
          const double d = std::min(states.DistanceToBorders(point, near),
                                    counties.DistanceToBorders(point, Sorted(lantrelCounties)));
          if (d <= 1e-12) {
            ++inBand;
          } else {
            ++failures;
            ADD_FAILURE() << "at " << p.x << " W " << p.y << " N (" << d << " from a border): "
                          << found.stateCount << " states, " << found.countyCount << " counties";
          }
        }
        if (step.kind == refdata_test::PointKind::Uniform) {
          const auto cell = std::pair{static_cast<int>(std::floor(p.y * 8)),
                                      static_cast<int>(std::floor(p.x * 8))};
          const auto it = quadNames.find(cell);
          ASSERT_EQ(found.quadCount, 1);
          EXPECT_EQ(found.quadName[0], it == quadNames.end() ? "" : it->second);
        }
        GEOSGeom_destroy_r(h, point);
      }
    }
    EXPECT_EQ(failures, 0);
    std::printf("compared %ld points with GEOS: %ld within 1e-12 of a border, %ld capped lists\n",
                compared, inBand, capped);
  }
  GEOS_finish_r(h);
}

#else

TEST(GeosDifferential, StatesAndCountiesAgreeWithGeos) { GTEST_SKIP() << "GEOS not available"; }

#endif

}  // namespace
}  // namespace lantrel::detail
