// Throughput of the projection operations beside PROJ's proj_trans on the same zones, one
// point per iteration, points spread over the served window 81.5-90 W, 36-39.5 N.
//
//   build/bin/projection_bench
//
// Cases: GeoToNorthZone (geographic -> zrNorthZone NAD 83, US survey feet), GeoToUTM16
// (geographic -> zrUTM16 NAD 83, metres) and NorthZoneToGeo (the inverse of the first). The
// PROJ side is the same projection on the same ellipsoid, built from a PROJ string (no datum
// step, no database lookup), taking and returning degrees like the library does. The
// XSideBySide cases run both sides in turn, 1024 points each, and report the counter `ratio`,
// PROJ's time over lantrel's, both meeting the same drift of the machine's speed.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "projection/zone_driver.hpp"
#include "side_by_side.hpp"

#if LANTREL_HAVE_PROJ
#include <proj.h>
#endif

namespace {

using lantrel::Pair;

constexpr std::int32_t kNAD83 = 0;
constexpr std::int32_t kNorthZone = 1;
constexpr std::int32_t kUTM16 = 3;
constexpr std::int32_t kUsFt = 1;
constexpr std::int32_t kMetres = 2;
constexpr std::size_t kPoints = 1024;  // a power of two: the index wraps with a mask

// Geographic points (west-positive degrees) on a scrambled 32 x 32 grid over the window.
const std::array<Pair, kPoints>& GeoPoints() {
  static const std::array<Pair, kPoints> points = [] {
    std::array<Pair, kPoints> p{};
    for (std::size_t i = 0; i < kPoints; ++i) {
      const std::size_t k = (i * 379) % kPoints;  // 379 is odd: a permutation of 0..1023
      p[i] = Pair{81.5 + 8.5 * static_cast<double>(k % 32) / 31.0,
                  36.0 + 3.5 * static_cast<double>(k / 32) / 31.0};
    }
    return p;
  }();
  return points;
}

// The same points on zrNorthZone NAD 83, US survey feet.
const std::array<Pair, kPoints>& NorthZonePoints() {
  static const std::array<Pair, kPoints> points = [] {
    std::array<Pair, kPoints> p{};
    for (std::size_t i = 0; i < kPoints; ++i) {
      p[i] = lantrel::detail::GeographicToLambert(GeoPoints()[i], kNAD83, kNorthZone, kUsFt);
    }
    return p;
  }();
  return points;
}

void BM_Lantrel_GeoToNorthZone(benchmark::State& state) {
  const auto& pts = GeoPoints();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        lantrel::detail::GeographicToLambert(pts[i++ & (kPoints - 1)], kNAD83, kNorthZone, kUsFt));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Lantrel_GeoToNorthZone);

void BM_Lantrel_GeoToUTM16(benchmark::State& state) {
  const auto& pts = GeoPoints();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        lantrel::detail::GeographicToMercator(pts[i++ & (kPoints - 1)], kNAD83, kUTM16, kMetres));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Lantrel_GeoToUTM16);

void BM_Lantrel_NorthZoneToGeo(benchmark::State& state) {
  const auto& pts = NorthZonePoints();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        lantrel::detail::LambertToGeographic(pts[i++ & (kPoints - 1)], kNAD83, kNorthZone, kUsFt));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Lantrel_NorthZoneToGeo);

#if LANTREL_HAVE_PROJ

// zrNorthZone NAD 83 (parallels 37 58 and 38 58 N, origin 37 30 N, 84 15 W, false easting
// 500000 m) and UTM zone 16, both on GRS 80.
constexpr const char* kNorthZoneUsFt =
    "+proj=lcc +lat_1=37.966666666666667 +lat_2=38.966666666666667 +lat_0=37.5 +lon_0=-84.25 "
    "+x_0=500000 +y_0=0 +ellps=GRS80 +units=us-ft";
constexpr const char* kUtm16 = "+proj=utm +zone=16 +ellps=GRS80 +units=m";

// One PROJ context and operation per benchmark run.
class ProjOperation {
 public:
  explicit ProjOperation(const char* definition)
      : ctx_(proj_context_create()), pj_(proj_create(ctx_, definition)) {}
  ~ProjOperation() {
    proj_destroy(pj_);
    proj_context_destroy(ctx_);
  }
  ProjOperation(const ProjOperation&) = delete;
  ProjOperation& operator=(const ProjOperation&) = delete;
  PJ* get() const { return pj_; }

