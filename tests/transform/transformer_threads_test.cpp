// One transformer shared by several threads gives every thread the results of a single-thread
// run, bit for bit (also run under ThreadSanitizer).
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "transform/reference_position.hpp"

namespace {

using lantrel::Pair;
using namespace lantrel::testing;

struct ThreadRun {
  std::vector<double> x, y;
  std::vector<std::int32_t> status;
};

TEST(TransformerThreads, OneTransformerManyThreadsIdenticalResults) {
  const lantrel::Transformer t({1, 1, 1}, {3, 0, 2}, true);
  std::vector<double> x, y;
  for (const Pair& g : GeographicPoints(3000, 77)) {
    const Pair p = InSystem({1, 1, 1}, g);
    x.push_back(p.x);
    y.push_back(p.y);
  }
  for (const Pair& h : HostileInputs()) {
    x.push_back(h.x);
    y.push_back(h.y);
  }
  const std::size_t n = x.size();
  const auto run = [&](ThreadRun& r) {
    r.x.assign(n, 0.0);
    r.y.assign(n, 0.0);
    r.status.assign(n, -7);
    for (int pass = 0; pass < 4; ++pass) {
      t.Transform(n, x.data(), y.data(), r.x.data(), r.y.data(), r.status.data());
    }
  };
  ThreadRun single;
  run(single);
  constexpr int kThreads = 4;
  std::vector<ThreadRun> runs(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) threads.emplace_back(run, std::ref(runs[i]));
  for (auto& th : threads) th.join();
  for (const ThreadRun& r : runs) {
    for (std::size_t i = 0; i < n; ++i) {
      ASSERT_TRUE(SameOutcome({r.status[i], r.x[i], r.y[i]},
                              {single.status[i], single.x[i], single.y[i]}))
          << i;
    }
  }
}

}  // namespace
