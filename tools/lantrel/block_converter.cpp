#include "block_converter.hpp"

#include <cmath>

#include "point_converter.hpp"

namespace lantrel::cli {

bool BlockConverter::Supports(const System& from, const System& to) {
  return !from.IsCarter() && !to.IsCarter();
}

BlockConverter::BlockConverter(const System& from, const System& to, bool westPositive,
                               bool acceptDistant)
    : from_(from),
      to_(to),
      westPositive_(westPositive),
      acceptDistant_(acceptDistant),
      toTarget_(from, to, true) {
  if (!from.Angular()) {
    toGeographic_.emplace(from, System(zrGeoProjection::zrGeographic, from.datum,
                                             zrGeoUnits::zrDecimalDegrees),
                          true);
  }
}

void BlockConverter::Convert(std::size_t n, const double* x, const double* y, double* outX,
                             double* outY, bool* done) {
  geoX_.resize(n);
  geoY_.resize(n);
  status_.resize(n);
  // The checks of PointConverter on the geographic point of the source datum.
  const double* lon = x;
  const double* lat = y;
  if (toGeographic_) {
    toGeographic_->Transform(n, x, y, geoX_.data(), geoY_.data(), status_.data());
    lon = geoX_.data();
    lat = geoY_.data();
  }
  for (std::size_t i = 0; i < n; ++i) {
    bool ok;
    if (toGeographic_) {
      ok = x[i] >= 0.0 && status_[i] == 0;
    } else {
      ok = std::fabs(y[i]) <= 90.0 && std::fabs(x[i]) <= 180.0;
    }
    const double w = std::fabs(lon[i]);  // the position reads longitudes as magnitudes
    ok = ok && std::fabs(lat[i]) <= 90.0 && (toGeographic_ ? std::fabs(lon[i]) : w) <= 180.0;
    if (ok && !acceptDistant_) {
      ok = ServedRegion::Contains(toGeographic_ ? lon[i] : w, lat[i]);
    }
    done[i] = ok;
  }
  toTarget_.Transform(n, x, y, outX, outY, status_.data());
  const bool negate = to_.Angular() && !westPositive_;
  for (std::size_t i = 0; i < n; ++i) {
    done[i] = done[i] && status_[i] == 0;
    if (negate) outX[i] = -outX[i];
  }
}

}  // namespace lantrel::cli
