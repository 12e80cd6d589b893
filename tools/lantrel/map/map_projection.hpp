// The map's plane: the Kentucky single zone on NAD 83 in metres, computed by the library's own
// projection and datum code, so the map shows the points where the library puts them.
#pragma once

#include <optional>

#include "lantrel/lantrel.hpp"

namespace lantrel::cli::map {

/// A point on the map plane, metres east and north in the single zone.
struct MapPoint {
  double e = 0.0;
  double n = 0.0;
};

/// A geographic point: longitude as a west-positive magnitude, latitude, decimal degrees.
struct GeoPoint {
  double lon = 0.0;
  double lat = 0.0;
};

/// Sets the position to the geographic point on `datum`, ready for ConvertTo.
void PlaceGeographic(ZrGeoPosition& position, GeoPoint g, zrGeoDatum datum);

class MapProjection {
 public:
  MapProjection() = default;

  /// The map point of a geographic point on the given datum (shifted to NAD 83 first); empty
  /// when the library refuses the point (a datum change outside the shift window).
  std::optional<MapPoint> Forward(GeoPoint g, zrGeoDatum datum = zrGeoDatum::zrNAD83);
  /// The NAD 83 geographic point of a map point.
  std::optional<GeoPoint> Inverse(MapPoint p);

 private:
  ZrGeoPosition position_;
};

}  // namespace lantrel::cli::map
