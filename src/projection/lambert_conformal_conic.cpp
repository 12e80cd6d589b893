// Lambert conformal conic: forward, inverse, scale factor and convergence, each in the exact
// order of operations its results are reproduced with (no fused multiply-add, no reordering).
#include "projection/lambert_conformal_conic.hpp"

#include <cmath>

#include "projection/angles.hpp"

namespace lantrel::detail {

double LambertConformalConic::Isometric(double s) const noexcept {
  return 0.5 * (std::log((1.0 + s) / (1.0 - s)) - e_ * std::log((1.0 + e_ * s) / (1.0 - e_ * s)));
}

Pair LambertConformalConic::Forward(Pair geo) const noexcept {
  const double lambda = geo.x * kDegToRad;
  const double phi = geo.y * kDegToRad;
  const double Q = Isometric(std::sin(phi));
  const double R = K_ / std::exp(n_ * Q);
  // Angle from the central meridian; positive east of it since longitudes are west-positive.
  const double theta = (lambda0_ - lambda) * n_;
  return Pair{R * std::sin(theta) + E0_, (Rb_ + N0_) - R * std::cos(theta)};
}

Pair LambertConformalConic::Reverse(Pair plane) const noexcept {
  const double delta = (Rb_ + N0_) - plane.y;
  const double east = plane.x - E0_;
  const double R = std::sqrt(delta * delta + east * east);
  const double Q = std::log(K_ / R) / n_;
  // Spherical solution for sin(phi), then three Newton steps on Isometric(s) = Q.
  const double x = std::exp(2.0 * Q);
  double s = (x - 1.0) / (x + 1.0);
  for (int step = 0; step < 3; ++step) {
    const double g = Isometric(s) - Q;
    const double s2 = s * s;
    const double dg = 1.0 / (1.0 - s2) - e2_ / (1.0 - e2_ * s2);
    s = s - g / dg;
  }
  const double gamma = std::atan(east / delta);
  const double lambda = lambda0_ - gamma / n_;
  const double phi = std::atan(s / std::sqrt(1.0 - s * s));
  return Pair{lambda * kRadToDeg, phi * kRadToDeg};
}

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
