// End-to-end conversions compared with PROJ for the same EPSG systems, with PROJ pointed at
// the NOAA CONUS grid so that NAD 27 <-> NAD 83 goes through the same NADCON shifts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "lantrel/lantrel.hpp"

#if LANTREL_HAVE_PROJ
#include <proj.h>
#endif

namespace lantrel {
namespace {

#if LANTREL_HAVE_PROJ

using P = zrGeoProjection;
using D = zrGeoDatum;
using U = zrGeoUnits;

struct System {
  const char* epsg;
  D datum;
  P projection;
  U units;
};

constexpr double kUSFt = 1200.0 / 3937.0;

// Metres per unit of x and of y (geographic systems: about a metre per 1e-5 degree).
std::pair<double, double> MetresPerUnit(const System& s, double lat) {
  switch (s.units) {
    case U::zrUSFt: return {kUSFt, kUSFt};
    case U::zrDecimalDegrees: return {111320.0 * std::cos(lat * M_PI / 180.0), 111320.0};
    default: return {1.0, 1.0};
  }
}

class PeerConvert : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string grids = std::string(LANTREL_DATA_SOURCES) + "/nadcon";
    if (!std::filesystem::exists(grids + "/us_noaa_conus.tif")) {
      FAIL() << "NADCON grid not found in " << grids;
    }
    ctx_ = proj_context_create();
    proj_context_set_enable_network(ctx_, 0);
    // Keep PROJ's own folder (proj.db) and add the grid folder.
    std::vector<std::string> paths;
    std::string defaults = proj_info().searchpath;
    for (std::size_t start = 0; start <= defaults.size();) {
      const std::size_t end = defaults.find(':', start);
      const std::string part = defaults.substr(start, end == std::string::npos ? end : end - start);
      if (!part.empty()) paths.push_back(part);
      if (end == std::string::npos) break;
      start = end + 1;
    }
    paths.push_back(grids);
    std::vector<const char*> raw;
    for (const auto& p : paths) raw.push_back(p.c_str());
    proj_context_set_search_paths(ctx_, static_cast<int>(raw.size()), raw.data());
  }
  void TearDown() override {
    if (ctx_ != nullptr) proj_context_destroy(ctx_);
  }

  PJ* Operation(const System& from, const System& to) {
    PJ* raw = proj_create_crs_to_crs(ctx_, from.epsg, to.epsg, nullptr);
    if (raw == nullptr) return nullptr;
    PJ* norm = proj_normalize_for_visualization(ctx_, raw);
    proj_destroy(raw);
    return norm;
  }

  PJ_CONTEXT* ctx_ = nullptr;
};

// Tolerances are the measured agreement rounded up: the Transverse Mercator series far from
// its meridian (UTM 17 over western Kentucky: ~4 mm) and the grid's 7-digit rounding (~6 um).
struct Case {
  System from;
  System to;
  double toleranceMetres;
};

TEST_F(PeerConvert, ConversionsAgreeWithProj) {
  const Case cases[] = {
      {{"EPSG:26779", D::zrNAD27, P::zrNorthZone, U::zrUSFt},
       {"EPSG:26916", D::zrNAD83, P::zrUTM16, U::zrMeters}, 0.0005},
      {{"EPSG:3088", D::zrNAD83, P::zrSingleZone, U::zrMeters},
       {"EPSG:26780", D::zrNAD27, P::zrSouthZone, U::zrUSFt}, 2e-5},
      {{"EPSG:4269", D::zrNAD83, P::zrGeographic, U::zrDecimalDegrees},
       {"EPSG:4267", D::zrNAD27, P::zrGeographic, U::zrDecimalDegrees}, 2e-5},
      {{"EPSG:26717", D::zrNAD27, P::zrUTM17, U::zrMeters},
       {"EPSG:2246", D::zrNAD83, P::zrNorthZone, U::zrUSFt}, 0.005},
      {{"EPSG:2247", D::zrNAD83, P::zrSouthZone, U::zrUSFt},
       {"EPSG:26916", D::zrNAD83, P::zrUTM16, U::zrMeters}, 0.0005},
  };
  double worst = 0.0;
  for (const auto& c : cases) {
    PJ* op = Operation(c.from, c.to);
    ASSERT_NE(op, nullptr) << c.from.epsg << " -> " << c.to.epsg;
    double largest = 0.0;
    bool checkedOperation = false;
    for (double lat = 36.1; lat <= 39.4; lat += 0.25) {
      for (double lon = 81.6; lon <= 89.9; lon += 0.25) {
        // The input pair: the geographic point expressed in the source system.
        ZrGeoPosition p;
        p.Datum(c.from.datum);
        p.x(lon);
        p.y(lat);
        ASSERT_EQ(p.ConvertTo(c.from.datum, c.from.projection, c.from.units), 0);
        const double inX = p.x(), inY = p.y();
        ASSERT_EQ(p.ConvertTo(c.to.datum, c.to.projection, c.to.units), 0);

        const bool geoIn = c.from.projection == P::zrGeographic;
        const bool geoOut = c.to.projection == P::zrGeographic;
        PJ_COORD in = proj_coord(geoIn ? -inX : inX, inY, 0, 0);
        PJ_COORD out = proj_trans(op, PJ_FWD, in);
        ASSERT_TRUE(std::isfinite(out.xy.x)) << proj_errno_string(proj_errno(op));
        if (!checkedOperation && c.from.datum != c.to.datum) {
          // PROJ falls back to a ballpark shift when it cannot find the grid: make sure not.
          PJ* used = proj_trans_get_last_used_operation(op);
          ASSERT_NE(used, nullptr);
          const char* def = proj_pj_info(used).definition;
          EXPECT_NE(std::string(def ? def : "").find("us_noaa_conus"), std::string::npos)
              << c.from.epsg << " -> " << c.to.epsg << " used " << (def ? def : "(none)");
          proj_destroy(used);
          checkedOperation = true;
        }
        const double px = geoOut ? -out.xy.x : out.xy.x;
        const auto [sx, sy] = MetresPerUnit(c.to, lat);
        const double dx = (p.x() - px) * sx;
        const double dy = (p.y() - out.xy.y) * sy;
        largest = std::max(largest, std::hypot(dx, dy));
      }
    }
    proj_destroy(op);
    std::printf("%s -> %s: largest difference %.6f m\n", c.from.epsg, c.to.epsg, largest);
    EXPECT_LT(largest, c.toleranceMetres) << c.from.epsg << " -> " << c.to.epsg;
    worst = std::max(worst, largest);
  }
  std::printf("largest end-to-end difference from PROJ: %.6f m\n", worst);
}

#else
TEST(PeerConvert, ConversionsAgreeWithProj) { GTEST_SKIP() << "PROJ not available"; }
#endif

}  // namespace
}  // namespace lantrel
