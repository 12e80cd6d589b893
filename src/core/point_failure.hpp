// The status of one failed point of an array call, and its record for a caller that asked for
// the errors of its points (lantrel/point_errors.hpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "lantrel/error.hpp"
#include "lantrel/point_errors.hpp"

namespace lantrel::detail {

/// Status of an internal failure (anything but lantrel::Error).
inline constexpr std::int32_t kInternalError = 51;

/// Notes that point `index` failed with `number`, `source` and `description`: adds the record
/// to `errors` when given, and returns the point's status. An error numbered 0 is reported as
/// internal (51), so that a failed point never reads as a success. Throws only std::bad_alloc.
inline std::int32_t NoteFailure(PointErrors* errors, std::size_t index, std::int32_t number,
                                const std::string& source, const std::string& description) {
  const std::int32_t status = number != 0 ? number : kInternalError;
  if (errors != nullptr) errors->Add(index, status, source, description);
  return status;
}

/// The same for an error the library raised.
inline std::int32_t NoteFailure(PointErrors* errors, std::size_t index, const Error& e) {
  return NoteFailure(errors, index, e.number(), e.source(), e.description());
}

/// The same for a failure that is no lantrel::Error.
inline std::int32_t NoteInternalFailure(PointErrors* errors, std::size_t index,
                                        const std::string& source) {
  return NoteFailure(errors, index, kInternalError, source, "Internal error");
}

}  // namespace lantrel::detail
