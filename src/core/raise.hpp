// Raising the library's errors: the exact numbers, sources and descriptions hosts rely on.
#pragma once

#include <cstdint>
#include <string>

#include "lantrel/error.hpp"

namespace lantrel::detail {

/// Source prefix of every member of the position class.
inline constexpr const char* kPositionSource = "lantrel:zrGeoPosition:";
/// Source prefix of every member of the Carter class.
inline constexpr const char* kCarterSource = "lantrel:zrGeoPosition:zrCarter:";
/// Source of general run-time errors (subscript, arithmetic) raised inside the library.
inline constexpr const char* kRuntimeSource = "lantrel";

/// Raises a general run-time error (5, 6, 9, 11) with its standard text.
[[noreturn]] void RaiseRuntime(std::int32_t number);

/// Raises error 9 unless 0 <= index <= last.
inline void CheckIndex(std::int64_t index, std::int64_t last) {
  if (index < 0 || index > last) RaiseRuntime(errc::SubscriptOutOfRange);
}

}  // namespace lantrel::detail
