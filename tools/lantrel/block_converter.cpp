#include "block_converter.hpp"

#include <cmath>

#include "lantrel/plausibility.hpp"

namespace lantrel::cli {

bool BlockConverter::Supports(const System& from, const System& to) {
  return !from.IsCarter() && !to.IsCarter();
}

BlockConverter::BlockConverter(const System& from, const System& to, bool westPositive,
                               bool acceptDistant, unsigned threads)
    : from_(from),
      to_(to),
      westPositive_(westPositive),
      acceptDistant_(acceptDistant),
      threads_(threads),
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
    toGeographic_->Transform(n, x, y, geoX_.data(), geoY_.data(), status_.data(), nullptr,
                             threads_);
    lon = geoX_.data();
    lat = geoY_.data();
  }
  for (std::size_t i = 0; i < n; ++i) {
    // A position reads a geographic source's longitude as a magnitude; a plane source's comes
    // out of the conversion west-positive.
    done[i] = PairInRange(from_, x[i], y[i]) && (!toGeographic_ || status_[i] == 0) &&
              RegionPlausible(toGeographic_ ? lon[i] : std::fabs(lon[i]), lat[i], acceptDistant_);
  }
  toTarget_.Transform(n, x, y, outX, outY, status_.data(), nullptr, threads_);
  const bool negate = to_.Angular() && !westPositive_;
  for (std::size_t i = 0; i < n; ++i) {
    done[i] = done[i] && status_[i] == 0;
    if (negate) outX[i] = -outX[i];
  }
}

}  // namespace lantrel::cli
