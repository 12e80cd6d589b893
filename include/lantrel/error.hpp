// lantrel — the one exception type the library raises.
//
// Every failure carries the automation-style triple: a 32-bit signed number, a source and a
// description (help file and context are always empty). The library's own errors are the
// object-error base 0x80040000 plus an offset; general run-time errors keep their standard
// numbers (5, 6, 9, 11).
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace lantrel {

/// Automation object-error base, 0x80040000 as a signed 32-bit value.
inline constexpr std::int32_t kObjectErrorBase = -2147221504;

/// Error numbers the library raises.
namespace errc {
inline constexpr std::int32_t InvalidArgument = 5;     // "Invalid procedure call or argument"
inline constexpr std::int32_t Overflow = 6;            // "Overflow"
inline constexpr std::int32_t SubscriptOutOfRange = 9; // "Subscript out of range"
inline constexpr std::int32_t DivisionByZero = 11;     // "Division by zero"
inline constexpr std::int32_t InvalidFileFormat = 321; // "Invalid file format"
inline constexpr std::int32_t InvalidDatum = kObjectErrorBase + 1001;
inline constexpr std::int32_t InvalidProjection = kObjectErrorBase + 1002;
inline constexpr std::int32_t InvalidUnits = kObjectErrorBase + 1003;
inline constexpr std::int32_t DataNotLoaded = kObjectErrorBase + 1010;
inline constexpr std::int32_t InvalidCarterSection = kObjectErrorBase + 1011;
inline constexpr std::int32_t InvalidCarterNumber = kObjectErrorBase + 1012;
inline constexpr std::int32_t InvalidCarterLetter = kObjectErrorBase + 1013;
}  // namespace errc

class Error : public std::exception {
 public:
  Error(std::int32_t number, std::string source, std::string description);

  std::int32_t number() const noexcept { return number_; }
  const std::string& source() const noexcept { return source_; }
  const std::string& description() const noexcept { return description_; }
  /// Help fields of the automation error record; always empty.
  const std::string& helpFile() const noexcept { return helpFile_; }
  std::int32_t helpContext() const noexcept { return 0; }

  const char* what() const noexcept override { return description_.c_str(); }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
  std::string helpFile_;
};

/// Standard text of a general run-time error number (5, 6, 9, 11, ...).
std::string RuntimeErrorText(std::int32_t number);

}  // namespace lantrel
