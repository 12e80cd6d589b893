// The zone table: one record per (projection, datum), record number datum + 2 * projection, so
// the two datums of one projection lie next to each other. Every value is a published constant
// used exactly as written; none is recomputed from the zone's defining parallels or origin.
//
// Lambert records carry Rb, K and n (computed once from the standard parallels and the grid
// origin by the two-parallel formulas); Transverse Mercator records carry k0, Sb and the
// datum's rectifying radius and latitude-series coefficients. Unused fields hold 0.0. The
// records of (zrSingleZone, NAD 27), zrGeographic and zrCarter are empty: the single zone is
// defined on NAD 83 only, and the angular systems never reach a projection.
#include <array>
#include <cstddef>

#include "core/raise.hpp"
#include "projection/zone_table.hpp"

namespace lantrel::detail {
namespace {

// Ellipsoid fields (a, f, e, e^2) of each datum.
struct Ellipsoid {
  double a, f, e, e2;
};
constexpr Ellipsoid kGrs80{6378137.0, 0.00335281068118367, 0.0818191910428322,
                           0.00669438002290348};
constexpr Ellipsoid kClarke1866{6378206.4, 0.00339007530408852, 0.0822718542249392,
                                0.00676865799760964};

// Rectifying radius and the U (geodetic -> rectifying) and V (rectifying -> footpoint)
// coefficients shared by every Transverse Mercator record of a datum.
struct MeridianSeries {
  double r, U0, U2, U4, U6, V0, V2, V4, V6;
};
constexpr MeridianSeries kSeries83{6367449.14577104,       -0.00504825077622646,
                                   2.12592041589988e-05,   -1.11423357832035e-07,
                                   6.26154294322667e-10,   0.00502289394782585,
                                   2.93706254111508e-05,   2.35059133304988e-07,
                                   2.18060717737132e-09};
constexpr MeridianSeries kSeries27{6367399.68916927,       -0.00510457392433587,
                                   2.17364759274255e-05,   -1.15197288304741e-07,
                                   6.54508124028722e-10,   0.00507864958197193,
                                   3.00255666096295e-05,   2.4296018057005e-07,
                                   2.27935051447463e-09};

constexpr ZoneRecord Empty() { return ZoneRecord{}; }

constexpr ZoneRecord Lambert(const Ellipsoid& el, double lambda0, double N0, double E0,
                             double Rb, double K, double n) {
  ZoneRecord z{};
  z.a = el.a;
  z.f = el.f;
  z.e = el.e;
  z.e2 = el.e2;
  z.lambda0 = lambda0;
  z.N0 = N0;
  z.E0 = E0;
  z.Rb = Rb;
  z.K = K;
  z.n = n;
  return z;
}

constexpr ZoneRecord Mercator(const Ellipsoid& el, const MeridianSeries& ms, double lambda0,
                              double phi0, double N0, double E0, double k0, double Sb) {
  ZoneRecord z{};
  z.a = el.a;
  z.f = el.f;
  z.e = el.e;
  z.e2 = el.e2;
  z.lambda0 = lambda0;
  z.phi0 = phi0;
  z.N0 = N0;
  z.E0 = E0;
  z.k0 = k0;
  z.r = ms.r;
  z.Sb = Sb;
  z.U0 = ms.U0;
  z.U2 = ms.U2;
  z.U4 = ms.U4;
  z.U6 = ms.U6;
  z.V0 = ms.V0;
  z.V2 = ms.V2;
  z.V4 = ms.V4;
  z.V6 = ms.V6;
  return z;
}

// 2,000,000 and 500,000 US survey feet: the false eastings of the NAD 27 plane zones.
constexpr double k2MillionUsFt = 609601.219202438;
constexpr double k500kUsFt = 152400.30480061;

constexpr std::array<ZoneRecord, 32> kZoneTable = {
    // 0 zrSingleZone: 85 45 W; parallels 37 05, 38 40; origin 36 20 N. NAD 83 only.
    Lambert(kGrs80, 1.49661983358514, 1000000.0, 1500000.0, 8380874.31692578,
            12704017.649244, 0.613960702568287),
    Empty(),
    // 1 zrNorthZone: 84 15 W; parallels 37 58, 38 58; origin 37 30 N.
    Lambert(kGrs80, 1.47043989480522, 0.0, 500000.0, 8145306.47119254, 12612341.7839887,
            0.622067254037144),
    Lambert(kClarke1866, 1.47043989480522, 0.0, k2MillionUsFt, 8145507.43041975,
            12612297.6060772, 0.622067255482701),
    // 2 zrSouthZone: 85 45 W; parallels 36 44, 37 56; origin 36 20 N.
    Lambert(kGrs80, 1.49661983358514, 500000.0, 500000.0, 8483079.45520076, 12793783.0812117,
            0.606462358286594),
    Lambert(kClarke1866, 1.49661983358514, 0.0, k2MillionUsFt, 8483282.54856975,
            12793747.3940142, 0.606462360378878),
    // 3 zrUTM16: 87 W, equator, k0 0.9996.
    Mercator(kGrs80, kSeries83, 1.51843644923507, 0.0, 0.0, 500000.0, 0.9996, 0.0),
    Mercator(kClarke1866, kSeries27, 1.51843644923507, 0.0, 0.0, 500000.0, 0.9996, 0.0),
    // 4 zrUTM17: 81 W, equator, k0 0.9996.
    Mercator(kGrs80, kSeries83, 1.41371669411541, 0.0, 0.0, 500000.0, 0.9996, 0.0),
    Mercator(kClarke1866, kSeries27, 1.41371669411541, 0.0, 0.0, 500000.0, 0.9996, 0.0),
    // 5 zrGeographic, 6 zrCarter: no projection.
    Empty(),
    Empty(),
    Empty(),
    Empty(),
    // 7 moEastZone: 90 30 W; origin 35 50 N.
    Mercator(kGrs80, kSeries83, 1.57952297305487, 0.625409648631301, 0.0, 250000.0,
             0.999933333333333, 3966785.2908331),
    Mercator(kClarke1866, kSeries27, 1.57952297305487, 0.625409648631301, 0.0, k500kUsFt,
             0.999933333333333, 3966585.22043945),
    // 8 ilWestZone: 90 10 W; origin 36 40 N.
    Mercator(kGrs80, kSeries83, 1.57370520888155, 0.639954059064587, 0.0, 700000.0,
             0.999941176470588, 4059280.67206804),
    Mercator(kClarke1866, kSeries27, 1.57370520888155, 0.639954059064587, 0.0, k500kUsFt,
             0.999941176470588, 4059078.30227108),
    // 9 ilEastZone: 88 20 W; origin 36 40 N.
    Mercator(kGrs80, kSeries83, 1.54170750592832, 0.639954059064587, 0.0, 300000.0, 0.999975,
             4059417.97934414),
    Mercator(kClarke1866, kSeries27, 1.54170750592832, 0.639954059064587, 0.0, k500kUsFt,
             0.999975, 4059215.60270191),
    // 10 inWestZone: 87 05 W; origin 37 30 N.
    Mercator(kGrs80, kSeries83, 1.51989089027839, 0.654498469497873, 250000.0, 900000.0,
             0.999966666666667, 4151863.74245769),
    Mercator(kClarke1866, kSeries27, 1.51989089027839, 0.654498469497873, 0.0, k500kUsFt,
             0.999966666666667, 4151659.21353212),
    // 11 inEastZone: 85 40 W; origin 37 30 N.
    Mercator(kGrs80, kSeries83, 1.49516539254181, 0.654498469497873, 250000.0, 100000.0,
             0.999966666666667, 4151863.74245769),
    Mercator(kClarke1866, kSeries27, 1.49516539254181, 0.654498469497873, 0.0, k500kUsFt,
             0.999966666666667, 4151659.21353212),
    // 12 ohSouthZone: 82 30 W; parallels 38 44, 40 02; origin 38 00 N.
    Lambert(kGrs80, 1.43989663289532, 0.0, 600000.0, 7932869.0373829, 12478096.2534134,
            0.634519536788303),
    Lambert(kClarke1866, 1.43989663289532, 0.0, k2MillionUsFt, 7933067.20164952,
            12478045.2863303, 0.634519539217056),
    // 13 wvSouthZone: 81 00 W; parallels 37 29, 38 53; origin 37 00 N.
    Lambert(kGrs80, 1.41371669411541, 0.0, 600000.0, 8250940.54961916, 12655491.0284817,
            0.618195407531385),
    Lambert(kClarke1866, 1.41371669411541, 0.0, k2MillionUsFt, 8251141.49295396,
            12655448.9657395, 0.618195410368826),
    // 14 vaSouthZone: 78 30 W; parallels 36 46, 37 58; origin 36 20 N.
    Lambert(kGrs80, 1.37008346281555, 1000000.0, 3500000.0, 8476701.80591317,
            12788171.0476207, 0.60692484658875),
    Lambert(kClarke1866, 1.37008346281555, 0.0, k2MillionUsFt, 8476904.74245558,
            12788135.1091386, 0.606924848680787),
    // 15 tnSingleZone: 86 00 W; parallels 35 15, 36 25; origin 34 20 N (NAD 83) and
    // 34 40 N with false northing 0 (NAD 27).
    Lambert(kGrs80, 1.50098315671512, 0.0, 600000.0, 9008631.31135139, 13064326.2966619,
            0.585439726458187),
    Lambert(kClarke1866, 1.50098315671512, 0.0, k2MillionUsFt, 8971851.65169826,
            13064302.030085, 0.585439728442283),
};

}  // namespace

const ZoneRecord& Zone(std::int32_t datum, std::int32_t projection) {
  CheckIndex(datum, 1);
  CheckIndex(projection, 15);
  return kZoneTable[static_cast<std::size_t>(datum + 2 * projection)];
}

}  // namespace lantrel::detail
