#include "serve/metrics.hpp"

#include <cstdio>

namespace lantrel::cli::serve {

std::string_view RouteName(Route r) {
  switch (r) {
    case Route::Point: return "point";
    case Route::Convert: return "convert";
    case Route::Locate: return "locate";
    case Route::Layers: return "layers";
    case Route::Files: return "files";
    case Route::OpenApi: return "openapi";
    case Route::Health: return "healthz";
    case Route::Metrics: return "metrics";
    case Route::Static: return "static";
    case Route::Other: break;
  }
  return "other";
}

void Metrics::Record(Route route, int status, double seconds) {
  PerRoute& r = routes_[static_cast<std::size_t>(route)];
  const int cls = status / 100;
  if (cls >= 1 && cls <= 5) r.byClass[static_cast<std::size_t>(cls - 1)].fetch_add(1, std::memory_order_relaxed);
  for (std::size_t i = 0; i < kBuckets.size(); ++i) {
    if (seconds <= kBuckets[i]) r.buckets[i].fetch_add(1, std::memory_order_relaxed);
  }
  r.count.fetch_add(1, std::memory_order_relaxed);
  r.microseconds.fetch_add(static_cast<std::uint64_t>(seconds * 1e6), std::memory_order_relaxed);
}

std::string Metrics::Text() const {
  std::string out;
  char line[256];
  out += "# HELP lantrel_http_requests_total Requests answered, by route and status class.\n";
  out += "# TYPE lantrel_http_requests_total counter\n";
  for (std::size_t i = 0; i < kRouteCount; ++i) {
    const auto name = RouteName(static_cast<Route>(i));
    for (std::size_t c = 0; c < 5; ++c) {
      std::snprintf(line, sizeof line, "lantrel_http_requests_total{route=\"%.*s\",code=\"%zuxx\"} %llu\n",
                    static_cast<int>(name.size()), name.data(), c + 1,
                    static_cast<unsigned long long>(routes_[i].byClass[c].load(std::memory_order_relaxed)));
      out += line;
    }
  }
  out += "# HELP lantrel_http_request_duration_seconds Time from request to response.\n";
  out += "# TYPE lantrel_http_request_duration_seconds histogram\n";
  for (std::size_t i = 0; i < kRouteCount; ++i) {
    const auto name = RouteName(static_cast<Route>(i));
    const int n = static_cast<int>(name.size());
    for (std::size_t b = 0; b < kBuckets.size(); ++b) {
      std::snprintf(line, sizeof line,
                    "lantrel_http_request_duration_seconds_bucket{route=\"%.*s\",le=\"%g\"} %llu\n", n,
                    name.data(), kBuckets[b],
                    static_cast<unsigned long long>(routes_[i].buckets[b].load(std::memory_order_relaxed)));
      out += line;
    }
    const auto count = static_cast<unsigned long long>(routes_[i].count.load(std::memory_order_relaxed));
    std::snprintf(line, sizeof line,
                  "lantrel_http_request_duration_seconds_bucket{route=\"%.*s\",le=\"+Inf\"} %llu\n"
                  "lantrel_http_request_duration_seconds_sum{route=\"%.*s\"} %.6f\n"
                  "lantrel_http_request_duration_seconds_count{route=\"%.*s\"} %llu\n",
                  n, name.data(), count, n, name.data(),
                  static_cast<double>(routes_[i].microseconds.load(std::memory_order_relaxed)) / 1e6, n,
                  name.data(), count);
    out += line;
  }
  out += "# HELP lantrel_points_total Points converted or located by the batch routes.\n";
  out += "# TYPE lantrel_points_total counter\n";
  out += "lantrel_points_total " + std::to_string(points_.load(std::memory_order_relaxed)) + "\n";
  return out;
}

}  // namespace lantrel::cli::serve
