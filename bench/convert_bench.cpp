// Whole conversions through the public API (set labels and pair, Convert) beside the same
// conversions through PROJ's proj_trans, with PROJ using the same NOAA CONUS grid.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "lantrel/lantrel.hpp"

#if LANTREL_HAVE_PROJ
#include <proj.h>

#include "proj_grid_context.hpp"
#endif

namespace {

using lantrel::zrGeoDatum;
using lantrel::zrGeoProjection;
using lantrel::zrGeoUnits;

constexpr std::size_t kPoints = 4096;

// Geographic points (west-positive longitude, latitude) spread over the served window.
std::vector<lantrel::Pair> WindowPoints() {
  std::mt19937_64 rng(20061023);
  std::uniform_real_distribution<double> lon(81.6, 89.9), lat(36.1, 39.4);
  std::vector<lantrel::Pair> pts(kPoints);
  for (auto& p : pts) p = {lon(rng), lat(rng)};
  return pts;
}

// The same points as NAD 27 north-zone US survey feet.
std::vector<lantrel::Pair> NorthZoneNad27Points() {
  std::vector<lantrel::Pair> out;
  for (const auto& g : WindowPoints()) {
    lantrel::ZrGeoPosition p;
    p.Datum(zrGeoDatum::zrNAD27);
    p.x(g.x);
    p.y(g.y);
    p.ConvertTo(zrGeoDatum::zrNAD27, zrGeoProjection::zrNorthZone, zrGeoUnits::zrUSFt);
    out.push_back({p.x(), p.y()});
  }
  return out;
}

void BM_Lantrel_Nad27NorthToNad83UTM16(benchmark::State& state) {
  const auto pts = NorthZoneNad27Points();
  lantrel::ZrGeoPosition p;
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& in = pts[i++ % kPoints];
    p.Projection(zrGeoProjection::zrNorthZone);
    p.Datum(zrGeoDatum::zrNAD27);
    p.Units(zrGeoUnits::zrUSFt);
    p.x(in.x);
    p.y(in.y);
    p.ConvertTo(zrGeoDatum::zrNAD83, zrGeoProjection::zrUTM16, zrGeoUnits::zrMeters);
    benchmark::DoNotOptimize(p.x());
    benchmark::DoNotOptimize(p.y());
  }
}
BENCHMARK(BM_Lantrel_Nad27NorthToNad83UTM16);

void BM_Lantrel_Nad83GeoToNad27Geo(benchmark::State& state) {
  const auto pts = WindowPoints();
  lantrel::ZrGeoPosition p;
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& in = pts[i++ % kPoints];
    p.Projection(zrGeoProjection::zrGeographic);
    p.Datum(zrGeoDatum::zrNAD83);
    p.x(in.x);
    p.y(in.y);
    p.ConvertTo(zrGeoDatum::zrNAD27, zrGeoProjection::zrGeographic,
                zrGeoUnits::zrDecimalDegrees);
    benchmark::DoNotOptimize(p.x());
    benchmark::DoNotOptimize(p.y());
  }
}
BENCHMARK(BM_Lantrel_Nad83GeoToNad27Geo);

#if LANTREL_HAVE_PROJ


void RunProj(benchmark::State& state, const char* from, const char* to,
             const std::vector<lantrel::Pair>& pts, bool negateX) {
  PJ_CONTEXT* ctx = GridContext();
  PJ* raw = proj_create_crs_to_crs(ctx, from, to, nullptr);
  PJ* op = raw ? proj_normalize_for_visualization(ctx, raw) : nullptr;
  if (raw) proj_destroy(raw);
  if (op == nullptr) {
    state.SkipWithError("PROJ could not create the operation");
    proj_context_destroy(ctx);
    return;
  }
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& in = pts[i++ % kPoints];
    PJ_COORD c = proj_coord(negateX ? -in.x : in.x, in.y, 0, 0);
    c = proj_trans(op, PJ_FWD, c);
    benchmark::DoNotOptimize(c);
  }
  proj_destroy(op);
  proj_context_destroy(ctx);
}

void BM_Proj_Nad27NorthToNad83UTM16(benchmark::State& state) {
  RunProj(state, "EPSG:26779", "EPSG:26916", NorthZoneNad27Points(), false);
}
BENCHMARK(BM_Proj_Nad27NorthToNad83UTM16);

void BM_Proj_Nad83GeoToNad27Geo(benchmark::State& state) {
  RunProj(state, "EPSG:4269", "EPSG:4267", WindowPoints(), true);
}
BENCHMARK(BM_Proj_Nad83GeoToNad27Geo);

#endif

}  // namespace

BENCHMARK_MAIN();
