// Agreement with PROJ's horizontal grid shift on NOAA's full CONUS grid, both directions,
// over the coverage window 81.5-90 W, 36-39.5 N.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "datum/nadcon.hpp"

#ifdef LANTREL_HAVE_PROJ
#include <proj.h>
#endif

namespace {

#ifdef LANTREL_HAVE_PROJ

const std::filesystem::path kGridFolder = std::filesystem::path(LANTREL_DATA_SOURCES) / "nadcon";

// Length in metres of a small step (dLon, dLat degrees) at latitude lat on GRS 80.
double StepMetres(double dLon, double dLat, double lat) {
  constexpr double kA = 6378137.0;
  constexpr double kE2 = 0.00669438002290348;
  constexpr double kRad = 0.01745329251994329;
  const double s = std::sin(lat * kRad);
  const double w = 1.0 - kE2 * s * s;
  const double meridian = kA * (1.0 - kE2) / (w * std::sqrt(w));
  const double normal = kA / std::sqrt(w);
  return std::hypot(normal * std::cos(lat * kRad) * dLon * kRad, meridian * dLat * kRad);
}

class ProjGridShift {
 public:
  explicit ProjGridShift(const std::string& grid) {
    ctx_ = proj_context_create();
    // PROJ's own database (needed to describe the operation's grids) stays where it is.
    const char* db = proj_context_get_database_path(ctx_);
    const std::string database = db != nullptr ? db : "";
    // Grids come from the shared folder only: a grid that cannot be found there must fail,
    // not be replaced by something else PROJ happens to know.
    const std::string folder = kGridFolder.string();
    const char* paths[] = {folder.c_str()};
    proj_context_set_search_paths(ctx_, 1, paths);
    proj_context_set_enable_network(ctx_, 0);
    if (!database.empty()) proj_context_set_database_path(ctx_, database.c_str(), nullptr, nullptr);
    const std::string pipeline =
        "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad"
        " +step +proj=hgridshift +grids=" + grid +
        " +step +proj=unitconvert +xy_in=rad +xy_out=deg";
    op_ = proj_create(ctx_, pipeline.c_str());
  }
  ~ProjGridShift() {
    if (op_ != nullptr) proj_destroy(op_);
    proj_context_destroy(ctx_);
  }
  ProjGridShift(const ProjGridShift&) = delete;
  ProjGridShift& operator=(const ProjGridShift&) = delete;

  bool ok() const { return op_ != nullptr; }
  std::string error() const { return proj_context_errno_string(ctx_, proj_context_errno(ctx_)); }

  // Full path of the first grid the operation uses, empty when it uses none or cannot open it.
  std::string GridUsed() const {
    if (proj_coordoperation_get_grid_used_count(ctx_, op_) < 1) return {};
    const char *shortName = nullptr, *fullName = nullptr, *package = nullptr, *url = nullptr;
    int direct = 0, open = 0, available = 0;
    if (!proj_coordoperation_get_grid_used(ctx_, op_, 0, &shortName, &fullName, &package, &url,
                                           &direct, &open, &available) ||
        !available || fullName == nullptr) {
      return {};
    }
    return fullName;
  }

  // West-positive longitude and latitude, degrees, in both directions.
  lantrel::Pair Apply(lantrel::Pair p, PJ_DIRECTION direction) const {
    const PJ_COORD out = proj_trans(op_, direction, proj_coord(-p.x, p.y, 0.0, 0.0));
    return {-out.lp.lam, out.lp.phi};
  }

 private:
  PJ_CONTEXT* ctx_ = nullptr;
  PJ* op_ = nullptr;
};

class NadconAgainstProj : public ::testing::TestWithParam<const char*> {};

TEST_P(NadconAgainstProj, AgreesWithinTenMicrometresBothWays) {
  const std::string grid = GetParam();
  if (!std::filesystem::exists(kGridFolder / grid)) {
    FAIL() << (kGridFolder / grid).string() << " not found (the grids ship in data/nadcon)";
  }
  ProjGridShift proj(grid);
  ASSERT_TRUE(proj.ok()) << "PROJ could not set up the shift: " << proj.error();
  const std::string used = proj.GridUsed();
  ASSERT_FALSE(used.empty()) << "PROJ reports no usable grid for its operation";
  EXPECT_TRUE(std::filesystem::equivalent(used, kGridFolder / grid)) << used;

  double worstForward = 0.0, worstInverse = 0.0, smallestShift = 1e9;
  lantrel::Pair worstForwardAt, worstInverseAt;
  const double step = 0.05;
  for (int a = 0; a <= 170; ++a) {
    for (int b = 0; b <= 70; ++b) {
      const lantrel::Pair p{81.5 + step * a, 36.0 + step * b};

      const lantrel::Pair ours = lantrel::detail::Nad27ToNad83(p);
      const lantrel::Pair theirs = proj.Apply(p, PJ_FWD);
      // Guards against an operation that silently did nothing.
      smallestShift = std::min(smallestShift, StepMetres(theirs.x - p.x, theirs.y - p.y, p.y));
      const double forward = StepMetres(ours.x - theirs.x, ours.y - theirs.y, p.y);
      if (forward > worstForward) worstForward = forward, worstForwardAt = p;

      const lantrel::Pair oursBack = lantrel::detail::Nad83ToNad27(p);
      const lantrel::Pair theirsBack = proj.Apply(p, PJ_INV);
      const double inverse = StepMetres(oursBack.x - theirsBack.x, oursBack.y - theirsBack.y, p.y);
      if (inverse > worstInverse) worstInverse = inverse, worstInverseAt = p;
    }
  }
  std::printf("[ PROJ %s ] largest difference NAD27->NAD83 %.3g m at %.2f W %.2f N, "
              "NAD83->NAD27 %.3g m at %.2f W %.2f N; smallest shift %.3g m\n",
              grid.c_str(), worstForward, worstForwardAt.x, worstForwardAt.y, worstInverse,
              worstInverseAt.x, worstInverseAt.y, smallestShift);
  EXPECT_GT(smallestShift, 1.0);
  // The built-in node values are the grid's rounded to 7 significant digits: up to 5e-11
  // degree for shifts near 1e-4 degree, 5.6 um north-south and 4.4 um east-west here; PROJ
  // adds its single-precision rounding (about 1 um). Measured: 6.5 um.
  EXPECT_LT(worstForward, 1e-5);
  EXPECT_LT(worstInverse, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(Grids, NadconAgainstProj,
                         ::testing::Values("us_noaa_conus.tif", "conus.ct2"),
                         [](const auto& info) {
                           return std::string(info.param).find(".tif") != std::string::npos
                                      ? std::string("GeoTIFF")
                                      : std::string("CTable2");
                         });

#else

TEST(NadconAgainstProj, AgreesWithinTenMicrometresBothWays) { GTEST_SKIP() << "built without PROJ"; }

#endif

}  // namespace
