// The server's connection threads: one per open connection, made on demand up to a limit.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace lantrel::cli::serve {

/// Runs each enqueued job (one connection's whole keep-alive life) on a thread of its own while
/// fewer than `limit` exist; beyond the limit jobs wait their turn. A thread that finished its
/// job takes the next waiting one or sleeps until one comes.
class ConnectionThreads {
 public:
  explicit ConnectionThreads(std::size_t limit) : limit_(limit) {}
  ~ConnectionThreads() { Shutdown(); }
  ConnectionThreads(const ConnectionThreads&) = delete;
  ConnectionThreads& operator=(const ConnectionThreads&) = delete;

  void Enqueue(std::function<void()> job);
  /// Runs the jobs already waiting, then joins every thread. Idempotent.
  void Shutdown();

 private:
  void Work();

  std::size_t limit_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> jobs_;
  std::vector<std::thread> threads_;
  std::size_t idle_ = 0;
  bool stopping_ = false;
};

}  // namespace lantrel::cli::serve
