#include "map/map_projection.hpp"

namespace lantrel::cli::map {

void PlaceGeographic(ZrGeoPosition& position, GeoPoint g, zrGeoDatum datum) {
  position.Projection(zrGeoProjection::zrGeographic);
  position.Datum(datum);
  position.Units(zrGeoUnits::zrDecimalDegrees);
  position.x(g.lon);
  position.y(g.lat);
}

std::optional<MapPoint> MapProjection::Forward(GeoPoint g, zrGeoDatum datum) {
  try {
    PlaceGeographic(position_, g, datum);
    if (position_.ConvertTo(zrGeoDatum::zrNAD83, zrGeoProjection::zrSingleZone,
                            zrGeoUnits::zrMeters) != 0) {
      return std::nullopt;
    }
    return MapPoint{position_.x(), position_.y()};
  } catch (const Error&) {
    return std::nullopt;
  }
}

std::optional<GeoPoint> MapProjection::Inverse(MapPoint p) {
  try {
    position_.Projection(zrGeoProjection::zrSingleZone);
    position_.Datum(zrGeoDatum::zrNAD83);
    position_.Units(zrGeoUnits::zrMeters);
    position_.x(p.e);
    position_.y(p.n);
    if (position_.ConvertTo(zrGeoDatum::zrNAD83, zrGeoProjection::zrGeographic,
                            zrGeoUnits::zrDecimalDegrees) != 0) {
      return std::nullopt;
    }
    return GeoPoint{position_.x(), position_.y()};
  } catch (const Error&) {
    return std::nullopt;
  }
}

}  // namespace lantrel::cli::map
