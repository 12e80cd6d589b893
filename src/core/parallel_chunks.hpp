// How an array call spreads its points over threads: the one rule every array entry point
// follows (the conversion, the grid factors, the locator and the Carter arrays).
//
// The points are cut into contiguous chunks whose starts fall on superblock boundaries, so
// every point meets the same block and superblock structure, and so the same operations, as
// in a run on one thread; each chunk writes only its own part of the outputs and records its
// failures in a list of its own, with the points' indices in the whole array, and the lists
// join the caller's in chunk order. The outcome is thus the same, bit for bit, whatever the
// number of threads and whichever thread takes which chunk. There are several chunks per
// thread, taken in turn by whichever thread is free: a core another program keeps busy then
// does less of the work instead of holding up the whole call. The caller's thread takes chunks
// too; the others start from clear floating-point flags. What a chunk throws reaches the caller
// after every thread has finished (the first chunk's exception first, in point order).
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <thread>
#include <vector>

#include "core/arithmetic_check.hpp"
#include "lantrel/array_threads.hpp"
#include "lantrel/point_errors.hpp"

namespace lantrel::detail {

/// Arrays shorter than this stay on the caller's thread: starting threads would cost more
/// than the points take (the public lantrel::kArrayThreadThreshold).
inline constexpr std::size_t kParallelThreshold = kArrayThreadThreshold;

/// Chunk starts are multiples of this many points (the array conversion's superblock).
inline constexpr std::size_t kChunkAlignment = 64;

/// Upper bound on the threads of one call, whatever the caller asks for.
inline constexpr unsigned kMaxArrayThreads = 256;

/// Threads a call over `count` points uses when the caller asks for `requested`: 0 asks for
/// every core, 1 for the caller's thread, N for at most N.
inline unsigned ArrayThreads(std::size_t count, unsigned requested) noexcept {
  if (count < kParallelThreshold || requested == 1) return 1;
  unsigned n = requested;
  if (n == 0) n = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t superblocks = (count + kChunkAlignment - 1) / kChunkAlignment;
  return static_cast<unsigned>(
      std::min<std::size_t>({n, kMaxArrayThreads, superblocks}));
}

/// Chunks each thread takes on average: enough for a busy core to hand work to the others.
inline constexpr std::size_t kChunksPerThread = 8;

/// Points per chunk (a multiple of kChunkAlignment, at least kParallelThreshold / 4 points; the
/// last chunk takes what is left).
inline std::size_t ChunkSize(std::size_t count, unsigned threads) noexcept {
  const std::size_t superblocks = (count + kChunkAlignment - 1) / kChunkAlignment;
  const std::size_t pieces = std::size_t{threads} * kChunksPerThread;
  const std::size_t least = kParallelThreshold / 4 / kChunkAlignment;
  return std::max((superblocks + pieces - 1) / pieces, std::max<std::size_t>(least, 1)) *
         kChunkAlignment;
}

/// Runs run(begin, end, errors) over chunks of [0, count) on up to `requested` threads (as
/// ArrayThreads counts them). `errors` is the caller's list (may be null; not cleared here):
/// each chunk gets a list of its own when it is given. A thread the system refuses to start
/// leaves its chunks to the threads that did start.
template <typename Run>
void RunInChunks(std::size_t count, unsigned requested, PointErrors* errors, Run&& run) {
  const unsigned threads = ArrayThreads(count, requested);
  if (threads <= 1) {
    run(std::size_t{0}, count, errors);
    return;
  }
  const std::size_t size = ChunkSize(count, threads);
  const std::size_t chunks = (count + size - 1) / size;
  std::vector<PointErrors> lists(errors != nullptr ? chunks : 0);
  std::vector<std::exception_ptr> failures(chunks);
  std::atomic<std::size_t> next{0};
  const auto takeChunks = [&]() noexcept {
    for (std::size_t c = next.fetch_add(1); c < chunks; c = next.fetch_add(1)) {
      try {
        const std::size_t begin = c * size;
        run(begin, std::min(count, begin + size), errors != nullptr ? &lists[c] : nullptr);
      } catch (...) {
        failures[c] = std::current_exception();
      }
    }
  };
  // Everything is allocated before the first thread starts; from then on only starting a
  // thread can fail, and the chunks it would have taken go to the others.
  std::vector<std::thread> workers;
  workers.reserve(std::min<std::size_t>(threads, chunks) - 1);
  for (std::size_t t = 1; t < threads && t < chunks; ++t) {
    try {
      workers.emplace_back([&takeChunks] {
        if (RaisedFlags() != 0) ClearFlags();
        takeChunks();
      });
    } catch (...) {
      break;
    }
  }
  takeChunks();
  for (std::thread& w : workers) w.join();
  for (const std::exception_ptr& e : failures) {
    if (e) std::rethrow_exception(e);
  }
  if (errors != nullptr) {
    for (const PointErrors& list : lists) {
      for (const PointError& e : list) errors->Add(e.index, e.number, e.source, e.description);
    }
  }
}

}  // namespace lantrel::detail
