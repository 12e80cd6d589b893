// Arrays of 100,000 points through lantrel::Transformer beside the same arrays through PROJ's
// proj_trans_generic, PROJ using the same NOAA CONUS grid for the datum cases.
//
//   build/bin/array_bench
//
// Cases (XArray, X as in projection_bench and convert_bench): GeoToNorthZone, NorthZoneToGeo,
// GeoToUTM16 (NAD 83, no datum step), Nad27NorthToNad83UTM16 and Nad83GeoToNad27Geo (datum
// shift by grid). PROJ takes and gives degrees like lantrel (unit conversion steps in its
// pipeline); longitudes are handed to it with its own sign convention (east positive).
// Items per second count points. The XMillion cases take arrays of 1,000,000 points on one
// thread and on every core. The XSideBySide cases run lantrel and PROJ (or one thread and
// every core) in turn, call by call, and report the counter `ratio`, PROJ's time (one
// thread's) over lantrel's (every core's): on a machine whose speed drifts from minute to
// minute both sides then meet the same drift, which separate cases minutes apart do not.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "lantrel/lantrel.hpp"
#include "side_by_side.hpp"

#if LANTREL_HAVE_PROJ
#include <proj.h>

#include "proj_grid_context.hpp"
#endif

namespace {

using lantrel::CoordinateSystem;

constexpr std::size_t kPoints = 100000;

constexpr CoordinateSystem kGeo83{5, 0, 0};
constexpr CoordinateSystem kGeo27{5, 1, 0};
constexpr CoordinateSystem kNorth83UsFt{1, 0, 1};
constexpr CoordinateSystem kNorth27UsFt{1, 1, 1};
constexpr CoordinateSystem kUtm16Metres{3, 0, 2};

struct Arrays {
  std::vector<double> x, y;
};

// Geographic points (west-positive degrees) spread over the served window.
const Arrays& WindowPoints() {
  static const Arrays a = [] {
    std::mt19937_64 rng(20061023);
    std::uniform_real_distribution<double> lon(81.6, 89.9), lat(36.1, 39.4);
    Arrays r;
    for (std::size_t i = 0; i < kPoints; ++i) {
      r.x.push_back(lon(rng));
      r.y.push_back(lat(rng));
    }
    return r;
  }();
  return a;
}

// The window points expressed in `s` (from geographic on the same datum).
Arrays InSystem(CoordinateSystem s) {
  const Arrays& g = WindowPoints();
  Arrays r{std::vector<double>(kPoints), std::vector<double>(kPoints)};
  std::vector<std::int32_t> status(kPoints);
  lantrel::Transformer({5, s.DatumCode(), 0}, s, true).Transform(kPoints, g.x.data(), g.y.data(),
                                                     r.x.data(), r.y.data(), status.data());
  return r;
}

// The window points on zrNorthZone NAD 83 and NAD 27, US survey feet, each built once.
const Arrays& North83Points() {
  static const Arrays a = InSystem(kNorth83UsFt);
  return a;
}
const Arrays& North27Points() {
  static const Arrays a = InSystem(kNorth27UsFt);
  return a;
}

void RunLantrel(benchmark::State& state, CoordinateSystem from, CoordinateSystem to,
                const Arrays& in) {
  const lantrel::Transformer t(from, to, true);
  std::vector<double> ox(kPoints), oy(kPoints);
  std::vector<std::int32_t> status(kPoints);
  for (auto _ : state) {
    t.Transform(kPoints, in.x.data(), in.y.data(), ox.data(), oy.data(), status.data());
    benchmark::DoNotOptimize(ox.data());
    benchmark::DoNotOptimize(oy.data());
    benchmark::ClobberMemory();
  }
  for (const std::int32_t s : status) {
    if (s != 0) state.SkipWithError("a point failed");
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kPoints));
}

void BM_Lantrel_GeoToNorthZoneArray(benchmark::State& state) {
  RunLantrel(state, kGeo83, kNorth83UsFt, WindowPoints());
}
BENCHMARK(BM_Lantrel_GeoToNorthZoneArray)->Unit(benchmark::kMillisecond);

void BM_Lantrel_NorthZoneToGeoArray(benchmark::State& state) {
  RunLantrel(state, kNorth83UsFt, kGeo83, North83Points());
}
BENCHMARK(BM_Lantrel_NorthZoneToGeoArray)->Unit(benchmark::kMillisecond);

