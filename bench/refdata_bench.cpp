// Location lookups and position construction.
//
//   BM_Lantrel_Lookup     one full lookup through the public API (state, county with its
//                         zone, quadrangle) at random points inside Kentucky
//   BM_Geos_Lookup        the same answers from GEOS prepared geometries (states, counties
//                         and quadrangle rectangles, STR trees for the candidates)
//   BM_Lantrel_SearchIndexed / BM_Lantrel_SearchScan
//                         the search alone, with the edge index and walking every outline
//   BM_Lantrel_Construct  creating a position whose data file is found and loaded (after the
//                         first, the loaded tables are shared)
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "lantrel/lantrel.hpp"
#include "refdata/data_path.hpp"
#include "refdata/lookup.hpp"
#include "refdata/reference_data.hpp"

#ifdef LANTREL_HAVE_GEOS
#include <geos_c.h>

#include <fstream>
#include <sstream>
#endif

namespace {

using lantrel::Pair;

struct Answer {
  std::string state, county, zone, quad;
  bool operator==(const Answer&) const = default;
};

Answer LookUp(lantrel::ZrGeoPosition& p, Pair at) {
  p.x(at.x);
  p.y(at.y);
  return {p.StateName(0), p.CountyName(0), p.CountySPZone(0), p.QuadName(0)};
}

// Random points strictly inside one Kentucky county, the same on every run.
const std::vector<Pair>& KentuckyPoints() {
  static const std::vector<Pair> points = [] {
    std::vector<Pair> result;
    lantrel::ZrGeoPosition p;
    if (!p.DataLoaded()) return result;
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> x(81.96, 89.58), y(36.49, 39.15);
    while (result.size() < 4096) {
      const Pair at{x(rng), y(rng)};
      p.x(at.x);
      p.y(at.y);
      if (p.StateCount() == 1 && p.StateFIPS(0) == 21 && p.CountyCount() == 1) result.push_back(at);
    }
    return result;
  }();
  return points;
}

void BM_Lantrel_Lookup(benchmark::State& state) {
  lantrel::ZrGeoPosition p;
  const auto& points = KentuckyPoints();
  if (!p.DataLoaded() || points.empty()) {
    state.SkipWithError("lantrel.bin not found");
    return;
  }
  std::size_t i = 0;
  for (auto _ : state) {
    Answer a = LookUp(p, points[i++ & 4095]);
    benchmark::DoNotOptimize(a);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Lantrel_Lookup);

std::shared_ptr<const lantrel::detail::ReferenceData> LoadedData() {
  const std::string folder = lantrel::detail::DefaultDataPath();
  if (folder.empty()) return nullptr;
  return lantrel::detail::LoadReferenceData(folder + lantrel::detail::kDataFileName);
}

template <bool Indexed>
void BM_Search(benchmark::State& state) {
  const auto data = LoadedData();
  const auto& points = KentuckyPoints();
  if (!data || points.empty()) {
    state.SkipWithError("lantrel.bin not found");
    return;
  }
  std::size_t i = 0;
  for (auto _ : state) {
    lantrel::LocationResults r;
    if constexpr (Indexed) {
      lantrel::detail::SearchLocations(*data, points[i++ & 4095], r);
    } else {
      lantrel::detail::SearchLocationsScan(*data, points[i++ & 4095], r);
    }
    benchmark::DoNotOptimize(r);
  }
  state.SetItemsProcessed(state.iterations());
}
void BM_Lantrel_SearchIndexed(benchmark::State& state) { BM_Search<true>(state); }
void BM_Lantrel_SearchScan(benchmark::State& state) { BM_Search<false>(state); }
BENCHMARK(BM_Lantrel_SearchIndexed);
BENCHMARK(BM_Lantrel_SearchScan);

void BM_Lantrel_Construct(benchmark::State& state) {
  {
    lantrel::ZrGeoPosition first;
    if (!first.DataLoaded()) {
      state.SkipWithError("lantrel.bin not found");
      return;
    }
  }
  for (auto _ : state) {
    lantrel::ZrGeoPosition p;
    benchmark::DoNotOptimize(p.DataLoaded());
  }
}
BENCHMARK(BM_Lantrel_Construct);

#ifdef LANTREL_HAVE_GEOS

// GEOS answers over the same source outlines: the Census GeoJSON files, and the quadrangle
// rectangles of the data file. Counties and quadrangles are found through STR trees.
class GeosLookup {
 public:
  GeosLookup() : h_(GEOS_init_r()) {}
  GeosLookup(const GeosLookup&) = delete;
  GeosLookup& operator=(const GeosLookup&) = delete;
  ~GeosLookup() {
    for (auto& a : areas_) GEOSPreparedGeom_destroy_r(h_, a.prepared);
    for (auto* tree : {counties_, quads_}) {
      if (tree) GEOSSTRtree_destroy_r(h_, tree);
    }
    for (auto* g : owned_) GEOSGeom_destroy_r(h_, g);
    GEOS_finish_r(h_);
  }

  bool Load(const lantrel::detail::ReferenceData& data) {
    const std::string boundaries = std::string(LANTREL_DATA_SOURCES) + "/boundaries/";
    if (!Read(boundaries + "states-from-counties-500k.geojson", "STATEFP", states_) ||
        !Read(boundaries + "ky-counties-500k.geojson", "COUNTYFP", countyAreas_)) {
      return false;
    }
    std::vector<std::size_t> quadAreas;
    for (const auto& q : data.quads) {
      GEOSGeometry* box = GEOSGeom_createRectangle_r(h_, -q.XMax, q.YMin, -q.XMin, q.YMax);
      owned_.push_back(box);
      quadAreas.push_back(areas_.size());
      areas_.push_back({0, q.Name, box, GEOSPrepare_r(h_, box)});
    }
    // The trees hold pointers into areas_, which is complete now.
    counties_ = GEOSSTRtree_create_r(h_, 10);
    for (auto i : countyAreas_) GEOSSTRtree_insert_r(h_, counties_, areas_[i].geometry, &areas_[i]);
    quads_ = GEOSSTRtree_create_r(h_, 10);
    for (auto i : quadAreas) GEOSSTRtree_insert_r(h_, quads_, areas_[i].geometry, &areas_[i]);
    return true;
  }

  Answer LookUp(Pair at) {
    GEOSGeometry* point = GEOSGeom_createPointFromXY_r(h_, -at.x, at.y);
    Answer a;
    for (auto i : states_) {
      if (GEOSPreparedCovers_r(h_, areas_[i].prepared, point) == 1) {
        a.state = areas_[i].name;
        break;
      }
    }
    const Area* county = First(counties_, point);
    if (county) {
      a.county = county->name;
      a.zone = lantrel::detail::SPZoneOfCounty(county->code);
    }
    if (const Area* quad = First(quads_, point)) a.quad = quad->name;
    GEOSGeom_destroy_r(h_, point);
    return a;
  }

 private:
  struct Area {
    std::int32_t code;
    std::string name;
    const GEOSGeometry* geometry;
    const GEOSPreparedGeometry* prepared;
  };
  struct Query {
    GEOSContextHandle_t h;
    const GEOSGeometry* point;
    const Area* found;
  };

  const Area* First(GEOSSTRtree* tree, const GEOSGeometry* point) {
    Query q{h_, point, nullptr};
    GEOSSTRtree_query_r(
        h_, tree, point,
        [](void* item, void* user) {
          auto* query = static_cast<Query*>(user);
          const auto* area = static_cast<const Area*>(item);
          if (query->found == nullptr &&
              GEOSPreparedCovers_r(query->h, area->prepared, query->point) == 1) {
            query->found = area;
          }
        },
        &q);
    return q.found;
  }

  static std::vector<std::string> Values(const std::string& json, const std::string& key) {
    std::vector<std::string> values;
    const std::string marker = "\"" + key + "\":\"";
    for (auto at = json.find(marker); at != std::string::npos; at = json.find(marker, at + 1)) {
      const auto start = at + marker.size();
      values.push_back(json.substr(start, json.find('"', start) - start));
    }
    return values;
  }

  bool Read(const std::string& file, const char* codeKey, std::vector<std::size_t>& into) {
    std::ifstream in(file);
    if (!in) return false;
    std::stringstream text;
    text << in.rdbuf();
    const std::string json = text.str();
    GEOSGeoJSONReader* reader = GEOSGeoJSONReader_create_r(h_);
    GEOSGeometry* all = GEOSGeoJSONReader_readGeometry_r(h_, reader, json.c_str());
    GEOSGeoJSONReader_destroy_r(h_, reader);
    if (!all) return false;
    owned_.push_back(all);
    const auto codes = Values(json, codeKey);
    const auto names = Values(json, "NAME");
    for (int i = 0; i < GEOSGetNumGeometries_r(h_, all); ++i) {
      const GEOSGeometry* g = GEOSGetGeometryN_r(h_, all, i);
      into.push_back(areas_.size());
      areas_.push_back({std::stoi(codes[static_cast<std::size_t>(i)]),
                        names[static_cast<std::size_t>(i)], g, GEOSPrepare_r(h_, g)});
    }
    return true;
  }

  GEOSContextHandle_t h_;
  std::vector<Area> areas_;
  std::vector<std::size_t> states_, countyAreas_;
  std::vector<GEOSGeometry*> owned_;
  GEOSSTRtree* counties_ = nullptr;
  GEOSSTRtree* quads_ = nullptr;
};

void BM_Geos_Lookup(benchmark::State& state) {
  const auto data = LoadedData();
  const auto& points = KentuckyPoints();
  GeosLookup geos;
  if (!data || points.empty() || !geos.Load(*data)) {
    state.SkipWithError("lantrel.bin or the source boundaries not found");
    return;
  }
  // Both sides must give the same answers before they are timed.
  lantrel::ZrGeoPosition p;
  for (const auto& at : points) {
    if (!(geos.LookUp(at) == LookUp(p, at))) {
      state.SkipWithError("GEOS and lantrel answers differ");
      return;
    }
  }
  std::size_t i = 0;
  for (auto _ : state) {
    Answer a = geos.LookUp(points[i++ & 4095]);
    benchmark::DoNotOptimize(a);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Geos_Lookup);

#endif

}  // namespace

BENCHMARK_MAIN();
