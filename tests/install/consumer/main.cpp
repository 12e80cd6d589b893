// Converts Frankfort from NAD 83 lat/long to the north zone and, when the installed tree holds
// the reference data file, names its county. Usage: consumer [expect-data]
#include <lantrel/lantrel.hpp>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  const bool expectData = argc > 1 && std::strcmp(argv[1], "expect-data") == 0;
  try {
    lantrel::ZrGeoPosition p;
    p.x(-84.8733);
    p.y(38.2009);
    if (p.ConvertTo(lantrel::zrGeoDatum::zrNAD83, lantrel::zrGeoProjection::zrNorthZone,
                    lantrel::zrGeoUnits::zrUSFt) != 0) {
      std::fprintf(stderr, "conversion refused\n");
      return 1;
    }
    std::printf("north zone: %.3f %.3f\n", p.x(), p.y());
    if (!(std::abs(p.x() - 1.6e6) < 2e5 && std::abs(p.y() - 2.3e5) < 1e5)) {
      std::fprintf(stderr, "implausible north-zone coordinates\n");
      return 1;
    }
    if (!expectData) return 0;
    if (!p.DataLoaded()) {
      std::fprintf(stderr, "the installed data file was not found; searched:\n");
      for (const auto& f : lantrel::DataSearchFolders()) std::fprintf(stderr, "  %s\n", f.c_str());
      return 1;
    }
    const std::string county = p.CountyName(0);
    std::printf("county: %s (data file %s)\n", county.c_str(), lantrel::DefaultDataFile().c_str());
    return county == "Franklin" ? 0 : 1;
  } catch (const lantrel::Error& e) {
    std::fprintf(stderr, "error %d: %s\n", static_cast<int>(e.number()), e.description().c_str());
    return 1;
  }
}