void BM_Lantrel_GeoToUTM16Array(benchmark::State& state) {
  RunLantrel(state, kGeo83, kUtm16Metres, WindowPoints());
}
BENCHMARK(BM_Lantrel_GeoToUTM16Array)->Unit(benchmark::kMillisecond);

void BM_Lantrel_Nad27NorthToNad83UTM16Array(benchmark::State& state) {
  RunLantrel(state, kNorth27UsFt, kUtm16Metres, North27Points());
}
BENCHMARK(BM_Lantrel_Nad27NorthToNad83UTM16Array)->Unit(benchmark::kMillisecond);

void BM_Lantrel_Nad83GeoToNad27GeoArray(benchmark::State& state) {
  RunLantrel(state, kGeo83, kGeo27, WindowPoints());
}
BENCHMARK(BM_Lantrel_Nad83GeoToNad27GeoArray)->Unit(benchmark::kMillisecond);

// Arrays of 1,000,000 points on the caller's thread (threads 1) and on every core (threads
// 0): the same points as above, repeated.
constexpr std::size_t kLargePoints = 1000000;

Arrays Repeated(const Arrays& in) {
  Arrays r;
  r.x.reserve(kLargePoints);
  r.y.reserve(kLargePoints);
  for (std::size_t i = 0; i < kLargePoints; ++i) {
    r.x.push_back(in.x[i % in.x.size()]);
    r.y.push_back(in.y[i % in.y.size()]);
  }
  return r;
}

void RunLarge(benchmark::State& state, CoordinateSystem from, CoordinateSystem to,
              const Arrays& in) {
  const lantrel::Transformer t(from, to, true);
  const auto threads = static_cast<unsigned>(state.range(0));
  std::vector<double> ox(kLargePoints), oy(kLargePoints);
  std::vector<std::int32_t> status(kLargePoints);
  for (auto _ : state) {
    t.Transform(kLargePoints, in.x.data(), in.y.data(), ox.data(), oy.data(), status.data(),
                nullptr, threads);
    benchmark::DoNotOptimize(ox.data());
    benchmark::DoNotOptimize(oy.data());
    benchmark::ClobberMemory();
  }
  for (const std::int32_t s : status) {
    if (s != 0) state.SkipWithError("a point failed");
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kLargePoints));
}

// Every core (a) beside one thread (b) on 1,000,000 points.
void RunThreadsSideBySide(benchmark::State& state, CoordinateSystem from, CoordinateSystem to,
                          const Arrays& in) {
  const lantrel::Transformer t(from, to, true);
  std::vector<double> ox(kLargePoints), oy(kLargePoints);
  std::vector<std::int32_t> status(kLargePoints);
  const auto on = [&](unsigned threads) {
    return [&, threads] {
      t.Transform(kLargePoints, in.x.data(), in.y.data(), ox.data(), oy.data(), status.data(),
                  nullptr, threads);
      benchmark::DoNotOptimize(ox.data());
    };
  };
  RunSideBySide(state, kLargePoints, "all_cores_ns", on(0), "one_thread_ns", on(1));
}

// The 1,000,000-point inputs, each built once for the cases that share it.
const Arrays& LargeGeo() {
  static const Arrays in = Repeated(WindowPoints());
  return in;
}
const Arrays& LargeNorth83() {
  static const Arrays in = Repeated(North83Points());
  return in;
}
const Arrays& LargeNorth27() {
  static const Arrays in = Repeated(North27Points());
  return in;
}

void BM_Lantrel_GeoToNorthZoneMillion(benchmark::State& state) {
  RunLarge(state, kGeo83, kNorth83UsFt, LargeGeo());
}
void BM_Lantrel_NorthZoneToGeoMillion(benchmark::State& state) {
  RunLarge(state, kNorth83UsFt, kGeo83, LargeNorth83());
}
void BM_Lantrel_Nad27NorthToNad83UTM16Million(benchmark::State& state) {
  RunLarge(state, kNorth27UsFt, kUtm16Metres, LargeNorth27());
}
// Argument: the thread count (1 the caller's thread, 0 every core). Wall-clock time counts.
BENCHMARK(BM_Lantrel_GeoToNorthZoneMillion)->Arg(1)->Arg(0)->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lantrel_NorthZoneToGeoMillion)->Arg(1)->Arg(0)->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lantrel_Nad27NorthToNad83UTM16Million)->Arg(1)->Arg(0)->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_Threads_GeoToNorthZoneMillionSideBySide(benchmark::State& state) {
  RunThreadsSideBySide(state, kGeo83, kNorth83UsFt, LargeGeo());
}
void BM_Threads_NorthZoneToGeoMillionSideBySide(benchmark::State& state) {
  RunThreadsSideBySide(state, kNorth83UsFt, kGeo83, LargeNorth83());
}
void BM_Threads_Nad27NorthToNad83UTM16MillionSideBySide(benchmark::State& state) {
  RunThreadsSideBySide(state, kNorth27UsFt, kUtm16Metres, LargeNorth27());
}
BENCHMARK(BM_Threads_GeoToNorthZoneMillionSideBySide)->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Threads_NorthZoneToGeoMillionSideBySide)->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Threads_Nad27NorthToNad83UTM16MillionSideBySide)->UseRealTime()
    ->Unit(benchmark::kMillisecond);

