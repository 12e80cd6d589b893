#include "location_fields.hpp"

namespace lantrel::cli {

std::string LocationFields::Text(std::size_t i) const {
  switch (i) {
    case 0: return state;
    case 1: return stateFips ? std::to_string(*stateFips) : std::string();
    case 2: return county;
    case 3: return countyFips ? std::to_string(*countyFips) : std::string();
    case 4: return spZone;
    case 5: return quad;
    case 6: return quadTile;
    case 7: return quadState;
    default: return carter;
  }
}

LocationFields LocatePoint(ZrGeoPosition& p, bool zgs) {
  LocationFields f;
  if (p.StateCount() > 0) {
    f.state = p.StateName(0);
    f.stateFips = p.StateFIPS(0);
  }
  if (p.CountyCount() > 0) {
    f.county = p.CountyName(0);
    f.countyFips = p.CountyFIPS(0);
    f.spZone = p.CountySPZone(0);
  }
  if (p.QuadCount() > 0) {
    f.quad = p.QuadName(0);
    f.quadTile = p.QuadTile(0);
    f.quadState = p.QuadState(0);
  }
  if (p.Projection() != zrGeoProjection::zrCarter) {
    p.ConvertTo(p.Datum(), zrGeoProjection::zrCarter, zrGeoUnits::zrDecimalDegrees);
  }
  // Outside the grid the conversion leaves the location empty, and so does the string.
  f.carter = p.Carter()->LocationString(zgs);
  return f;
}

}  // namespace lantrel::cli
