// Array calls on several threads give the outcome of the call on one thread, bit for bit:
// outputs, statuses and the failed points' records (merged in input order). Also run under
// ThreadSanitizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "core/parallel_chunks.hpp"
#include "lantrel/lantrel.hpp"
#include "refdata/refdata_files.hpp"

namespace {

using lantrel::PointErrors;
using lantrel::zrGeoDatum;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Above the threshold, not a whole number of superblocks.
constexpr std::size_t kPoints = 40003;

struct Outcome {
  std::vector<std::uint64_t> bits;
  std::vector<std::string> texts;
  std::vector<std::int32_t> status;
  std::vector<std::tuple<std::size_t, std::int32_t, std::string, std::string>> errors;
  bool operator==(const Outcome&) const = default;
};

void AddBits(Outcome& o, const std::vector<double>& v) {
  for (const double d : v) o.bits.push_back(std::bit_cast<std::uint64_t>(d));
}

void AddErrors(Outcome& o, const PointErrors& e) {
  for (const auto& r : e) o.errors.emplace_back(r.index, r.number, r.source, r.description);
}

// kPoints values cycling through `good`, with `bad` values in every 1000th place from 517 on
// (inside superblocks, in every chunk whatever the count).
std::vector<double> Spread(const std::vector<double>& good, const std::vector<double>& bad) {
  std::vector<double> v(kPoints);
  for (std::size_t i = 0; i < kPoints; ++i) v[i] = good[i % good.size()];
  for (std::size_t i = 517, k = 0; i < kPoints; i += 1000, ++k) v[i] = bad[k % bad.size()];
  return v;
}

// Geographic points (west negative) on and around the served window; some bad ones.
const std::vector<double> kLon = Spread({-84.5, -85.4321, -83.01, -88.9, -82.2, -86.75},
                                        {kNaN, -95.0, 1e300, -200.0});
const std::vector<double> kLat = Spread({38.0, 37.1234, 37.77, 36.6, 38.3, 37.2},
                                        {37.0, 30.0, -1e300, 37.0});

using Call = std::function<Outcome(unsigned threads)>;

std::vector<std::pair<const char*, Call>> Calls(const std::string& dataFolder) {
  std::vector<std::pair<const char*, Call>> calls = {
      {"Transform NAD 27 geographic -> North zone NAD 83",
       [](unsigned threads) {
         const lantrel::Transformer t({5, 1, 0}, {1, 0, 1}, false);
         std::vector<double> x(kPoints), y(kPoints);
         Outcome o;
         o.status.resize(kPoints);
         PointErrors e;
         t.Transform(kPoints, kLon.data(), kLat.data(), x.data(), y.data(), o.status.data(), &e,
                     threads);
         AddBits(o, x);
         AddBits(o, y);
         AddErrors(o, e);
         return o;
       }},
      {"Transform in place, without errors",
       [](unsigned threads) {
         const lantrel::Transformer t({5, 0, 0}, {3, 0, 2}, true);
         std::vector<double> x = kLon, y = kLat;
         Outcome o;
         o.status.resize(kPoints);
         t.Transform(kPoints, x.data(), y.data(), x.data(), y.data(), o.status.data(), nullptr,
                     threads);
         AddBits(o, x);
         AddBits(o, y);
         return o;
       }},
      {"GridFactors",
       [](unsigned threads) {
         std::vector<double> k(kPoints), c(kPoints);
         Outcome o;
         o.status.resize(kPoints);
         PointErrors e;
         lantrel::GridFactors({5, 0, 0}, false, kPoints, kLon.data(), kLat.data(), k.data(),
                              c.data(), o.status.data(), &e, threads);
         AddBits(o, k);
         AddBits(o, c);
         AddErrors(o, e);
         return o;
       }},
      {"FormatCarterLocations and ReadCarterLocations",
       [](unsigned threads) {
         Outcome o;
         o.texts.resize(kPoints);
         o.status.resize(kPoints);
         PointErrors e;
         lantrel::FormatCarterLocations(zrGeoDatum::zrNAD27, false, kPoints, kLon.data(),
                                        kLat.data(), o.texts.data(), o.status.data(), &e,
                                        threads);
         AddErrors(o, e);
         const std::vector<std::string_view> views(o.texts.begin(), o.texts.end());
         std::vector<double> x(kPoints), y(kPoints);
         std::vector<std::int32_t> status(kPoints);
         lantrel::ReadCarterLocations(zrGeoDatum::zrNAD27, false, kPoints, views.data(),
                                      x.data(), y.data(), status.data(), &e, threads);
         AddBits(o, x);
         AddBits(o, y);
         AddErrors(o, e);
         o.status.insert(o.status.end(), status.begin(), status.end());
         return o;
       }},
  };
  if (!dataFolder.empty()) {
    const auto locator = std::make_shared<lantrel::Locator>(dataFolder + "lantrel.bin");
    calls.emplace_back("Locator::LocateMatches", [locator](unsigned threads) {
      std::vector<lantrel::LocationMatches> found(kPoints);
      Outcome o;
      o.status.resize(kPoints);
      PointErrors e;
      locator->LocateMatches(kPoints, kLon.data(), kLat.data(), 0, found.data(),
                             o.status.data(), &e, threads);
      for (const auto& f : found) {
        o.bits.push_back(static_cast<std::uint64_t>(f.stateCount * 100 + f.countyCount * 10 +
                                                    f.quadCount));
        o.bits.push_back(static_cast<std::uint64_t>(f.states[0] + 1));
        o.bits.push_back(static_cast<std::uint64_t>(f.quads[0] + 1));
      }
      AddErrors(o, e);
      return o;
    });
  }
  return calls;
}

TEST(ArrayThreads, EveryThreadCountGivesTheOneThreadOutcome) {
  for (const auto& [name, call] : Calls(refdata_test::BuiltDataFolder())) {
    SCOPED_TRACE(name);
    const Outcome one = call(1);
    EXPECT_GE(std::count_if(one.status.begin(), one.status.end(),
                            [](std::int32_t s) { return s != 0; }),
              20);
    for (const unsigned threads : {2u, 3u, 0u}) EXPECT_TRUE(call(threads) == one) << threads;
  }
}

// The chunks of the one splitting rule: contiguous, covering the array once, starting on
// superblocks, run on no more threads than asked for, all on the caller's below the threshold.
TEST(ArrayThreads, ChunksCoverTheArrayOnSuperblockBoundaries) {
  using lantrel::detail::kParallelThreshold;
  const struct {
    std::size_t count;
    unsigned threads;
  } cases[] = {
      {kParallelThreshold - 1, 4}, {kParallelThreshold, 1}, {kParallelThreshold, 2},
      {kPoints, 3}, {kPoints, 0}, {kParallelThreshold + 1, 100000}, {1000000, 7},
  };
  for (const auto& c : cases) {
    std::mutex m;
    std::vector<std::pair<std::size_t, std::size_t>> seen;
    std::vector<std::thread::id> ran;
    lantrel::detail::RunInChunks(c.count, c.threads, nullptr,
                                 [&](std::size_t begin, std::size_t end, PointErrors*) {
                                   const std::lock_guard<std::mutex> lock(m);
                                   seen.emplace_back(begin, end);
                                   ran.push_back(std::this_thread::get_id());
                                 });
    std::sort(seen.begin(), seen.end());
    std::sort(ran.begin(), ran.end());
    ran.erase(std::unique(ran.begin(), ran.end()), ran.end());
    SCOPED_TRACE(c.count);
    if (c.count < kParallelThreshold || c.threads == 1) {
      EXPECT_EQ(seen.size(), 1u);
      EXPECT_EQ(ran, std::vector<std::thread::id>{std::this_thread::get_id()});
    }
    EXPECT_LE(ran.size(), c.threads == 0 ? lantrel::detail::kMaxArrayThreads : c.threads);
    std::size_t next = 0;
    for (const auto& [begin, end] : seen) {
      EXPECT_EQ(begin, next);
      EXPECT_EQ(begin % lantrel::detail::kChunkAlignment, 0u);
      EXPECT_LT(begin, end);
      next = end;
    }
    EXPECT_EQ(next, c.count);
  }
}

// What a chunk throws reaches the caller, whichever chunk it is; the other chunks' records
// join the list in point order with their indices in the whole array.
TEST(ArrayThreads, AWorkerExceptionReachesTheCaller) {
  const std::size_t size = lantrel::detail::ChunkSize(kPoints, 3);
  const std::size_t chunks = (kPoints + size - 1) / size;
  ASSERT_GT(chunks, 2u);
  for (const std::size_t throwing : {std::size_t{0}, std::size_t{1}, chunks - 1}) {
    const auto run = [&](std::size_t begin, std::size_t, PointErrors*) {
      if (begin / size == throwing) {
        throw std::runtime_error("chunk failed");
      }
    };
    EXPECT_THROW(lantrel::detail::RunInChunks(kPoints, 3, nullptr, run), std::runtime_error)
        << throwing;
  }
  PointErrors errors;
  lantrel::detail::RunInChunks(kPoints, 3, &errors,
                               [](std::size_t begin, std::size_t end, PointErrors* e) {
                                 e->Add(begin, 5, "s", "first");
                                 e->Add(end - 1, 5, "s", "last");
                               });
  ASSERT_EQ(errors.size(), 2 * chunks);
  for (std::size_t k = 1; k < errors.size(); ++k) EXPECT_LT(errors[k - 1].index, errors[k].index);
  EXPECT_EQ(errors[0].index, 0u);
  EXPECT_EQ(errors[errors.size() - 1].index, kPoints - 1);
}

}  // namespace