#if LANTREL_HAVE_PROJ

// zrNorthZone NAD 83 (parallels 37 58 and 38 58 N, origin 37 30 N, 84 15 W, false easting
// 500000 m) in US survey feet, and UTM zone 16, both on GRS 80, taking degrees.
constexpr const char* kNorthZoneFromDegrees =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=lcc +lat_1=37.966666666666667 +lat_2=38.966666666666667 +lat_0=37.5 "
    "+lon_0=-84.25 +x_0=500000 +y_0=0 +ellps=GRS80 +units=us-ft";
constexpr const char* kNorthZoneToDegrees =
    "+proj=pipeline +step +inv +proj=lcc +lat_1=37.966666666666667 +lat_2=38.966666666666667 "
    "+lat_0=37.5 +lon_0=-84.25 +x_0=500000 +y_0=0 +ellps=GRS80 +units=us-ft "
    "+step +proj=unitconvert +xy_in=rad +xy_out=deg";
constexpr const char* kUtm16FromDegrees =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=utm +zone=16 +ellps=GRS80 +units=m";


// PROJ's form of the arrays: west-positive longitudes become east-positive.
Arrays ForProj(const Arrays& in, bool geographic) {
  Arrays r = in;
  if (geographic) {
    for (double& v : r.x) v = -v;
  }
  return r;
}

// The inputs in PROJ's form, each built once.
const Arrays& ProjGeo() {
  static const Arrays a = ForProj(WindowPoints(), true);
  return a;
}
const Arrays& ProjNorth83() {
  static const Arrays a = ForProj(North83Points(), false);
  return a;
}
const Arrays& ProjNorth27() {
  static const Arrays a = ForProj(North27Points(), false);
  return a;
}

// A PROJ operation and its context, destroyed together.
struct ProjOp {
  PJ_CONTEXT* ctx;
  PJ* op;
  ProjOp(PJ_CONTEXT* c, PJ* o) : ctx(c), op(o) {}
  ProjOp(const ProjOp&) = delete;
  ProjOp& operator=(const ProjOp&) = delete;
  ~ProjOp() {
    if (op != nullptr) proj_destroy(op);
    proj_context_destroy(ctx);
  }
};

ProjOp* FromString(const char* definition) {
  PJ_CONTEXT* ctx = proj_context_create();
  return new ProjOp{ctx, proj_create(ctx, definition)};
}

ProjOp* FromCrs(const char* from, const char* to) {
  PJ_CONTEXT* ctx = GridContext();
  PJ* raw = proj_create_crs_to_crs(ctx, from, to, nullptr);
  PJ* op = raw ? proj_normalize_for_visualization(ctx, raw) : nullptr;
  if (raw) proj_destroy(raw);
  return new ProjOp{ctx, op};
}

// proj_trans_generic converts in place, so every call first copies the inputs into the work
// arrays (a few tens of microseconds beside milliseconds of conversion).
void ProjTransform(PJ* op, const Arrays& in, std::vector<double>& x, std::vector<double>& y) {
  std::memcpy(x.data(), in.x.data(), kPoints * sizeof(double));
  std::memcpy(y.data(), in.y.data(), kPoints * sizeof(double));
  proj_trans_generic(op, PJ_FWD, x.data(), sizeof(double), kPoints, y.data(), sizeof(double),
                     kPoints, nullptr, 0, 0, nullptr, 0, 0);
  benchmark::DoNotOptimize(x.data());
  benchmark::DoNotOptimize(y.data());
}

void RunProj(benchmark::State& state, ProjOp* made, const Arrays& in) {
  const std::unique_ptr<ProjOp> p(made);
  if (p->op == nullptr) {
    state.SkipWithError("PROJ could not create the operation");
    return;
  }
  std::vector<double> x(kPoints), y(kPoints);
  for (auto _ : state) {
    ProjTransform(p->op, in, x, y);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kPoints));
}

