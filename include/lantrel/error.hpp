/// \file
/// lantrel — the one exception type the library raises.
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
inline constexpr std::int32_t InvalidArgument = 5;      ///< "Invalid procedure call or argument"
inline constexpr std::int32_t Overflow = 6;             ///< "Overflow"
inline constexpr std::int32_t SubscriptOutOfRange = 9;  ///< "Subscript out of range"
inline constexpr std::int32_t DivisionByZero = 11;      ///< "Division by zero"
inline constexpr std::int32_t InvalidFileFormat = 321; ///< "Invalid file format": a damaged data file
/// A datum code other than 0 and 1 (Datum, Convert).
inline constexpr std::int32_t InvalidDatum = kObjectErrorBase + 1001;
/// A projection code outside 0–15 (Projection, Convert).
inline constexpr std::int32_t InvalidProjection = kObjectErrorBase + 1002;
/// A units code outside 0–5 (Units, Convert).
inline constexpr std::int32_t InvalidUnits = kObjectErrorBase + 1003;
/// A state, county or quadrangle property read while no reference data file is loaded.
inline constexpr std::int32_t DataNotLoaded = kObjectErrorBase + 1010;
/// A Carter section outside 1–25.
inline constexpr std::int32_t InvalidCarterSection = kObjectErrorBase + 1011;
/// A Carter block number outside 0–92.
inline constexpr std::int32_t InvalidCarterNumber = kObjectErrorBase + 1012;
/// An empty or invalid Carter block letter.
inline constexpr std::int32_t InvalidCarterLetter = kObjectErrorBase + 1013;
}  // namespace errc

/// The exception every failing member raises: number, source and description.
///
/// Thread rule: an immutable value; copies may be read from any thread.
class Error : public std::exception {
 public:
  /// An error record; the library raises these, hosts rarely make them. Throws only
  /// std::bad_alloc.
  Error(std::int32_t number, std::string source, std::string description);

  /// The error number (see errc). Never throws.
  std::int32_t number() const noexcept { return number_; }
  /// Where the error arose, e.g. "lantrel:zrGeoPosition:Datum:". Never throws.
  const std::string& source() const noexcept { return source_; }
  /// The error's text. Never throws.
  const std::string& description() const noexcept { return description_; }
  /// Help file of the automation error record; always empty. Never throws.
  const std::string& helpFile() const noexcept { return helpFile_; }
  /// Help context of the automation error record; always 0. Never throws.
  std::int32_t helpContext() const noexcept { return 0; }

  /// The description, for code that catches std::exception. Never throws.
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
  std::string helpFile_;
};

/// Standard text of a general run-time error number (5, 6, 9, 11, ...). Any thread; throws
/// only std::bad_alloc.
std::string RuntimeErrorText(std::int32_t number);

}  // namespace lantrel
