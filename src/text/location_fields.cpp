#include "lantrel/location_fields.hpp"

#include "lantrel/carter.hpp"
#include "lantrel/fips_text.hpp"

namespace lantrel {

void JoinLocationField(std::string& field, std::string_view text) {
  if (!field.empty()) field += ';';
  field += text;
}

namespace {

void Join(std::string& field, const std::string& value) { JoinLocationField(field, value); }

}  // namespace

LocationFields LocatePoint(ZrGeoPosition& p, bool zgs) {
  LocationFields f;
  auto& v = f.values;
  const std::int32_t states = p.StateCount();
  for (std::int32_t i = 0; i < states; ++i) {
    Join(v[0], p.StateName(i));
    Join(v[1], StateFipsText(p.StateFIPS(i)));
  }
  const std::int32_t counties = p.CountyCount();
  for (std::int32_t i = 0; i < counties; ++i) {
    Join(v[2], p.CountyName(i));
    const std::int32_t fips = p.CountyFIPS(i);
    Join(v[3], CountyFipsText(fips));
    Join(v[9], CountyGeoid(fips));
    Join(v[4], p.CountySPZone(i));
  }
  const std::int32_t quads = p.QuadCount();
  for (std::int32_t i = 0; i < quads; ++i) {
    Join(v[5], p.QuadName(i));
    Join(v[6], p.QuadTile(i));
    Join(v[7], p.QuadState(i));
  }
  if (p.Projection() != zrGeoProjection::zrCarter) {
    p.ConvertTo(p.Datum(), zrGeoProjection::zrCarter, zrGeoUnits::zrDecimalDegrees);
  }
  // Outside the grid the conversion leaves the location empty, and so does the string.
  v[kCarterField] = p.Carter()->LocationString(zgs);
  return f;
}

}  // namespace lantrel
