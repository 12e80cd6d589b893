// lantrel convert against PROJ's cs2cs on a few thousand points, for every EPSG code lantrel
// serves: forward from geographic coordinates, back to them, and across the datums through
// the NADCON CONUS grid (PROJ is pointed at the shared copy so it cannot fall back to a
// metres-off Helmert transformation).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "systems.hpp"
#include "tool_runner.hpp"

namespace lantrel::testing {
namespace {

using cli::EpsgEntry;
using P = zrGeoProjection;

#ifdef LANTREL_CS2CS
constexpr const char* kCs2cs = LANTREL_CS2CS;
#else
constexpr const char* kCs2cs = "";
#endif

struct Pt {
  double lon;  // signed, west negative
  double lat;
};

// Central meridian (degrees, signed) of the Transverse Mercator zones, 0 for Lambert zones.
double CentralMeridian(P p) {
  switch (p) {
    case P::zrUTM16: return -87.0;
    case P::zrUTM17: return -81.0;
    case P::moEastZone: return -90.5;
    case P::ilWestZone: return -(90.0 + 10.0 / 60.0);
    case P::ilEastZone: return -(88.0 + 20.0 / 60.0);
    case P::inWestZone: return -(87.0 + 5.0 / 60.0);
    case P::inEastZone: return -(85.0 + 40.0 / 60.0);
    default: return 0.0;
  }
}

// Points of the datum-shift window; Transverse Mercator zones keep within the width the
// zone's series is meant for (2 degrees of a plane zone's meridian, 3 for UTM).
std::vector<Pt> PointsFor(P projection, int count, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> lat(36.0, 39.5);
  std::uniform_real_distribution<double> lon(-90.0, -81.5);
  const double cm = CentralMeridian(projection);
  const double half = (projection == P::zrUTM16 || projection == P::zrUTM17) ? 3.0 : 2.0;
  std::vector<Pt> pts;
  while (static_cast<int>(pts.size()) < count) {
    Pt p{lon(rng), lat(rng)};
    if (cm != 0.0 && std::fabs(p.lon - cm) > half) continue;
    pts.push_back(p);
  }
  return pts;
}

// The points as input lines for lantrel (longitude first) and for cs2cs, whose geographic
// CRS take latitude first.
std::pair<std::string, std::string> LineInputs(const std::vector<Pt>& pts) {
  std::pair<std::string, std::string> inputs;
  char line[96];
  for (const auto& p : pts) {
    std::snprintf(line, sizeof line, "%.10f %.10f\n", p.lon, p.lat);
    inputs.first += line;
    std::snprintf(line, sizeof line, "%.10f %.10f\n", p.lat, p.lon);
    inputs.second += line;
  }
  return inputs;
}

std::vector<std::pair<double, double>> Numbers(const std::string& text) {
  std::vector<std::pair<double, double>> v;
  for (const auto& line : Lines(text)) {
    double a = NAN, b = NAN;
    if (std::sscanf(line.c_str(), "%lf %lf", &a, &b) != 2) {
      a = NAN;
      b = NAN;
    }
    v.emplace_back(a, b);
  }
  return v;
}

std::string ProjData() {
  std::string dirs = "/usr/share/proj";
  if (const char* d = std::getenv("PROJ_DATA")) dirs = d;
  return dirs + ":" + std::string(LANTREL_DATA_SOURCES) + "/nadcon";
}

RunResult Cs2cs(const std::vector<std::string>& args, const std::string& input) {
  RunRequest request;
  request.program = kCs2cs;
  request.args = args;
  request.input = input;
  request.env = {{"PROJ_DATA", ProjData()}, {"PROJ_LIB", ProjData()}, {"PROJ_NETWORK", "OFF"}};
  return RunTool(request);
}

class PeerAgreement : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(kCs2cs).empty()) GTEST_SKIP() << "cs2cs (Debian proj-bin) is not installed";
    LANTREL_REQUIRE(LibraryProjects(), "plane projections");
  }
};

