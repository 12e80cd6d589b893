// Test points for comparing lookups: uniform points of the served window, points exactly on
// outline vertices, on vertex latitudes, on or beside edges, and on quadrangle edges.
#pragma once

#include <cmath>
#include <random>
#include <vector>

#include "lantrel/pair.hpp"
#include "refdata/reference_data.hpp"

namespace refdata_test {

inline constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

enum class PointKind { Uniform, OnVertex, VertexLatitude, NearEdge, QuadLines, NearHomeBorder };

class PointSource {
 public:
  PointSource(const lantrel::detail::ReferenceData& data, std::uint64_t seed)
      : d_(data), rng_(seed) {}

  lantrel::Pair Next(PointKind kind) {
    using lantrel::Pair;
    switch (kind) {
      case PointKind::Uniform:
        return {Uniform(81.5, 90.0), Uniform(36.0, 39.5)};
      case PointKind::OnVertex:
        return AnyVertex();
      case PointKind::VertexLatitude:
        return {Uniform(81.5, 90.0), AnyVertex().y};
      case PointKind::NearEdge: {
        const auto& r = AnyRegion();
        const auto k = r.FirstVertex + static_cast<std::int32_t>(
                                           Index(static_cast<std::size_t>(r.LastVertex - r.FirstVertex)));
        const Pair a = Vertex(k), b = Vertex(k + 1);
        const double t = Uniform(0.0, 1.0);
        static constexpr double kOffsets[] = {0.0, 0.0, 1e-13, -1e-13, 1e-12, -1e-12, 2e-12, -2e-12, 1e-9};
        return {a.x + t * (b.x - a.x) + kOffsets[Index(std::size(kOffsets))], a.y + t * (b.y - a.y)};
      }
      case PointKind::QuadLines: {
        const double x = 81.5 + static_cast<double>(Index(69)) * 0.125;
        const double y = 36.0 + static_cast<double>(Index(29)) * 0.125;
        switch (Index(3)) {
          case 0: return {x, y};
          case 1: return {x, Uniform(36.0, 39.5)};
          default: return {Uniform(81.5, 90.0), y};
        }
      }
      case PointKind::NearHomeBorder: {
        const auto& r = d_.states[Index(2)];
        const auto k = r.FirstVertex + static_cast<std::int32_t>(
                                           Index(static_cast<std::size_t>(r.LastVertex - r.FirstVertex + 1)));
        const Pair v = Vertex(k);
        const double scale = std::pow(10.0, -Uniform(3.0, 8.0));
        return {v.x + Uniform(-1.0, 1.0) * scale, v.y + Uniform(-1.0, 1.0) * scale};
      }
    }
    return {};
  }

 private:
  double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
  std::size_t Index(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }
  lantrel::Pair Vertex(std::int32_t position) const {
    return d_.vertexList[static_cast<std::size_t>(d_.vertexIndexList[static_cast<std::size_t>(position)])];
  }
  lantrel::Pair AnyVertex() { return d_.vertexList[Index(d_.vertexList.size())]; }
  const lantrel::detail::RegionRecord& AnyRegion() {
    const std::size_t i = Index(d_.states.size() + d_.counties.size());
    return i < d_.states.size() ? d_.states[i] : d_.counties[i - d_.states.size()];
  }

  const lantrel::detail::ReferenceData& d_;
  std::mt19937_64 rng_;
};

}  // namespace refdata_test
