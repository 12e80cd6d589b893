#include "serve/connection_threads.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace lantrel::cli::serve {
namespace {

using namespace std::chrono_literals;

// Connections arriving together while a thread sleeps must each get a thread of their own: a
// connection is a job that lasts until the client goes, so one left waiting in the queue
// would stall for a whole keep-alive.
TEST(ConnectionThreads, ConnectionsArrivingTogetherAllRunAtOnce) {
  for (const int arriving : {2, 3, 8}) {
    ConnectionThreads threads(16);
    std::mutex m;
    std::condition_variable cv;
    int running = 0;
    bool release = false;
    threads.Enqueue([&] {
      std::lock_guard<std::mutex> lock(m);
      ++running;
      cv.notify_all();
    });
    {
      std::unique_lock<std::mutex> lock(m);
      ASSERT_TRUE(cv.wait_for(lock, 5s, [&] { return running == 1; }));
      running = 0;
    }
    std::this_thread::sleep_for(20ms);  // the first thread is asleep again
    for (int i = 0; i < arriving; ++i) {
      threads.Enqueue([&] {
        std::unique_lock<std::mutex> lock(m);
        ++running;
        cv.notify_all();
        cv.wait(lock, [&] { return release; });
      });
    }
    std::unique_lock<std::mutex> lock(m);
    EXPECT_TRUE(cv.wait_for(lock, 5s, [&] { return running == arriving; }))
        << running << " of " << arriving << " connections running";
    release = true;
    cv.notify_all();
    lock.unlock();
    threads.Shutdown();
  }
}

// Beyond the limit connections wait their turn and still all run.
TEST(ConnectionThreads, JobsBeyondTheLimitWaitTheirTurn) {
  std::mutex m;
  int done = 0;
  {
    ConnectionThreads threads(2);
    for (int i = 0; i < 50; ++i) {
      threads.Enqueue([&] {
        std::lock_guard<std::mutex> lock(m);
        ++done;
      });
    }
  }
  EXPECT_EQ(done, 50);
}

}  // namespace
}  // namespace lantrel::cli::serve