// Tolerances: a millimetre on the ground either way, 1e-9 degree (about 0.1 mm) for angles.
double LinearTolerance(zrGeoUnits u) { return u == zrGeoUnits::zrUSFt ? 0.0033 : 0.001; }

TEST_F(PeerAgreement, EveryEpsgCodeForwardAndBack) {
  int compared = 0;
  for (const EpsgEntry& e : cli::EpsgTable()) {
    if (e.projection == P::zrGeographic) continue;
    SCOPED_TRACE("EPSG:" + std::to_string(e.code));
    const auto pts = PointsFor(e.projection, 80, static_cast<unsigned>(e.code));
    const auto [ours, theirs] = LineInputs(pts);
    const std::string datum = e.datum == zrGeoDatum::zrNAD27 ? "4267" : "4269";
    const std::string code = "EPSG:" + std::to_string(e.code);
    const auto a = RunTool({"convert", "-f", "EPSG:" + datum, "-t", code, "-p", "6"}, ours);
    ASSERT_EQ(a.status, 0) << a.err;
    const auto b = Cs2cs({"-f", "%.6f", "EPSG:" + datum, code}, theirs);
    ASSERT_EQ(b.status, 0) << b.err;
    const auto av = Numbers(a.out);
    const auto bv = Numbers(b.out);
    ASSERT_EQ(av.size(), pts.size());
    ASSERT_EQ(bv.size(), pts.size());
    const double tol = LinearTolerance(e.units);
    for (std::size_t i = 0; i < pts.size(); ++i) {
      EXPECT_NEAR(av[i].first, bv[i].first, tol) << pts[i].lon << " " << pts[i].lat;
      EXPECT_NEAR(av[i].second, bv[i].second, tol) << pts[i].lon << " " << pts[i].lat;
      ++compared;
    }
    // Back to geographic from PROJ's plane coordinates. Points far west of a zone with a
    // small false easting have negative eastings there; those are refused (the position
    // would take them as their magnitude) and reported, the others come back.
    const auto back = RunTool({"convert", "-f", code, "-t", "EPSG:" + datum}, b.out);
    const auto cv = Numbers(back.out);
    ASSERT_EQ(cv.size(), pts.size());
    std::size_t refused = 0;
    for (std::size_t i = 0; i < pts.size(); ++i) {
      if (bv[i].first < 0.0) {
        ++refused;
        EXPECT_TRUE(std::isnan(cv[i].first)) << "line " << i + 1;
        continue;
      }
      EXPECT_NEAR(cv[i].first, pts[i].lon, 1e-8);
      EXPECT_NEAR(cv[i].second, pts[i].lat, 1e-8);
    }
    EXPECT_EQ(back.status, refused == 0 ? 0 : 1) << back.err;
    EXPECT_EQ(Lines(back.err).size(), refused) << back.err;
  }
  EXPECT_GT(compared, 2000);
}

