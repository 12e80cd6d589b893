// One Lambert conformal conic zone, built from its zone record.
//
// Formulas: the two-parallel Lambert conformal conic of the State Plane Coordinate System of
// 1983 in its mapping-radius form (R = K / exp(n * Q), Q the isometric latitude), with Rb, K
// and n taken from the zone record as stored rather than recomputed from the parallels. The
// inverse starts from the spherical solution for sin(phi) and takes exactly three
// Newton-Raphson steps, with no convergence test, so every call does the same arithmetic.
// Scale factor and convergence are the closed forms k = rho * W * n / (a * cos(phi)) and
// gamma = n * (lambda0 - lambda).
//
// Accuracy over 81.5-90 W, 36-39.5 N, against an independent ellipsoidal implementation on the
// same zone definitions: forward and inverse within about 1e-4 mm for every record (at most
// 4e-5 mm on NAD 83, 1.1e-4 mm on NAD 27); forward then inverse returns the input within
// 1e-12 degrees (the third Newton step leaves an error below 1e-13 degrees even 11.5 degrees
// from the central meridian). See docs/projection.md.
//
// The methods do plain double arithmetic in a fixed order; they do not check floating-point
// faults. The checked entry points, with unit scaling, are those of projection/lambert.hpp.
#pragma once

#include "lantrel/pair.hpp"
#include "projection/zone_table.hpp"

namespace lantrel::detail {

class LambertConformalConic {
 public:
  explicit constexpr LambertConformalConic(const ZoneRecord& z) noexcept
      : a_(z.a), e_(z.e), e2_(z.e2), lambda0_(z.lambda0), N0_(z.N0), E0_(z.E0), Rb_(z.Rb),
        K_(z.K), n_(z.n) {}

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
  /// Isometric latitude of the latitude whose sine is s.
  template <typename V>
  V Isometric(const V& s) const noexcept;

  double a_, e_, e2_, lambda0_, N0_, E0_, Rb_, K_, n_;
};

}  // namespace lantrel::detail