void RunProjString(benchmark::State& state, const char* definition, const Arrays& in) {
  RunProj(state, FromString(definition), in);
}

void RunProjCrs(benchmark::State& state, const char* from, const char* to, const Arrays& in) {
  RunProj(state, FromCrs(from, to), in);
}

// lantrel (a) beside PROJ (b) on the same 100,000 points.
void RunProjSideBySide(benchmark::State& state, CoordinateSystem from, CoordinateSystem to,
                       const Arrays& in, ProjOp* made, const Arrays& projIn) {
  const std::unique_ptr<ProjOp> p(made);
  if (p->op == nullptr) {
    state.SkipWithError("PROJ could not create the operation");
    return;
  }
  const lantrel::Transformer t(from, to, true);
  std::vector<double> ox(kPoints), oy(kPoints), px(kPoints), py(kPoints);
  std::vector<std::int32_t> status(kPoints);
  RunSideBySide(
      state, kPoints, "lantrel_ns",
      [&] {
        t.Transform(kPoints, in.x.data(), in.y.data(), ox.data(), oy.data(), status.data());
        benchmark::DoNotOptimize(ox.data());
      },
      "proj_ns", [&] { ProjTransform(p->op, projIn, px, py); });
}

void BM_Proj_GeoToNorthZoneArray(benchmark::State& state) {
  RunProjString(state, kNorthZoneFromDegrees, ProjGeo());
}
BENCHMARK(BM_Proj_GeoToNorthZoneArray)->Unit(benchmark::kMillisecond);

void BM_Proj_NorthZoneToGeoArray(benchmark::State& state) {
  RunProjString(state, kNorthZoneToDegrees, ProjNorth83());
}
BENCHMARK(BM_Proj_NorthZoneToGeoArray)->Unit(benchmark::kMillisecond);

void BM_Proj_GeoToUTM16Array(benchmark::State& state) {
  RunProjString(state, kUtm16FromDegrees, ProjGeo());
}
BENCHMARK(BM_Proj_GeoToUTM16Array)->Unit(benchmark::kMillisecond);

void BM_Proj_Nad27NorthToNad83UTM16Array(benchmark::State& state) {
  RunProjCrs(state, "EPSG:26779", "EPSG:26916", ProjNorth27());
}
BENCHMARK(BM_Proj_Nad27NorthToNad83UTM16Array)->Unit(benchmark::kMillisecond);

void BM_Proj_Nad83GeoToNad27GeoArray(benchmark::State& state) {
  RunProjCrs(state, "EPSG:4269", "EPSG:4267", ProjGeo());
}
BENCHMARK(BM_Proj_Nad83GeoToNad27GeoArray)->Unit(benchmark::kMillisecond);

void BM_Ratio_GeoToNorthZoneSideBySide(benchmark::State& state) {
  RunProjSideBySide(state, kGeo83, kNorth83UsFt, WindowPoints(), FromString(kNorthZoneFromDegrees),
                    ProjGeo());
}
void BM_Ratio_NorthZoneToGeoSideBySide(benchmark::State& state) {
  RunProjSideBySide(state, kNorth83UsFt, kGeo83, North83Points(), FromString(kNorthZoneToDegrees),
                    ProjNorth83());
}
void BM_Ratio_GeoToUTM16SideBySide(benchmark::State& state) {
  RunProjSideBySide(state, kGeo83, kUtm16Metres, WindowPoints(), FromString(kUtm16FromDegrees),
                    ProjGeo());
}
void BM_Ratio_Nad27NorthToNad83UTM16SideBySide(benchmark::State& state) {
  RunProjSideBySide(state, kNorth27UsFt, kUtm16Metres, North27Points(),
                    FromCrs("EPSG:26779", "EPSG:26916"), ProjNorth27());
}
void BM_Ratio_Nad83GeoToNad27GeoSideBySide(benchmark::State& state) {
  RunProjSideBySide(state, kGeo83, kGeo27, WindowPoints(), FromCrs("EPSG:4269", "EPSG:4267"),
                    ProjGeo());
}
BENCHMARK(BM_Ratio_GeoToNorthZoneSideBySide)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ratio_NorthZoneToGeoSideBySide)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ratio_GeoToUTM16SideBySide)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ratio_Nad27NorthToNad83UTM16SideBySide)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ratio_Nad83GeoToNad27GeoSideBySide)->Unit(benchmark::kMillisecond);

#endif

}  // namespace

BENCHMARK_MAIN();
