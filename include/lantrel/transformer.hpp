/// \file
/// lantrel — array conversion: many points from one coordinate system to another in one call.
//
// A Transformer is built once from a source and a target system and then converts arrays of
// x and y. Every point's result equals, bit for bit, what a new ZrGeoPosition gives after the
// lets Projection, Datum, Units, WestPositive, x and y of the source system and a Convert to
// the target: the same |x| rule of the x let, the same datum-shift window and refusal, the same
// errors. Failures are reported per point, so one bad point never stops the others.
//
// A Transformer is immutable once built; one instance may be used by many threads at once.
#pragma once

#include <cstddef>
#include <cstdint>

#if __cplusplus >= 202002L
#include <span>
#endif

namespace lantrel {

/// One coordinate system as the three raw codes of zrGeoProjection, zrGeoDatum and zrGeoUnits.
struct CoordinateSystem {
  std::int32_t projection = 5;  ///< zrGeoProjection code (5 = zrGeographic)
  std::int32_t datum = 0;       ///< zrGeoDatum code (0 = zrNAD83)
  std::int32_t units = 0;       ///< zrGeoUnits code (0 = zrDecimalDegrees)
};

/// Per-point outcome of a conversion: 0 when the point converted.
inline constexpr std::int32_t kTransformDone = 0;
/// Per-point outcome: the datum change was refused, the point lies outside the shift window.
inline constexpr std::int32_t kTransformOutsideShiftWindow = 4;

/// Converts arrays of points from one coordinate system to another.
///
/// Thread rule: immutable after construction; Transform may run on many threads at once.
class Transformer {
 public:
  /// Builds the conversion `from` -> `to`. `westPositive` is the position's WestPositive: the
  /// sign a geographic result's longitude is given (input longitudes are read as magnitudes,
  /// as the x let does).
  ///
  /// Errors (lantrel::Error): the source codes are validated in the order of the lets
  /// (projection 1002, datum 1001, units 1003), the target codes in Convert's order (datum
  /// 1001, units 1003, projection 1002), each with the position's description. Error 5 for
  /// the Carter system (not a coordinate pair) and for a combination the position would
  /// silently change: the single zone on NAD 27, decimal degrees on a plane zone, a linear unit
  /// on the geographic system.
  Transformer(CoordinateSystem from, CoordinateSystem to, bool westPositive = true);

  /// The source system.
  CoordinateSystem From() const noexcept { return from_; }
  /// The target system.
  CoordinateSystem To() const noexcept { return to_; }
  /// The sign convention of geographic longitudes in the results.
  bool WestPositive() const noexcept { return westPositive_; }

  /// Converts `count` points (x[i], y[i]) into (outX[i], outY[i]) with status[i]: 0, 4 when
  /// the datum change is refused outside the shift window, or the number of the error a
  /// position would raise for that point. Outputs are NaN wherever status is not 0. The output
  /// arrays may be the input arrays; otherwise arrays must not overlap.
  ///
  /// Errors: 5 when an array is a null pointer and `count` is not 0; nothing is written then.
  /// A count of 0 does nothing.
  void Transform(std::size_t count, const double* x, const double* y, double* outX,
                 double* outY, std::int32_t* status) const;

#if __cplusplus >= 202002L
  /// The same over spans; every span must have the length of `x` (error 5 otherwise).
  void Transform(std::span<const double> x, std::span<const double> y, std::span<double> outX,
                 std::span<double> outY, std::span<std::int32_t> status) const;
#endif

 private:
  CoordinateSystem from_;
  CoordinateSystem to_;
  bool westPositive_;
};

/// Grid scale factor and meridian convergence (degrees) of `count` points in `system`, each
/// bit-identical to a position's ScaleFactor and Convergence after the lets Projection, Datum,
/// Units, WestPositive, x and y. status[i] is 0 or the number of the error the position would
/// raise (the scale factor's error when both fail); both outputs are NaN where it is not 0.
///
/// Errors (lantrel::Error): the codes are validated as a Transformer's source system; error 5
/// when an array is a null pointer and `count` is not 0.
///
/// Thread rule: a pure function; safe on any number of threads.
void GridFactors(CoordinateSystem system, bool westPositive, std::size_t count, const double* x,
                 const double* y, double* scaleFactor, double* convergence,
                 std::int32_t* status);

}  // namespace lantrel
