// The C boundary: handle layouts, the per-thread error record and the guard that keeps every
// C++ exception on this side of the interface.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

#include "lantrel/carter.hpp"
#include "lantrel/error.hpp"
#include "lantrel/lantrel.h"
#include "lantrel/point_errors.hpp"
#include "lantrel/position.hpp"

// Handles are heap boxes with their own reference count. A position box owns its position; a
// Carter box holds one strong reference to a Carter object, which positions share by reference.
struct lantrel_position {
  std::atomic<std::uint32_t> refs{1};
  lantrel::ZrGeoPosition object;
};

struct lantrel_carter {
  explicit lantrel_carter(std::shared_ptr<lantrel::zrCarter> c) : object(std::move(c)) {}
  std::atomic<std::uint32_t> refs{1};
  std::shared_ptr<lantrel::zrCarter> object;
};

// An error list handle owns the list an array call fills.
struct lantrel_point_errors {
  lantrel::PointErrors object;
};

namespace lantrel::automation {

/// Source of the errors this layer raises on its own (bad handles, bad pointers, bad text).
inline constexpr const char* kLayerSource = "lantrel";

/// Resets the calling thread's error record.
void ClearRecord() noexcept;
/// Stores a failure in the calling thread's error record and returns its number. Never throws:
/// when the texts cannot be copied, the record falls back to the out-of-memory error.
std::int32_t Record(std::int32_t number, std::string_view source,
                    std::string_view description) noexcept;

/// Raises a general run-time error of this layer (5, 7, 9, 51, 91) with its standard text.
[[noreturn]] void RaiseLayer(std::int32_t number);

/// Checks an object handle (error 91 when NULL) and returns the object.
ZrGeoPosition& Object(lantrel_position* handle);
zrCarter& Object(lantrel_carter* handle);
/// Checks a result pointer (error 5 when NULL).
template <typename T>
T* Out(T* pointer) {
  if (pointer == nullptr) RaiseLayer(errc::InvalidArgument);
  return pointer;
}

/// Text from the host: NULL reads as empty; malformed UTF-8 raises error 5.
std::string InText(const char* text);
/// Text to the host: a NUL-terminated, valid UTF-8 copy the host frees with lantrel_string_free.
/// Bytes that do not form valid UTF-8 are taken as Latin-1 characters.
char* OutText(const std::string& text);

/// Booleans at the interface: True = -1, False = 0; any nonzero input is True.
constexpr lantrel_bool ToBool(bool value) noexcept { return value ? LANTREL_TRUE : LANTREL_FALSE; }
constexpr bool FromBool(lantrel_bool value) noexcept { return value != 0; }

/// Runs `body` and turns its outcome into a status: 0, or the number of the error it raised,
/// which is also recorded for the calling thread. No exception leaves this function.
template <typename Body>
std::int32_t Guard(Body&& body) noexcept {
  ClearRecord();
  try {
    body();
    return 0;
  } catch (const Error& e) {
    // A failure must never read as success: an error numbered 0 is reported as internal.
    return Record(e.number() != 0 ? e.number() : 51, e.source(), e.description());
  } catch (const std::bad_alloc&) {
    return Record(7, kLayerSource, "Out of memory");
  } catch (const std::length_error&) {
    return Record(7, kLayerSource, "Out of memory");
  } catch (...) {
    return Record(51, kLayerSource, "Internal error");
  }
}

/// The list behind an optional error-list handle (NULL for none).
inline PointErrors* ListOf(lantrel_point_errors* errors) noexcept {
  return errors != nullptr ? &errors->object : nullptr;
}

/// As Guard, for an array call filling an optional error list: the list is empty when the
/// call fails.
template <typename Body>
std::int32_t GuardArray(lantrel_point_errors* errors, Body&& body) noexcept {
  const std::int32_t status = Guard(std::forward<Body>(body));
  if (status != 0 && errors != nullptr) errors->object.Clear();
  return status;
}

/// As Guard, for calls that hand a string or handle back: the output is NULL on failure.
template <typename T, typename Body>
std::int32_t GuardOut(T** out, Body&& body) noexcept {
  const std::int32_t status = Guard(std::forward<Body>(body));
  if (status != 0 && out != nullptr) *out = nullptr;
  return status;
}

}  // namespace lantrel::automation
