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

#include "lantrel/array_threads.hpp"
#include "lantrel/point_errors.hpp"
#include "lantrel/system.hpp"

#if __cplusplus >= 202002L
#include <span>
#endif

namespace lantrel {

/// Per-point outcome of a conversion: 0 when the point converted.
inline constexpr std::int32_t kTransformDone = 0;
/// Per-point outcome: the datum change was refused, the point lies outside the shift window.
inline constexpr std::int32_t kTransformOutsideShiftWindow = 4;

/// Converts arrays of points from one coordinate system to another.
///
/// Thread rule: immutable after construction; Transform may run on many threads at once.
class Transformer {
 public:
  /// Builds the conversion `from` -> `to` (the EPSG codes they were named by play no part).
  /// `westPositive` is the position's WestPositive: the sign a geographic result's longitude
  /// is given (input longitudes are read as magnitudes, as the x let does). It has no default:
  /// a position reads west positive, the tool and the Python package write west longitudes
  /// negative, so every caller says which it wants.
  ///
  /// Errors (lantrel::Error): the source codes are validated in the order of the lets
  /// (projection 1002, datum 1001, units 1003), the target codes in Convert's order (datum
  /// 1001, units 1003, projection 1002), each with the position's description. Error 5 for
  /// the Carter system (not a coordinate pair) and for a combination the position would
  /// silently change: the single zone on NAD 27, decimal degrees on a plane zone, a linear unit
  /// on the geographic system.
  Transformer(System from, System to, bool westPositive);

  /// The source system.
  System From() const noexcept { return from_; }
  /// The target system.
  System To() const noexcept { return to_; }
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
  /// The same, and `errors` (when not null; emptied first) receives the record of every point
  /// whose status is not 0: the number, source and description the per-point conversion
  /// raised (for status 4, source "lantrel:Transformer:" and the reason), in input order.
  /// Results and statuses are those of the call without it, bit for bit.
  void Transform(std::size_t count, const double* x, const double* y, double* outX,
                 double* outY, std::int32_t* status, PointErrors* errors) const;
  /// The same on up to `threads` threads: 1 is the caller's thread alone (what the forms
  /// without it do), 0 every core (std::thread::hardware_concurrency), N at most N. Arrays
  /// below kArrayThreadThreshold points stay on the caller's thread. Results, statuses and
  /// `errors` (in input order, indices in the whole array) are the same, bit for bit, whatever
  /// the count. `errors` may be null. Throws only what the forms without it throw (and
  /// std::bad_alloc), on the caller's thread.
  void Transform(std::size_t count, const double* x, const double* y, double* outX,
                 double* outY, std::int32_t* status, PointErrors* errors,
                 unsigned threads) const;

#if __cplusplus >= 202002L
  /// The same over spans; every span must have the length of `x` (error 5 otherwise).
  void Transform(std::span<const double> x, std::span<const double> y, std::span<double> outX,
                 std::span<double> outY, std::span<std::int32_t> status) const;
  /// The same over spans, with the errors of the failed points.
  void Transform(std::span<const double> x, std::span<const double> y, std::span<double> outX,
                 std::span<double> outY, std::span<std::int32_t> status,
                 PointErrors* errors) const;
#endif

 private:
  System from_;
  System to_;
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
/// `errors`, when not null, is emptied and receives the record of every failed point as
/// Transformer::Transform gives it.
///
/// Thread rule: a pure function; safe on any number of threads.
void GridFactors(System system, bool westPositive, std::size_t count, const double* x,
                 const double* y, double* scaleFactor, double* convergence,
                 std::int32_t* status, PointErrors* errors);
/// GridFactors on up to `threads` threads, as Transformer::Transform counts them (1 the
/// caller's thread, 0 every core, N at most N); the outcome is the same whatever the count.
void GridFactors(System system, bool westPositive, std::size_t count, const double* x,
                 const double* y, double* scaleFactor, double* convergence,
                 std::int32_t* status, PointErrors* errors, unsigned threads);
/// GridFactors without the errors of the failed points.
void GridFactors(System system, bool westPositive, std::size_t count, const double* x,
                 const double* y, double* scaleFactor, double* convergence,
                 std::int32_t* status);

}  // namespace lantrel
