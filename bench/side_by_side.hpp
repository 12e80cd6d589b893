// Two operations timed in turn, call by call, for ratios on a machine whose speed drifts from
// minute to minute: separate benchmark cases minutes apart meet different speeds, two
// operations run in turn meet the same.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>

// Runs a() and b() in turn, iteration by iteration, each call taking `points` points, and
// reports b's total time over a's as the counter `ratio`, and each one's mean time per point,
// in nanoseconds, as the counters aName and bName.
template <typename A, typename B>
inline void RunSideBySide(benchmark::State& state, std::size_t points, const char* aName, A&& a,
                          const char* bName, B&& b) {
  using Clock = std::chrono::steady_clock;
  Clock::duration ta{}, tb{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    a();
    const auto t1 = Clock::now();
    b();
    const auto t2 = Clock::now();
    ta += t1 - t0;
    tb += t2 - t1;
    benchmark::ClobberMemory();
  }
  state.counters["ratio"] = static_cast<double>(tb.count()) / static_cast<double>(ta.count());
  const auto perPoint = [&](Clock::duration d) {
    return std::chrono::duration<double, std::nano>(d).count() /
           static_cast<double>(state.iterations()) / static_cast<double>(points);
  };
  state.counters[aName] = perPoint(ta);
  state.counters[bName] = perPoint(tb);
}
