// Transverse Mercator series: forward, inverse, scale factor and convergence, each in the
// exact order of operations its results are reproduced with. Every polynomial is evaluated in
// the nested form in which it is written.
#include "projection/transverse_mercator_series.hpp"

#include <cmath>

#include "core/angles.hpp"
#include "projection/lanes.hpp"

namespace lantrel::detail {

template <typename V>
void TransverseMercator::Forward(const V& lon, const V& lat, V& east,
                                 V& north) const noexcept {
  using std::sqrt;
  using std::tan;
  const V lambda = lon * kDegToRad;
  const V phi = lat * kDegToRad;
  V s, co;
  SinCos(phi, s, co);
  const V t = tan(phi);
  const V co2 = co * co;
  const V t2 = t * t;
  const V t4 = t2 * t2;

  const V omega = phi + s * co * (((U6_ * co2 + U4_) * co2 + U2_) * co2 + U0_);
  // Positive west of the central meridian.
  const V L = (lambda - lambda0_) * co;
  const V S = omega * k0_ * r_;
  const V R = k0_ * a_ / sqrt(1.0 - e2_ * (s * s));
  const V eta2 = co2 * e2_ / (1.0 - e2_);

  const V A1 = -R;
  const V A2 = R * t / 2.0;
  const V A3 = (1.0 - t2 + eta2) / 6.0;
  const V A4 = (5.0 - t2 + eta2 * (9.0 + 4.0 * eta2)) / 12.0;
  const V A5 = (5.0 - 18.0 * t2 + t4 + eta2 * (14.0 - 58.0 * t2)) / 120.0;
  const V A6 = (61.0 - 58.0 * t2 + t4 + eta2 * (270.0 - 330.0 * t2)) / 360.0;
  const V A7 = (61.0 - 479.0 * t2 + 179.0 * t4 - t4 * t2) / 5040.0;

  const V L2 = L * L;
  const V E = A1 * L * (1.0 + L2 * (A3 + L2 * (A5 + A7 * L2))) + E0_;
  const V N = (S - Sb_) + A2 * L2 * (1.0 + L2 * (A4 + A6 * L2)) + N0_;
  east = E;
  north = N;
}

template <typename V>
void TransverseMercator::Reverse(const V& east, const V& north, V& lon,
                                 V& lat) const noexcept {
  using std::sqrt;
  using std::tan;
  const V omega = (north - N0_ + Sb_) / (r_ * k0_);
  V sw, cw;
  SinCos(omega, sw, cw);
  const V cw2 = cw * cw;
  const V phif = omega + sw * cw * (((V6_ * cw2 + V4_) * cw2 + V2_) * cw2 + V0_);

  V sf, cf;
  SinCos(phif, sf, cf);
  const V t = tan(phif);
  const V t2 = t * t;
  const V t4 = t2 * t2;
  const V eta2 = cf * cf * e2_ / (1.0 - e2_);
  const V eta4 = eta2 * eta2;

  const V Rf = k0_ * a_ / sqrt(1.0 - e2_ * (sf * sf));
  const V Q = (east - E0_) / Rf;

  const V B2 = -t * (1.0 + eta2) / 2.0;
  const V B3 = -(1.0 + 2.0 * t2 + eta2) / 6.0;
  const V B4 = -(5.0 + 3.0 * t2 + eta2 * (1.0 - 9.0 * t2) - 4.0 * eta4) / 12.0;
  const V B5 = (5.0 + 28.0 * t2 + 24.0 * t4 + eta2 * (6.0 + 8.0 * t2)) / 120.0;
  const V B6 = (61.0 + 90.0 * t2 + 45.0 * t4 + eta2 * (46.0 - 252.0 * t2 - 90.0 * t4)) / 360.0;
  const V B7 = -(61.0 + 662.0 * t2 + 1320.0 * t4 + 720.0 * (t4 * t2)) / 5040.0;

  const V Q2 = Q * Q;
  const V phi = phif + B2 * Q2 * (1.0 + Q2 * (B4 + B6 * Q2));
  const V L = Q * (1.0 + Q2 * (B3 + Q2 * (B5 + B7 * Q2)));
  const V lambda = lambda0_ - L / cf;
  lon = lambda * kRadToDeg;
  lat = phi * kRadToDeg;
}

template void TransverseMercator::Forward(const double&, const double&, double&,
                                          double&) const noexcept;
template void TransverseMercator::Reverse(const double&, const double&, double&,
                                          double&) const noexcept;
template void TransverseMercator::Forward(const Block&, const Block&, Block&,
                                          Block&) const noexcept;
template void TransverseMercator::Reverse(const Block&, const Block&, Block&,
                                          Block&) const noexcept;

TransverseMercator::PointTerms TransverseMercator::Terms(Pair geo) const noexcept {
  const double lambda = geo.x * kDegToRad;
  const double phi = geo.y * kDegToRad;
  const double t = std::tan(phi);
  const double c = std::cos(phi);
  const double eta2 = c * c * e2_ / (1.0 - e2_);
  const double A = (lambda - lambda0_) * c;
  return PointTerms{t, t * t, eta2, A * A, A};
}

double TransverseMercator::ScaleFactor(Pair geo) const noexcept {
  const auto [t, T, eta2, A2, A] = Terms(geo);
  const double H = (eta2 + 1.0) / 2.0;
  const double B = (5.0 - 4.0 * T + (9.0 - 24.0 * T) * eta2) / 12.0;
  return ((B * A2 + 1.0) * (A2 * H) + 1.0) * k0_;
}

double TransverseMercator::Convergence(Pair geo) const noexcept {
  const auto [t, T, eta2, A2, A] = Terms(geo);
  const double P = ((2.0 * eta2 + 3.0) * eta2 + 1.0) / 3.0;
  const double Q = (2.0 - T) / 15.0;
  const double gamma = ((Q * A2 + P) * A2 + 1.0) * (-t * A);
  return gamma * kRadToDeg;
}

}  // namespace lantrel::detail
