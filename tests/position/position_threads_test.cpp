// Positions on several threads at once, one object per thread: construction (data-file
// search and load, shared tables), conversions through every family and the datum shift,
// scale factor, Carter and the location lookup give each thread the single-thread results,
// bit for bit. Also run under ThreadSanitizer, where a race in the shared tables shows.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <thread>
#include <vector>

#include "lantrel/lantrel.hpp"

namespace lantrel::testing {
namespace {

using P = zrGeoProjection;
using D = zrGeoDatum;
using U = zrGeoUnits;

struct Route {
  P fromProjection;
  D fromDatum;
  P toProjection;
  D toDatum;
  U toUnits;
};

// Everything one thread computes, as raw bits (so NaN and -0 compare exactly).
std::vector<std::uint64_t> Work(int seed) {
  const Route routes[] = {
      {P::zrGeographic, D::zrNAD83, P::zrNorthZone, D::zrNAD27, U::zrUSFt},
      {P::zrGeographic, D::zrNAD27, P::zrUTM16, D::zrNAD83, U::zrMeters},
      {P::zrGeographic, D::zrNAD83, P::zrCarter, D::zrNAD83, U::zrDecimalDegrees},
      {P::zrGeographic, D::zrNAD83, P::tnSingleZone, D::zrNAD83, U::zrKilometers},
      {P::zrGeographic, D::zrNAD83, P::inWestZone, D::zrNAD83, U::zrIntlFt},
  };
  std::vector<std::uint64_t> out;
  const auto keep = [&](double v) { out.push_back(std::bit_cast<std::uint64_t>(v)); };
  ZrGeoPosition p;  // constructed on this thread, concurrently with the others
  for (int i = 0; i < 400; ++i) {
    const Route& r = routes[static_cast<std::size_t>(i + seed) % std::size(routes)];
    const double lon = 82.0 + (i * 7 % 79) * 0.1;
    const double lat = 36.05 + (i * 11 % 34) * 0.1;
    p.Projection(r.fromProjection);
    p.Datum(r.fromDatum);
    p.x(lon);
    p.y(lat);
    std::int32_t rc = -1;
    try {
      rc = p.ConvertTo(r.toDatum, r.toProjection, r.toUnits);
      keep(p.x());
      keep(p.y());
      if (r.toProjection == P::zrCarter) {
        for (const char c : p.Carter()->LocationString(false)) out.push_back(static_cast<unsigned char>(c));
      } else if (r.toProjection != P::zrGeographic) {
        keep(p.ScaleFactor());
        keep(p.Convergence());
      }
      if (p.DataLoaded()) {
        out.push_back(static_cast<std::uint64_t>(p.CountyCount()));
        if (p.CountyCount() > 0) {
          for (const char c : p.CountyName(0)) out.push_back(static_cast<unsigned char>(c));
        }
      }
    } catch (const Error& e) {
      out.push_back(static_cast<std::uint64_t>(static_cast<std::uint32_t>(e.number())));
    }
    out.push_back(static_cast<std::uint64_t>(rc));
  }
  return out;
}

TEST(PositionThreads, OnePositionPerThreadGivesTheSingleThreadResults) {
  constexpr int kThreads = 4;
  std::vector<std::vector<std::uint64_t>> expected;
  for (int t = 0; t < kThreads; ++t) expected.push_back(Work(t));
  std::vector<std::vector<std::uint64_t>> got(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&got, t] { got[static_cast<std::size_t>(t)] = Work(t); });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(got[static_cast<std::size_t>(t)], expected[static_cast<std::size_t>(t)]) << "thread " << t;
  }
}

}  // namespace
}  // namespace lantrel::testing
