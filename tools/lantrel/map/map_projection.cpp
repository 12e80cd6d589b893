#include "map/map_projection.hpp"

namespace lantrel::cli::map {

std::optional<MapPoint> MapProjection::Forward(GeoPoint g, zrGeoDatum datum) {
  try {
    position_.Projection(zrGeoProjection::zrGeographic);
    position_.Datum(datum);
    position_.Units(zrGeoUnits::zrDecimalDegrees);
    position_.x(g.lon);
    position_.y(g.lat);
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
