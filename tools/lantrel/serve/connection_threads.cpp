#include "serve/connection_threads.hpp"

#include <utility>

namespace lantrel::cli::serve {

void ConnectionThreads::Enqueue(std::function<void()> job) {
  std::unique_lock<std::mutex> lock(mutex_);
  jobs_.push_back(std::move(job));
  // A sleeping thread that was woken still counts as idle until it takes its job, so the jobs
  // waiting are compared with the sleepers, not "is anyone asleep": two connections arriving
  // while one thread sleeps need a second thread, or the second waits for a whole keep-alive.
  if (jobs_.size() > idle_ && threads_.size() < limit_) {
    threads_.emplace_back([this] { Work(); });
  } else {
    ready_.notify_one();
  }
}

void ConnectionThreads::Shutdown() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_ && threads_.empty()) return;
    stopping_ = true;
  }
  ready_.notify_all();
  for (auto& t : threads_) {
    if (t.joinable()) t.join();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  threads_.clear();
}

void ConnectionThreads::Work() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      ++idle_;
      ready_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      --idle_;
      if (jobs_.empty()) return;  // stopping, nothing left
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job();
  }
}

}  // namespace lantrel::cli::serve
