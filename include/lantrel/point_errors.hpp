/// \file
/// lantrel — the errors of the points of one array call.
//
// Every array call (Transformer::Transform, GridFactors, the Carter location arrays,
// Locator::Locate) reports each point's outcome in its status array: 0, or the number of the
// error that point raised. A PointErrors passed to the call receives, in the same call, the
// whole record of every failed point: its index, number, source and description, as the
// library raised them. Successful points add nothing, so a mostly good array costs nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lantrel {

class Error;

/// The error of one point: where it is in the input and what the library raised for it.
struct PointError {
  std::size_t index = 0;    ///< the point's position in the input arrays
  std::int32_t number = 0;  ///< the error number, the point's status
  std::string source;       ///< where the error arose, e.g. "lantrel:Transformer:"
  std::string description;  ///< the error's text
};

/// The failed points of one array call, in input order.
///
/// Thread rule: one object is filled by one call at a time; read it from any thread after.
class PointErrors {
 public:
  /// Empties the list; an array call does this on entry.
  void Clear() noexcept { errors_.clear(); }
  /// Adds the error of point `index`. Throws only std::bad_alloc.
  void Add(std::size_t index, std::int32_t number, std::string source, std::string description);
  /// Adds an error record the library raised for point `index`.
  void Add(std::size_t index, const Error& error);

  /// Number of failed points.
  std::size_t size() const noexcept { return errors_.size(); }
  /// Whether every point succeeded.
  bool empty() const noexcept { return errors_.empty(); }
  /// Failed point k (k below size()), in input order.
  const PointError& operator[](std::size_t k) const { return errors_[k]; }
  /// Start of the failed points.
  std::vector<PointError>::const_iterator begin() const noexcept { return errors_.begin(); }
  /// End of the failed points.
  std::vector<PointError>::const_iterator end() const noexcept { return errors_.end(); }

 private:
  std::vector<PointError> errors_;
};

}  // namespace lantrel