 private:
  PJ_CONTEXT* ctx_;
  PJ* pj_;
};

void ProjForward(benchmark::State& state, const char* definition) {
  const ProjOperation op(definition);
  if (op.get() == nullptr) {
    state.SkipWithError("proj_create failed");
    return;
  }
  const auto& pts = GeoPoints();
  std::size_t i = 0;
  for (auto _ : state) {
    const Pair& g = pts[i++ & (kPoints - 1)];
    const PJ_COORD in = proj_coord(proj_torad(-g.x), proj_torad(g.y), 0, 0);
    benchmark::DoNotOptimize(proj_trans(op.get(), PJ_FWD, in));
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_Proj_GeoToNorthZone(benchmark::State& state) { ProjForward(state, kNorthZoneUsFt); }
BENCHMARK(BM_Proj_GeoToNorthZone);

void BM_Proj_GeoToUTM16(benchmark::State& state) { ProjForward(state, kUtm16); }
BENCHMARK(BM_Proj_GeoToUTM16);

void BM_Proj_NorthZoneToGeo(benchmark::State& state) {
  const ProjOperation op(kNorthZoneUsFt);
  if (op.get() == nullptr) {
    state.SkipWithError("proj_create failed");
    return;
  }
  const auto& pts = NorthZonePoints();
  std::size_t i = 0;
  for (auto _ : state) {
    const Pair& p = pts[i++ & (kPoints - 1)];
    const PJ_COORD out = proj_trans(op.get(), PJ_INV, proj_coord(p.x, p.y, 0, 0));
    benchmark::DoNotOptimize(Pair{-proj_todeg(out.lp.lam), proj_todeg(out.lp.phi)});
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Proj_NorthZoneToGeo);

// lantrel's one-point function f and PROJ's `direction` of `definition` over the same 1024
// points, in turn.
template <typename F>
void RunSideBySidePoints(benchmark::State& state, F f, const std::array<Pair, kPoints>& pts,
                         const char* definition, PJ_DIRECTION direction, bool geographicIn) {
  const ProjOperation op(definition);
  if (op.get() == nullptr) {
    state.SkipWithError("proj_create failed");
    return;
  }
  RunSideBySide(
      state, kPoints, "lantrel_ns",
      [&] {
        for (const Pair& p : pts) benchmark::DoNotOptimize(f(p));
      },
      "proj_ns",
      [&] {
        for (const Pair& p : pts) {
          const PJ_COORD in = geographicIn ? proj_coord(proj_torad(-p.x), proj_torad(p.y), 0, 0)
                                           : proj_coord(p.x, p.y, 0, 0);
          const PJ_COORD out = proj_trans(op.get(), direction, in);
          if (geographicIn) {
            benchmark::DoNotOptimize(out);
          } else {
            benchmark::DoNotOptimize(Pair{-proj_todeg(out.lp.lam), proj_todeg(out.lp.phi)});
          }
        }
      });
}

void BM_Ratio_GeoToNorthZoneSideBySide(benchmark::State& state) {
  RunSideBySidePoints(
      state, [](Pair g) { return lantrel::detail::GeographicToLambert(g, kNAD83, kNorthZone, kUsFt); },
      GeoPoints(), kNorthZoneUsFt, PJ_FWD, true);
}
void BM_Ratio_GeoToUTM16SideBySide(benchmark::State& state) {
  RunSideBySidePoints(
      state, [](Pair g) { return lantrel::detail::GeographicToMercator(g, kNAD83, kUTM16, kMetres); },
      GeoPoints(), kUtm16, PJ_FWD, true);
}
void BM_Ratio_NorthZoneToGeoSideBySide(benchmark::State& state) {
  RunSideBySidePoints(
      state, [](Pair p) { return lantrel::detail::LambertToGeographic(p, kNAD83, kNorthZone, kUsFt); },
      NorthZonePoints(), kNorthZoneUsFt, PJ_INV, false);
}
BENCHMARK(BM_Ratio_GeoToNorthZoneSideBySide);
BENCHMARK(BM_Ratio_GeoToUTM16SideBySide);
BENCHMARK(BM_Ratio_NorthZoneToGeoSideBySide);

#endif

}  // namespace

BENCHMARK_MAIN();
