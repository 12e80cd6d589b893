// The batch lookup against a position holding the same point: answers, counts and errors on
// the built data file and on hand-made files, the C interface's argument errors, and one
// locator shared by several threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <thread>

#include "lantrel/lantrel.h"
#include "lantrel/lantrel.hpp"
#include "refdata/reference_data.hpp"
#include "refdata/refdata_files.hpp"

namespace {

using lantrel::Location;
using lantrel::Locator;
using lantrel::Pair;
using refdata_test::FileContents;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// What a new position with the point reports: first names, counts, or the error number.
struct Report {
  std::string state, county, quad;
  std::int32_t stateCount = 0, countyCount = 0, quadCount = 0, error = 0;
  bool operator==(const Report&) const = default;
};

std::ostream& operator<<(std::ostream& o, const Report& r) {
  return o << "{" << r.state << "/" << r.stateCount << ", " << r.county << "/" << r.countyCount
           << ", " << r.quad << "/" << r.quadCount << ", error " << r.error << "}";
}

Report FromPosition(const std::string& folder, double lon, double lat, std::int32_t datum) {
  lantrel::ZrGeoPosition p;
  p.SetPath(folder);
  Report r;
  try {
    p.Datum(datum);
    p.x(lon);
    p.y(lat);
    r.stateCount = p.StateCount();
    r.state = p.StateName(0);
    r.countyCount = p.CountyCount();
    r.county = p.CountyName(0);
    r.quadCount = p.QuadCount();
    r.quad = p.QuadName(0);
  } catch (const lantrel::Error& e) {
    r = Report{};
    r.error = e.number();
  }
  return r;
}

Report FromLocation(const Locator& l, const Location& at, std::int32_t status) {
  Report r;
  r.error = status;
  r.stateCount = at.stateCount;
  r.countyCount = at.countyCount;
  r.quadCount = at.quadCount;
  if (at.state >= 0) r.state = l.StateName(at.state);
  if (at.county >= 0) r.county = l.CountyName(at.county);
  if (at.quad >= 0) r.quad = l.QuadName(at.quad);
  return r;
}

// Points that exercise every branch: vertices and edge midpoints of the outlines, quadrangle
// corners and edges, the window's bounds, both signs of longitude, and values that are not
// numbers or not finite.
std::vector<Pair> ProbePoints(const lantrel::detail::ReferenceData& d, std::size_t randomCount) {
  std::vector<Pair> points = {{85, 37.5},  {-85, 37.5}, {81.5, 36.0},  {90.0, 39.5},
                              {90.000001, 37}, {85, 35.999999}, {0, 0}, {-0.0, -0.0},
                              {kNaN, 37},  {85, kNaN},  {kInf, 37},  {-kInf, 37},
                              {85, kInf},  {1e300, 1e300}};
  const std::size_t step = std::max<std::size_t>(1, d.vertexIndexList.size() / 2000);
  for (std::size_t k = 0; k + 1 < d.vertexIndexList.size(); k += step) {
    const auto a = static_cast<std::size_t>(d.vertexIndexList[k]);
    const auto b = static_cast<std::size_t>(d.vertexIndexList[k + 1]);
    if (a >= d.vertexList.size() || b >= d.vertexList.size()) continue;
    const Pair v = d.vertexList[a], w = d.vertexList[b];
    points.push_back(v);
    points.push_back({-v.x, v.y});
    points.push_back({(v.x + w.x) / 2, (v.y + w.y) / 2});
  }
  const std::size_t quadStep = std::max<std::size_t>(1, d.quads.size() / 300);
  for (std::size_t i = 0; i < d.quads.size(); i += quadStep) {
    const auto& q = d.quads[i];
    points.push_back({q.XMin, q.YMin});
    points.push_back({q.XMax, (q.YMin + q.YMax) / 2});
    points.push_back({(q.XMin + q.XMax) / 2, q.YMax});
  }
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> x(81.4, 90.1), y(35.9, 39.6);
  for (std::size_t i = 0; i < randomCount; ++i) points.push_back({x(rng), y(rng)});
  return points;
}

TEST(Locator, AnswersAsAPositionOnTheBuiltFile) {
  REQUIRE_BUILT_DATA(folder);
  const Locator locator(folder + "lantrel.bin");
  const auto data = lantrel::detail::LoadReferenceData(folder + "lantrel.bin");
  const auto points = ProbePoints(*data, 3000);
  std::vector<double> lon, lat;
  for (const Pair p : points) {
    lon.push_back(p.x);
    lat.push_back(p.y);
  }
  for (const std::int32_t datum : {0, 1}) {
    std::vector<Location> out(points.size());
    std::vector<std::int32_t> status(points.size(), -1);
    locator.Locate(points.size(), lon.data(), lat.data(), datum, out.data(), status.data());
    for (std::size_t i = 0; i < points.size(); ++i) {
      const Report expected = FromPosition(folder, lon[i], lat[i], datum);
      ASSERT_EQ(FromLocation(locator, out[i], status[i]), expected)
          << "datum " << datum << " at " << lon[i] << ", " << lat[i];
    }
  }
}

// Hand-made file with a vertex so large that edge arithmetic overflows: the per-point status
// carries the position's error, and the other points are still answered.
FileContents OverflowingFile() {
  FileContents f;
  f.states.push_back(f.Outline(21, "Home", {{83, 37}, {85, 37}, {85, 38}, {83, 38}, {83, 37}}));
  f.states.push_back(f.Outline(21, "Home", {{86, 37}, {1.7e308, 36.2}, {-1.7e308, 38}, {86, 37}}));
  f.counties.push_back(f.Outline(1, "East", {{83, 37}, {85, 37}, {85, 38}, {83, 38}, {83, 37}}));
  f.quads.push_back({"Q", "KY", "t", 85.0, 83.0, 38.0, 37.0});
  return f;
}

TEST(Locator, PointErrorsMatchThePositionAndSpareTheOthers) {
  refdata_test::TempFolder folder;
  folder.Write(OverflowingFile().Bytes());
  const Locator locator(folder.File());
  const std::vector<double> lon = {84, 86.5, -84, 89.9};
  const std::vector<double> lat = {37.5, 37.2, 37.5, 37.5};
  std::vector<Location> out(lon.size());
  std::vector<std::int32_t> status(lon.size(), -1);
  for (const std::int32_t datum : {0, 1}) {
    locator.Locate(lon.size(), lon.data(), lat.data(), datum, out.data(), status.data());
    for (std::size_t i = 0; i < lon.size(); ++i) {
      EXPECT_EQ(FromLocation(locator, out[i], status[i]),
                FromPosition(folder.Folder(), lon[i], lat[i], datum))
          << i;
    }
  }
  EXPECT_EQ(status[0], 0);
  EXPECT_NE(status[1], 0);
  EXPECT_EQ(out[1].state, -1);
}

TEST(Locator, RecordsAndErrors) {
  refdata_test::TempFolder folder;
  folder.Write(OverflowingFile().Bytes());
  const Locator locator(folder.File());
  EXPECT_EQ(locator.Size(lantrel::LocatorTable::States), 2);
  EXPECT_EQ(locator.Size(lantrel::LocatorTable::Counties), 1);
  EXPECT_EQ(locator.Size(lantrel::LocatorTable::Quads), 1);
  EXPECT_EQ(locator.CountySPZone(0), "South");
  EXPECT_EQ(locator.QuadTile(0), "t");
  const auto errorOf = [](auto&& f) {
    try {
      f();
    } catch (const lantrel::Error& e) {
      return e.number();
    }
    return 0;
  };
  EXPECT_EQ(errorOf([&] { locator.StateName(2); }), 9);
  EXPECT_EQ(errorOf([&] { locator.QuadName(-1); }), 9);
  EXPECT_EQ(errorOf([&] { locator.Locate(84, 37.5, 2); }), lantrel::errc::InvalidDatum);
  EXPECT_EQ(errorOf([&] { Locator("/nonexistent/lantrel.bin"); }), lantrel::errc::DataNotLoaded);
  std::vector<double> one = {84};
  std::vector<Location> out(2);
  std::vector<std::int32_t> status(2);
  EXPECT_EQ(errorOf([&] {
              locator.Locate(std::span<const double>(one), std::span<const double>(one), 0,
                             std::span<Location>(out), std::span<std::int32_t>(status));
            }),
            5);
}

// Every outline drawn from the file is closed, lies in its bounds, and contains the points the
// lookup places in it; the box search finds the record of a point inside its box; the C
// interface gives the same points.
TEST(Locator, OutlinesMatchTheLookup) {
  REQUIRE_BUILT_DATA(folder);
  const Locator locator(folder + "lantrel.bin");
  lantrel_locator* c = nullptr;
  ASSERT_EQ(lantrel_locator_create((folder + "lantrel.bin").c_str(), &c), 0);
  for (const auto table : {lantrel::LocatorTable::States, lantrel::LocatorTable::Counties,
                           lantrel::LocatorTable::Quads}) {
    for (std::int32_t i = 0; i < locator.Size(table); ++i) {
      const auto ring = locator.Outline(table, i);
      const auto b = locator.Bounds(table, i);
      ASSERT_GE(ring.size(), 4u);
      EXPECT_EQ(ring.front(), ring.back());
      for (const Pair p : ring) {
        ASSERT_TRUE(p.x >= b.xMin && p.x <= b.xMax && p.y >= b.yMin && p.y <= b.yMax) << i;
      }
      const Pair mid{(b.xMin + b.xMax) / 2, (b.yMin + b.yMax) / 2};
      const auto found = locator.RecordsMeeting(table, {mid.x, mid.x, mid.y, mid.y});
      EXPECT_NE(std::find(found.begin(), found.end(), i), found.end());
      std::size_t n = 0;
      ASSERT_EQ(lantrel_locator_outline(c, static_cast<int>(table), i, nullptr, nullptr, 0, &n), 0);
      std::vector<double> x(n), y(n);
      ASSERT_EQ(lantrel_locator_outline(c, static_cast<int>(table), i, x.data(), y.data(), n, &n), 0);
      ASSERT_EQ(n, ring.size());
      EXPECT_TRUE(x.back() == ring.back().x && y.front() == ring.front().y);
    }
  }
  // A county's outline holds the point the lookup puts in that county (Fayette, Lexington).
  const Location at = locator.Locate(84.5, 38.05);
  ASSERT_GE(at.county, 0);
  const auto ring = locator.Outline(lantrel::LocatorTable::Counties, at.county);
  bool inside = false;
  for (std::size_t k = 1; k < ring.size(); ++k) {
    const Pair a = ring[k - 1], b = ring[k];
    if ((a.y > 38.05) != (b.y > 38.05) && 84.5 < a.x + (38.05 - a.y) * (b.x - a.x) / (b.y - a.y)) {
      inside = !inside;
    }
  }
  EXPECT_TRUE(inside);
  const auto errorOf = [&](auto&& f) {
    try {
      f();
    } catch (const lantrel::Error& e) {
      return e.number();
    }
    return 0;
  };
  EXPECT_EQ(errorOf([&] { locator.Outline(lantrel::LocatorTable::Quads, -1); }), 9);
  EXPECT_EQ(errorOf([&] { locator.Bounds(static_cast<lantrel::LocatorTable>(3), 0); }), 5);
  std::size_t n = 0;
  EXPECT_EQ(lantrel_locator_outline(c, 1, 0, nullptr, nullptr, 1000000, &n), 5);
  EXPECT_EQ(lantrel_locator_records_meeting(c, 7, 0, 0, 0, 0, nullptr, 0, &n), 5);
  std::int32_t verified = -1;
  EXPECT_EQ(lantrel_locator_data_verified(c, &verified), 0);
  EXPECT_EQ(verified, locator.DataVerified() ? 1 : 0);
  lantrel_locator_release(c);
}

// ---- C interface --------------------------------------------------------------------------

TEST(LocatorC, CreateErrors) {
  lantrel_locator* l = reinterpret_cast<lantrel_locator*>(1);
  EXPECT_EQ(lantrel_locator_create("/nonexistent/folder/lantrel.bin", &l),
            LANTREL_E_DATA_NOT_LOADED);
  EXPECT_EQ(l, nullptr);
  EXPECT_EQ(std::string(lantrel_last_error_description()),
            "lantrel has not been initialized.\r\nCould not connect to lantrel.bin.\r\n"
            "Location functionality is not available.");
  EXPECT_EQ(lantrel_locator_create("x", nullptr), LANTREL_E_INVALID_ARGUMENT);

  refdata_test::TempFolder folder;
  auto bytes = OverflowingFile().Bytes();
  bytes.resize(bytes.size() - 3);  // ends inside the last vertex
  folder.Write(bytes);
  EXPECT_EQ(lantrel_locator_create(folder.File().c_str(), &l), 62);
  EXPECT_EQ(l, nullptr);
  EXPECT_NE(std::string(lantrel_last_error_description()).find("lantrel.bin"), std::string::npos);
  EXPECT_EQ(lantrel_locator_create(folder.Folder().c_str(), &l), 75);  // a folder, not a file
  lantrel_locator_release(nullptr);
}

TEST(LocatorC, ArgumentErrorsAndResults) {
  refdata_test::TempFolder folder;
  folder.Write(OverflowingFile().Bytes());
  lantrel_locator* l = nullptr;
  ASSERT_EQ(lantrel_locator_create(folder.File().c_str(), &l), 0);
  const double lon[] = {-84, 86.5, 10};
  const double lat[] = {37.5, 37.2, 10};
  lantrel_location out[3];
  int32_t status[3];
  EXPECT_EQ(lantrel_locator_locate(nullptr, 3, lon, lat, 0, out, status), LANTREL_E_OBJECT_NOT_SET);
  EXPECT_EQ(lantrel_locator_locate(l, 3, nullptr, lat, 0, out, status), LANTREL_E_INVALID_ARGUMENT);
  EXPECT_EQ(lantrel_locator_locate(l, 3, lon, nullptr, 0, out, status), LANTREL_E_INVALID_ARGUMENT);
  EXPECT_EQ(lantrel_locator_locate(l, 3, lon, lat, 0, nullptr, status), LANTREL_E_INVALID_ARGUMENT);
  EXPECT_EQ(lantrel_locator_locate(l, 3, lon, lat, 0, out, nullptr), LANTREL_E_INVALID_ARGUMENT);
  EXPECT_EQ(lantrel_locator_locate(l, 0, nullptr, nullptr, 0, nullptr, nullptr), 0);
  EXPECT_EQ(lantrel_locator_locate(l, 3, lon, lat, 2, out, status), LANTREL_E_INVALID_DATUM);
  EXPECT_EQ(lantrel_locator_locate(l, 3, lon, lat, -1, out, status), LANTREL_E_INVALID_DATUM);
  ASSERT_EQ(lantrel_locator_locate(l, 3, lon, lat, 0, out, status), 0);
  EXPECT_EQ(lantrel_last_error_number(), 0);
  EXPECT_EQ(status[0], 0);
  EXPECT_EQ(out[0].state, 0);
  EXPECT_EQ(out[0].county, 0);
  EXPECT_EQ(out[0].quad, 0);
  EXPECT_EQ(out[0].state_count, 1);
  EXPECT_NE(status[1], 0);
  EXPECT_EQ(out[1].state, -1);
  EXPECT_EQ(out[1].state_count, 0);
  EXPECT_EQ(status[2], 0);
  EXPECT_EQ(out[2].quad, -1);

  int32_t n = -1;
  EXPECT_EQ(lantrel_locator_size(l, 0, &n), 0);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(lantrel_locator_size(l, 2, &n), 0);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(lantrel_locator_size(l, 3, &n), LANTREL_E_INVALID_ARGUMENT);
  EXPECT_EQ(lantrel_locator_size(l, 0, nullptr), LANTREL_E_INVALID_ARGUMENT);
  EXPECT_EQ(lantrel_locator_size(nullptr, 0, &n), LANTREL_E_OBJECT_NOT_SET);

  const char* name = "x";
  const char* zone = "x";
  const char* tile = "x";
  const char* state = "x";
  int32_t fips = -1;
  EXPECT_EQ(lantrel_locator_state(l, 2, &name, &fips), LANTREL_E_SUBSCRIPT);
  EXPECT_EQ(name, nullptr);
  EXPECT_EQ(lantrel_locator_county(l, -1, &name, &fips, &zone), LANTREL_E_SUBSCRIPT);
  EXPECT_EQ(zone, nullptr);
  EXPECT_EQ(lantrel_locator_quad(l, 1, &name, &tile, &state), LANTREL_E_SUBSCRIPT);
  EXPECT_EQ(lantrel_locator_state(l, 1, &name, &fips), 0);
  EXPECT_STREQ(name, "Home");
  EXPECT_EQ(fips, 21);
  EXPECT_EQ(lantrel_locator_county(l, 0, &name, &fips, &zone), 0);
  EXPECT_STREQ(name, "East");
  EXPECT_EQ(fips, 1);
  EXPECT_STREQ(zone, "South");
  EXPECT_EQ(lantrel_locator_county(l, 0, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(lantrel_locator_quad(l, 0, &name, &tile, &state), 0);
  EXPECT_STREQ(name, "Q");
  EXPECT_STREQ(tile, "t");
  EXPECT_STREQ(state, "KY");
  lantrel_locator_release(l);
}

TEST(LocatorC, NoFileNamedUsesTheDefaultSearch) {
  const bool found = !lantrel::DefaultDataFile().empty();
  for (const char* name : {static_cast<const char*>(nullptr), ""}) {
    lantrel_locator* l = nullptr;
    EXPECT_EQ(lantrel_locator_create(name, &l), found ? 0 : LANTREL_E_DATA_NOT_LOADED);
    EXPECT_EQ(l != nullptr, found);
    lantrel_locator_release(l);
  }
}

// ---- threads ------------------------------------------------------------------------------

TEST(LocatorThreads, OneLocatorSharedByThreadsGivesTheSameAnswers) {
  REQUIRE_BUILT_DATA(folder);
  const Locator locator(folder + "lantrel.bin");
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> x(81.4, 90.1), y(35.9, 39.6);
  constexpr std::size_t kPoints = 20000;
  std::vector<double> lon(kPoints), lat(kPoints);
  for (std::size_t i = 0; i < kPoints; ++i) {
    lon[i] = x(rng);
    lat[i] = y(rng);
  }
  std::vector<Location> expected(kPoints);
  std::vector<std::int32_t> expectedStatus(kPoints);
  locator.Locate(kPoints, lon.data(), lat.data(), 1, expected.data(), expectedStatus.data());

  constexpr int kThreads = 4;
  std::vector<std::vector<Location>> out(kThreads, std::vector<Location>(kPoints));
  std::vector<std::vector<std::int32_t>> status(kThreads, std::vector<std::int32_t>(kPoints));
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      locator.Locate(kPoints, lon.data(), lat.data(), 1, out[t].data(), status[t].data());
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) {
    for (std::size_t i = 0; i < kPoints; ++i) {
      ASSERT_EQ(status[t][i], expectedStatus[i]);
      ASSERT_EQ(out[t][i].state, expected[i].state);
      ASSERT_EQ(out[t][i].county, expected[i].county);
      ASSERT_EQ(out[t][i].quad, expected[i].quad);
      ASSERT_EQ(out[t][i].quadCount, expected[i].quadCount);
    }
  }
}

}  // namespace
