// Throughput of the NAD 27 <-> NAD 83 grid shift, and of PROJ's grid shift on NOAA's CONUS grid
// for comparison. Both sides work on the same 1024 points of the window 81.5-90 W, 36-39.5 N.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "datum/nadcon.hpp"

#ifdef LANTREL_HAVE_PROJ
#include <proj.h>
#endif

namespace {

const std::vector<lantrel::Pair>& Points() {
  static const std::vector<lantrel::Pair> points = [] {
    std::vector<lantrel::Pair> p;
    for (int a = 0; a < 32; ++a) {
      for (int b = 0; b < 32; ++b) p.push_back({81.5 + 8.5 * a / 31.0, 36.0 + 3.5 * b / 31.0});
    }
    return p;
  }();
  return points;
}

template <lantrel::Pair (*Shift)(lantrel::Pair)>
void BM_Lantrel(benchmark::State& state) {
  const auto& points = Points();
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Shift(points[k]));
    k = (k + 1) % points.size();
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_Lantrel_Nad27ToNad83(benchmark::State& state) { BM_Lantrel<lantrel::detail::Nad27ToNad83>(state); }
void BM_Lantrel_Nad83ToNad27(benchmark::State& state) {
  BM_Lantrel<static_cast<lantrel::Pair (*)(lantrel::Pair)>(lantrel::detail::Nad83ToNad27)>(state);
}
BENCHMARK(BM_Lantrel_Nad27ToNad83);
BENCHMARK(BM_Lantrel_Nad83ToNad27);

#ifdef LANTREL_HAVE_PROJ
void BM_Proj(benchmark::State& state, PJ_DIRECTION direction) {
  PJ_CONTEXT* ctx = proj_context_create();
  const char* db = proj_context_get_database_path(ctx);
  const std::string database = db != nullptr ? db : "";
  const std::string folder = std::string(LANTREL_DATA_SOURCES) + "/nadcon";
  const char* paths[] = {folder.c_str()};
  proj_context_set_search_paths(ctx, 1, paths);
  proj_context_set_enable_network(ctx, 0);
  if (!database.empty()) proj_context_set_database_path(ctx, database.c_str(), nullptr, nullptr);
  PJ* op = proj_create(ctx,
                       "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad"
                       " +step +proj=hgridshift +grids=us_noaa_conus.tif"
                       " +step +proj=unitconvert +xy_in=rad +xy_out=deg");
  if (op == nullptr) {
    state.SkipWithError("PROJ cannot open us_noaa_conus.tif in the shared data folder");
    proj_context_destroy(ctx);
    return;
  }
  const auto& points = Points();
  std::size_t k = 0;
  for (auto _ : state) {
    const PJ_COORD c = proj_coord(-points[k].x, points[k].y, 0.0, 0.0);
    benchmark::DoNotOptimize(proj_trans(op, direction, c));
    k = (k + 1) % points.size();
  }
  state.SetItemsProcessed(state.iterations());
  proj_destroy(op);
  proj_context_destroy(ctx);
}

void BM_Proj_Nad27ToNad83(benchmark::State& state) { BM_Proj(state, PJ_FWD); }
void BM_Proj_Nad83ToNad27(benchmark::State& state) { BM_Proj(state, PJ_INV); }
BENCHMARK(BM_Proj_Nad27ToNad83);
BENCHMARK(BM_Proj_Nad83ToNad27);
#endif

}  // namespace

BENCHMARK_MAIN();
