// Converts one NAD 27 north-zone point to NAD 83 UTM 16 and prints it.
#include <cstdio>

#include "lantrel/lantrel.hpp"

int main() {
  try {
    lantrel::ZrGeoPosition p;
    p.Projection(lantrel::zrGeoProjection::zrNorthZone);
    p.Datum(lantrel::zrGeoDatum::zrNAD27);
    p.Units(lantrel::zrGeoUnits::zrUSFt);
    p.x(2000000.0);
    p.y(200000.0);
    const int rc = p.ConvertTo(lantrel::zrGeoDatum::zrNAD83, lantrel::zrGeoProjection::zrUTM16,
                               lantrel::zrGeoUnits::zrMeters);
    std::printf("NAD 27 north zone (2000000, 200000) usft -> NAD 83 UTM 16: %.3f %.3f m (rc %d)\n",
                p.x(), p.y(), rc);
  } catch (const lantrel::Error& e) {
    std::fprintf(stderr, "error %d: %s (%s)\n", e.number(), e.description().c_str(),
                 e.source().c_str());
    return 1;
  }
  return 0;
}