TEST_F(PeerAgreement, DatumShiftThroughTheNadconGrid) {
  LANTREL_REQUIRE(LibraryShiftsDatum(), "the NAD 27/NAD 83 shift");
  if (!std::filesystem::exists(std::string(LANTREL_DATA_SOURCES) + "/nadcon/us_noaa_conus.tif")) {
    FAIL() << "the NADCON CONUS grid is not in " << LANTREL_DATA_SOURCES << "/nadcon";
  }
  const auto pts = PointsFor(P::zrGeographic, 1000, 27);
  const auto [ours, theirs] = LineInputs(pts);
  for (const bool forward : {true, false}) {
    SCOPED_TRACE(forward ? "NAD 27 to NAD 83" : "NAD 83 to NAD 27");
    const std::string from = forward ? "4267" : "4269";
    const std::string to = forward ? "4269" : "4267";
    const auto a = RunTool({"convert", "-f", "EPSG:" + from, "-t", "EPSG:" + to, "-p", "10"}, ours);
    ASSERT_EQ(a.status, 0) << a.err;
    const auto b = Cs2cs({"-f", "%.10f", "EPSG:" + from, "EPSG:" + to}, theirs);
    ASSERT_EQ(b.status, 0) << b.err;
    const auto av = Numbers(a.out);
    const auto bv = Numbers(b.out);
    ASSERT_EQ(av.size(), pts.size());
    ASSERT_EQ(bv.size(), pts.size());
    for (std::size_t i = 0; i < pts.size(); ++i) {
      // PROJ writes latitude first for these codes.
      EXPECT_NEAR(av[i].first, bv[i].second, 1e-8) << pts[i].lon << " " << pts[i].lat;
      EXPECT_NEAR(av[i].second, bv[i].first, 1e-8) << pts[i].lon << " " << pts[i].lat;
    }
  }
  // Across datums and projections at once, as a surveyor would: NAD 27 north zone feet to
  // NAD 83 UTM 16 metres.
  std::string feet;
  for (const auto& p : pts) {
    if (p.lat < 37.0) continue;
    char line[96];
    std::snprintf(line, sizeof line, "%.10f %.10f\n", p.lat, p.lon);
    feet += line;
  }
  const auto nad27 = Cs2cs({"-f", "%.4f", "EPSG:4267", "EPSG:26779"}, feet);
  ASSERT_EQ(nad27.status, 0);
  const auto a = RunTool({"convert", "-f", "north/nad27/usft", "-t", "utm16/nad83/m", "-p", "4"},
                         nad27.out);
  ASSERT_EQ(a.status, 0) << a.err;
  const auto b = Cs2cs({"-f", "%.4f", "EPSG:26779", "EPSG:26916"}, nad27.out);
  const auto av = Numbers(a.out);
  const auto bv = Numbers(b.out);
  ASSERT_EQ(av.size(), bv.size());
  for (std::size_t i = 0; i < av.size(); ++i) {
    EXPECT_NEAR(av[i].first, bv[i].first, 0.002);
    EXPECT_NEAR(av[i].second, bv[i].second, 0.002);
  }
}

// An EPSG code gives the zone as defined in metres. Some US-foot codes carry a false origin
// the registry rounded to a thousandth of a foot (500,000 m written 1,640,416.667 ft instead
// of 1,640,416.6667 ft); cs2cs differs from lantrel there by exactly that rounding and agrees
// to the micrometre once it is taken off.
TEST_F(PeerAgreement, UsFootCodesDifferFromTheRegistryByItsRoundedFalseOrigin) {
  constexpr double kThird = 1640416.667 - 500000.0 * 3937.0 / 1200.0;  // +0.000333 ft
  struct Case {
    const char* code;
    double eastingOffset;   // registry false easting minus the zone's, US feet
    double northingOffset;  // same for the false northing
  } cases[] = {
      {"EPSG:2246", kThird, 0.0},     {"EPSG:2247", kThird, kThird},
      {"EPSG:3089", 0.0, -kThird},    {"EPSG:2284", kThird, -kThird},
      {"EPSG:3735", 0.0, 0.0},
  };
  const auto pts = PointsFor(P::zrNorthZone, 200, 2246u);
  const auto [ours, theirs] = LineInputs(pts);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    const auto a = RunTool({"convert", "-f", "EPSG:4269", "-t", c.code, "-p", "7"}, ours);
    ASSERT_EQ(a.status, 0) << a.err;
    const auto b = Cs2cs({"-f", "%.7f", "EPSG:4269", c.code}, theirs);
    ASSERT_EQ(b.status, 0) << b.err;
    const auto av = Numbers(a.out);
    const auto bv = Numbers(b.out);
    ASSERT_EQ(av.size(), bv.size());
    for (std::size_t i = 0; i < av.size(); ++i) {
      EXPECT_NEAR(bv[i].first - av[i].first, c.eastingOffset, 3e-5) << pts[i].lon << " " << pts[i].lat;
      EXPECT_NEAR(bv[i].second - av[i].second, c.northingOffset, 3e-5) << pts[i].lon << " " << pts[i].lat;
    }
  }
}

}  // namespace
}  // namespace lantrel::testing
