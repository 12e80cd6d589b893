// One Transverse Mercator zone, built from its zone record.
//
// Formulas: the Transverse Mercator series of the State Plane Coordinate System of 1983.
// Latitudes pass through the rectifying latitude (U coefficients geodetic -> rectifying,
// V coefficients rectifying -> footpoint, each a cosine-power series in Horner form); easting
// and northing are power series in the longitude difference L = (lambda - lambda0) cos(phi),
// through L^7 (coefficients A1-A7), and the inverse is the matching series in
// Q = (E - E0) / Rf through Q^7 (coefficients B2-B7). There is no iteration in either
// direction. Scale factor and convergence are the series through A^4 in A = (lambda - lambda0)
// cos(phi).
//
// Accuracy against the exact (Krueger-order) Transverse Mercator on the same zone definitions:
// sub-millimetre forward within about 5.5 degrees of the central meridian; the error grows
// with the ninth power of the distance, to a few millimetres forward and tens of millimetres
// inverse 9 degrees out, the farthest the served window 81.5-90 W lies from any of these
// zones. Figures per zone are in docs/projection.md.
//
// The methods do plain double arithmetic in a fixed order; they do not check floating-point
// faults. The checked entry points, with unit scaling, are those of
// projection/transverse_mercator.hpp.
#pragma once

#include "lantrel/pair.hpp"
#include "projection/zone_table.hpp"

namespace lantrel::detail {

class TransverseMercator {
 public:
  explicit constexpr TransverseMercator(const ZoneRecord& z) noexcept
      : a_(z.a), e2_(z.e2), lambda0_(z.lambda0), N0_(z.N0), E0_(z.E0), k0_(z.k0), r_(z.r),
        Sb_(z.Sb), U0_(z.U0), U2_(z.U2), U4_(z.U4), U6_(z.U6), V0_(z.V0), V2_(z.V2),
        V4_(z.V4), V6_(z.V6) {}

  /// Geographic (west-positive longitude, latitude) in degrees -> (easting, northing) in metres.
  Pair Forward(Pair geo) const noexcept {
    Pair plane;
    Forward(geo.x, geo.y, plane.x, plane.y);
    return plane;
  }
  /// (Easting, northing) in metres -> geographic degrees, longitude west-positive.
  Pair Reverse(Pair plane) const noexcept {
    Pair geo;
    Reverse(plane.x, plane.y, geo.x, geo.y);
    return geo;
  }
  /// The same formulas over a number type: double for one point, Lanes<N> for N points side
  /// by side (projection/lanes.hpp). Instantiated for double and Block.
  template <typename V>
  void Forward(const V& lon, const V& lat, V& east, V& north) const noexcept;
  template <typename V>
  void Reverse(const V& east, const V& north, V& lon, V& lat) const noexcept;
  /// Point scale factor at a geographic point (degrees).
  double ScaleFactor(Pair geo) const noexcept;
  /// Meridian convergence in degrees at a geographic point, positive east of the central
  /// meridian.
  double Convergence(Pair geo) const noexcept;

 private:
  /// Terms at a point shared by the scale factor and the convergence.
  struct PointTerms {
    double t, T, eta2, A2, A;
  };
  PointTerms Terms(Pair geo) const noexcept;

  double a_, e2_, lambda0_, N0_, E0_, k0_, r_, Sb_;
  double U0_, U2_, U4_, U6_, V0_, V2_, V4_, V6_;
};

}  // namespace lantrel::detail
