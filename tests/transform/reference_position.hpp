// The oracle of the array conversion: a new ZrGeoPosition per point, driven through the lets
// and Convert exactly as a host would, and the systems and points the tests sweep.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "lantrel/lantrel.hpp"

namespace lantrel::testing {

/// Outcome of one point: status (0, 4 or an error number) and the pair read back.
struct PointOutcome {
  std::int32_t status = 0;
  double x = 0.0;
  double y = 0.0;
};

/// Equal statuses and bit-identical coordinates (NaN outputs are compared as NaN).
inline bool SameOutcome(const PointOutcome& a, const PointOutcome& b) {
  const auto same = [](double u, double v) {
    return (std::isnan(u) && std::isnan(v)) ||
           std::bit_cast<std::uint64_t>(u) == std::bit_cast<std::uint64_t>(v);
  };
  return a.status == b.status && same(a.x, b.x) && same(a.y, b.y);
}

inline std::string Describe(const CoordinateSystem& s) {
  return "(" + std::to_string(s.ProjectionCode()) + "," + std::to_string(s.DatumCode()) + "," +
         std::to_string(s.UnitsCode()) + ")";
}

/// A new position labelled `s` holding the lets (x, y).
inline void Label(ZrGeoPosition& p, const CoordinateSystem& s, bool westPositive, double x,
                  double y) {
  p.Projection(s.projection);
  p.Datum(s.datum);
  p.Units(s.units);
  p.WestPositive(westPositive);
  p.x(x);
  p.y(y);
}

/// What a new position gives for (x, y) in `from` converted to `to`.
inline PointOutcome ReferenceConvert(const CoordinateSystem& from, const CoordinateSystem& to,
                                     bool westPositive, double x, double y) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  ZrGeoPosition p;
  Label(p, from, westPositive, x, y);
  std::int32_t d = to.DatumCode(), pr = to.ProjectionCode(), u = to.UnitsCode();
  try {
    const std::int32_t rc = p.Convert(&d, &pr, &u);
    if (rc != 0) return {rc, nan, nan};
    return {0, p.x(), p.y()};
  } catch (const Error& e) {
    return {e.number(), nan, nan};
  }
}

/// What a new position reads as ScaleFactor (x) and Convergence (y) at (x, y) in `s`.
inline PointOutcome ReferenceFactors(const CoordinateSystem& s, double x, double y) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  ZrGeoPosition p;
  Label(p, s, true, x, y);
  try {
    const double k = p.ScaleFactor();
    const double gamma = p.Convergence();
    return {0, k, gamma};
  } catch (const Error& e) {
    return {e.number(), nan, nan};
  }
}

/// Every system a transformer accepts: each zone record in each linear unit, and geographic
/// degrees on both datums.
inline std::vector<CoordinateSystem> AllSystems() {
  std::vector<CoordinateSystem> systems;
  for (std::int32_t p = 0; p <= 15; ++p) {
    for (std::int32_t d = 0; d <= 1; ++d) {
      if (p == 6 || (p == 0 && d == 1)) continue;
      if (p == 5) {
        systems.push_back({p, d, 0});
        continue;
      }
      for (std::int32_t u = 1; u <= 5; ++u) systems.push_back({p, d, u});
    }
  }
  return systems;
}

/// Geographic test points (west-positive longitude, latitude): the window's corners and edges
/// (inside and just outside), random points inside, and points outside the window.
inline std::vector<Pair> GeographicPoints(std::size_t randomCount, std::uint64_t seed = 9) {
  std::vector<Pair> pts = {
      {81.5, 36.0},  {90.0, 39.5},  {81.5, 39.5},  {90.0, 36.0},  {85.75, 37.5},
      {81.49999, 37.0}, {90.00001, 37.0}, {85.0, 35.99999}, {85.0, 39.50001},
      {80.0, 37.5},  {95.0, 30.0},  {84.25, 37.5},
  };
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> lon(81.5, 90.0), lat(36.0, 39.5);
  for (std::size_t i = 0; i < randomCount; ++i) pts.push_back({lon(rng), lat(rng)});
  return pts;
}

/// Inputs no conversion should accept quietly: NaN, infinities, huge and signed values.
inline std::vector<Pair> HostileInputs() {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double inf = std::numeric_limits<double>::infinity();
  constexpr double big = std::numeric_limits<double>::max();
  return {{nan, 37.0}, {85.0, nan}, {nan, nan}, {inf, 37.0}, {85.0, -inf}, {-inf, inf},
          {big, 1.0},  {1.0, big},  {1e300, -1e300}, {1e15, 4150000.0}, {500000.0, 1e15},
          {500000.0, 10002000.0}, {0.0, 0.0}, {-0.0, -0.0}, {-85.0, 37.0}, {-500000, -4e6},
          {5e-324, -5e-324}, {180.0, 90.0}, {-180.0, -90.0}};
}

/// `geo` expressed in `s` through a position (NaN when that conversion fails), so plane
/// systems get realistic plane inputs.
inline Pair InSystem(const CoordinateSystem& s, Pair geo) {
  const PointOutcome o = ReferenceConvert({5, s.DatumCode(), 0}, s, true, geo.x, geo.y);
  return {o.x, o.y};
}

}  // namespace lantrel::testing
