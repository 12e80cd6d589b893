#include "serve/workers.hpp"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace lantrel::cli::serve {

std::size_t WorkersFor(std::size_t items, std::size_t perWorker) {
  constexpr std::size_t kMaxWorkers = 8;
  const std::size_t cores = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMaxWorkers);
  return std::clamp<std::size_t>(items / std::max<std::size_t>(perWorker, 1), 1, cores);
}

void OnWorkers(std::size_t workers, const std::function<void(std::size_t)>& work) {
  std::vector<std::exception_ptr> errors(workers);
  const auto run = [&](std::size_t w) {
    try {
      work(w);
    } catch (...) {
      errors[w] = std::current_exception();
    }
  };
  std::vector<std::thread> threads;
  threads.reserve(workers);
  try {
    for (std::size_t w = 1; w < workers; ++w) threads.emplace_back(run, w);
  } catch (const std::system_error&) {
    // No thread to be had: the calling thread does the remaining ranges itself.
  }
  run(0);
  for (std::size_t w = threads.size() + 1; w < workers; ++w) run(w);
  for (auto& t : threads) t.join();
  for (const auto& e : errors) {
    if (e) std::rethrow_exception(e);
  }
}

}  // namespace lantrel::cli::serve
