// Splitting one large request's work (a batch's numbers read, converted, written) over the
// machine's cores: each worker takes one contiguous range, so the result is the same whatever
// the number of workers.
#pragma once

#include <cstddef>
#include <functional>

namespace lantrel::cli::serve {

/// Workers for `items` items of which each worker takes at least `perWorker`: 1 up to the
/// number of cores (at most 8).
std::size_t WorkersFor(std::size_t items, std::size_t perWorker);

/// Runs work(0) .. work(workers - 1), work(0) on the calling thread and the others on threads
/// of their own; returns when all are done. The first exception a worker raised is raised
/// again here.
void OnWorkers(std::size_t workers, const std::function<void(std::size_t)>& work);

/// The first item of range w of `workers` equal ranges over n items (w = workers gives n).
inline std::size_t RangeBegin(std::size_t n, std::size_t w, std::size_t workers) {
  return static_cast<std::size_t>(static_cast<unsigned long long>(n) * w / workers);
}

}  // namespace lantrel::cli::serve
