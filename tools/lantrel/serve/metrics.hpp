// Request counters and latency, written in the Prometheus text format at /metrics.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace lantrel::cli::serve {

/// The routes counted apart; anything else is "other".
enum class Route { Point, Convert, Locate, Layers, Files, OpenApi, Health, Metrics, Static, Other };
inline constexpr std::size_t kRouteCount = 10;

class Metrics {
 public:
  /// Upper bounds of the latency buckets, seconds.
  static constexpr std::array<double, 10> kBuckets{0.0005, 0.001, 0.0025, 0.005, 0.01,
                                                   0.025,  0.05,  0.1,    0.5,   2.5};

  void Record(Route route, int status, double seconds);
  /// Points converted or located by the batch routes.
  void AddPoints(std::uint64_t n) { points_.fetch_add(n, std::memory_order_relaxed); }
  std::string Text() const;

 private:
  struct PerRoute {
    std::array<std::atomic<std::uint64_t>, 5> byClass{};  // 1xx..5xx
    std::array<std::atomic<std::uint64_t>, kBuckets.size()> buckets{};
    std::atomic<std::uint64_t> count{0};
    std::atomic<std::uint64_t> microseconds{0};
  };
  std::array<PerRoute, kRouteCount> routes_{};
  std::atomic<std::uint64_t> points_{0};
};

std::string_view RouteName(Route r);

}  // namespace lantrel::cli::serve
