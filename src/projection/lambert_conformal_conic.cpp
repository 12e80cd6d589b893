// Lambert conformal conic: forward, inverse, scale factor and convergence, each in the exact
// order of operations its results are reproduced with (no fused multiply-add, no reordering).
// Forward and inverse are templates over the number type, so one point and a block of points
// run the very same operations.
#include "projection/lambert_conformal_conic.hpp"

#include <cmath>

#include "core/angles.hpp"
#include "projection/lanes.hpp"

namespace lantrel::detail {

template <typename V>
V LambertConformalConic::Isometric(const V& s) const noexcept {
  using std::log;
  return 0.5 * (log((1.0 + s) / (1.0 - s)) - e_ * log((1.0 + e_ * s) / (1.0 - e_ * s)));
}

template <typename V>
void LambertConformalConic::Forward(const V& lon, const V& lat, V& east,
                                    V& north) const noexcept {
  using std::exp;
  using std::sin;
  const V lambda = lon * kDegToRad;
  const V phi = lat * kDegToRad;
  const V Q = Isometric(sin(phi));
  const V R = K_ / exp(n_ * Q);
  // Angle from the central meridian; positive east of it since longitudes are west-positive.
  const V theta = (lambda0_ - lambda) * n_;
  V sinTheta, cosTheta;
  SinCos(theta, sinTheta, cosTheta);
  east = R * sinTheta + E0_;
  north = (Rb_ + N0_) - R * cosTheta;
}

template <typename V>
void LambertConformalConic::Reverse(const V& east, const V& north, V& lon,
                                    V& lat) const noexcept {
  using std::atan;
  using std::exp;
  using std::log;
  using std::sqrt;
  const V delta = (Rb_ + N0_) - north;
  const V e = east - E0_;
  const V R = sqrt(delta * delta + e * e);
  const V Q = log(K_ / R) / n_;
  // Spherical solution for sin(phi), then three Newton steps on Isometric(s) = Q.
  const V x = exp(2.0 * Q);
  V s = (x - 1.0) / (x + 1.0);
  for (int step = 0; step < 3; ++step) {
    const V g = Isometric(s) - Q;
    const V s2 = s * s;
    const V dg = 1.0 / (1.0 - s2) - e2_ / (1.0 - e2_ * s2);
    s = s - g / dg;
  }
  const V gamma = atan(e / delta);
  const V lambda = lambda0_ - gamma / n_;
  const V phi = atan(s / sqrt(1.0 - s * s));
  lon = lambda * kRadToDeg;
  lat = phi * kRadToDeg;
}

template void LambertConformalConic::Forward(const double&, const double&, double&,
                                             double&) const noexcept;
template void LambertConformalConic::Reverse(const double&, const double&, double&,
                                             double&) const noexcept;
template void LambertConformalConic::Forward(const Block&, const Block&, Block&,
                                             Block&) const noexcept;
template void LambertConformalConic::Reverse(const Block&, const Block&, Block&,
                                             Block&) const noexcept;

double LambertConformalConic::ScaleFactor(Pair geo) const noexcept {
  const double phi = geo.y * kDegToRad;
  const double s = std::sin(phi);
  const double q1 = (1.0 + s) / (1.0 - s);
  const double q2 = (1.0 + e_ * s) / (1.0 - e_ * s);
  const double psi = (std::log(q1) - e_ * std::log(q2)) / 2.0;
  const double W = std::sqrt(1.0 - s * e2_ * s);
  const double rho = K_ / std::exp(psi * n_);
  return rho * W * n_ / (std::cos(phi) * a_);
}

double LambertConformalConic::Convergence(Pair geo) const noexcept {
  const double lambda = geo.x * kDegToRad;
  const double gamma = (lambda0_ - lambda) * n_;
  return gamma * kRadToDeg;
}

}  // namespace lantrel::detail
