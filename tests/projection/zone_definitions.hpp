// Published definitions of every projected zone record (parallels, origin, central meridian,
// scale, false origin in metres), written as PROJ strings on the record's ellipsoid. They are
// the independent side of the peer comparison: PROJ derives its own constants from them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace lantrel::testing {

struct ZoneDefinition {
  const char* name;
  std::int32_t projection;
  std::int32_t datum;
  bool lambert;
  double lat1, lat2;  // standard parallels (Lambert), degrees
  double lat0, lon0W; // grid origin, degrees (longitude west-positive)
  double k0;          // central scale (Transverse Mercator)
  double x0, y0;      // false easting and northing, metres
  int utm;            // UTM zone number, 0 for a plane zone
};

inline double Dm(double d, double m) { return d + m / 60.0; }

inline constexpr double kUs2M = 609601.219202438;   // 2,000,000 US survey feet
inline constexpr double kUs500k = 152400.30480061;  // 500,000 US survey feet

inline std::vector<ZoneDefinition> ZoneDefinitions() {
  auto lcc = [](const char* name, int p, int d, double l1, double l2, double l0, double lon0,
                double x0, double y0) {
    return ZoneDefinition{name, p, d, true, l1, l2, l0, lon0, 0.0, x0, y0, 0};
  };
  auto tm = [](const char* name, int p, int d, double l0, double lon0, double k0, double x0,
               double y0) {
    return ZoneDefinition{name, p, d, false, 0.0, 0.0, l0, lon0, k0, x0, y0, 0};
  };
  auto utm = [](const char* name, int p, int d, int zone) {
    return ZoneDefinition{name, p, d, false, 0.0, 0.0, 0.0, 0.0, 0.9996, 500000.0, 0.0, zone};
  };
  return {
      lcc("zrSingleZone/83", 0, 0, Dm(37, 5), Dm(38, 40), Dm(36, 20), Dm(85, 45), 1500000, 1000000),
      lcc("zrNorthZone/83", 1, 0, Dm(37, 58), Dm(38, 58), Dm(37, 30), Dm(84, 15), 500000, 0),
      lcc("zrNorthZone/27", 1, 1, Dm(37, 58), Dm(38, 58), Dm(37, 30), Dm(84, 15), kUs2M, 0),
      lcc("zrSouthZone/83", 2, 0, Dm(36, 44), Dm(37, 56), Dm(36, 20), Dm(85, 45), 500000, 500000),
      lcc("zrSouthZone/27", 2, 1, Dm(36, 44), Dm(37, 56), Dm(36, 20), Dm(85, 45), kUs2M, 0),
      utm("zrUTM16/83", 3, 0, 16),
      utm("zrUTM16/27", 3, 1, 16),
      utm("zrUTM17/83", 4, 0, 17),
      utm("zrUTM17/27", 4, 1, 17),
      tm("moEastZone/83", 7, 0, Dm(35, 50), Dm(90, 30), 0.999933333333333, 250000, 0),
      tm("moEastZone/27", 7, 1, Dm(35, 50), Dm(90, 30), 0.999933333333333, kUs500k, 0),
      tm("ilWestZone/83", 8, 0, Dm(36, 40), Dm(90, 10), 0.999941176470588, 700000, 0),
      tm("ilWestZone/27", 8, 1, Dm(36, 40), Dm(90, 10), 0.999941176470588, kUs500k, 0),
      tm("ilEastZone/83", 9, 0, Dm(36, 40), Dm(88, 20), 0.999975, 300000, 0),
      tm("ilEastZone/27", 9, 1, Dm(36, 40), Dm(88, 20), 0.999975, kUs500k, 0),
      tm("inWestZone/83", 10, 0, Dm(37, 30), Dm(87, 5), 0.999966666666667, 900000, 250000),
      tm("inWestZone/27", 10, 1, Dm(37, 30), Dm(87, 5), 0.999966666666667, kUs500k, 0),
      tm("inEastZone/83", 11, 0, Dm(37, 30), Dm(85, 40), 0.999966666666667, 100000, 250000),
      tm("inEastZone/27", 11, 1, Dm(37, 30), Dm(85, 40), 0.999966666666667, kUs500k, 0),
      lcc("ohSouthZone/83", 12, 0, Dm(38, 44), Dm(40, 2), Dm(38, 0), Dm(82, 30), 600000, 0),
      lcc("ohSouthZone/27", 12, 1, Dm(38, 44), Dm(40, 2), Dm(38, 0), Dm(82, 30), kUs2M, 0),
      lcc("wvSouthZone/83", 13, 0, Dm(37, 29), Dm(38, 53), Dm(37, 0), Dm(81, 0), 600000, 0),
      lcc("wvSouthZone/27", 13, 1, Dm(37, 29), Dm(38, 53), Dm(37, 0), Dm(81, 0), kUs2M, 0),
      lcc("vaSouthZone/83", 14, 0, Dm(36, 46), Dm(37, 58), Dm(36, 20), Dm(78, 30), 3500000, 1000000),
      lcc("vaSouthZone/27", 14, 1, Dm(36, 46), Dm(37, 58), Dm(36, 20), Dm(78, 30), kUs2M, 0),
      lcc("tnSingleZone/83", 15, 0, Dm(35, 15), Dm(36, 25), Dm(34, 20), Dm(86, 0), 600000, 0),
      // As the record holds it: origin 34 40 N with false northing 0.
      lcc("tnSingleZone/27", 15, 1, Dm(35, 15), Dm(36, 25), Dm(34, 40), Dm(86, 0), kUs2M, 0),
  };
}

/// PROJ string of a zone definition (no datum shift: ellipsoid only).
inline std::string ProjString(const ZoneDefinition& z) {
  const char* ellps = z.datum == 0 ? "GRS80" : "clrk66";
  char buf[512];
  if (z.utm != 0) {
    std::snprintf(buf, sizeof buf, "+proj=utm +zone=%d +ellps=%s +units=m", z.utm, ellps);
  } else if (z.lambert) {
    std::snprintf(buf, sizeof buf,
                  "+proj=lcc +lat_1=%.17g +lat_2=%.17g +lat_0=%.17g +lon_0=%.17g +x_0=%.17g "
                  "+y_0=%.17g +ellps=%s +units=m",
                  z.lat1, z.lat2, z.lat0, -z.lon0W, z.x0, z.y0, ellps);
  } else {
    std::snprintf(buf, sizeof buf,
                  "+proj=tmerc +lat_0=%.17g +lon_0=%.17g +k=%.17g +x_0=%.17g +y_0=%.17g "
                  "+ellps=%s +units=m",
                  z.lat0, -z.lon0W, z.k0, z.x0, z.y0, ellps);
  }
  return buf;
}

}  // namespace lantrel::testing
