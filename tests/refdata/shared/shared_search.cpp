// A program linked with the shared library and kept in another folder: a new position finds
// the data file beside the library and answers a lookup without any configuration.
#include <cstdio>
#include <string>

#include "lantrel/lantrel.hpp"

int main() {
  try {
    lantrel::ZrGeoPosition p;
    if (!p.DataLoaded()) {
      std::fprintf(stderr, "no data file found beside the shared library\n");
      return 1;
    }
    p.x(84.8733);  // Frankfort
    p.y(38.2009);
    const std::string county = p.CountyName(0);
    std::printf("%s, %s County, %s zone\n", p.StateName(0).c_str(), county.c_str(),
                p.CountySPZone(0).c_str());
    return county == "Franklin" ? 0 : 1;
  } catch (const lantrel::Error& e) {
    std::fprintf(stderr, "error %d: %s\n", e.number(), e.description().c_str());
    return 1;
  }
}
