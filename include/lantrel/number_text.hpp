/// \file
/// lantrel — decimal numbers read and written without locale or stream overhead.
// The output forms are the ones the command-line tool writes and its recorded outputs hold byte
// for byte; the fixed form is fast enough for millions of numbers a second. Pure functions,
// thread-safe.
#pragma once

#include <optional>
#include <string_view>

namespace lantrel {

/// A finite decimal number filling the whole text (an optional leading '+' or '-', digits,
/// decimal point, exponent). Anything else, including "nan", "inf", hexadecimal and blanks,
/// gives nothing. Thread-safe.
std::optional<double> ParseDecimal(std::string_view text);

/// Longest text FormatFixed can write: sign, 309 integer digits, point, 17 decimals.
inline constexpr int kMaxFixedChars = 330;
/// Highest number of decimals FormatFixed writes.
inline constexpr int kMaxPrecision = 17;

/// Writes v with exactly `decimals` digits after the point (none and no point for 0; taken
/// into 0 to kMaxPrecision), correctly rounded, into out (room for kMaxFixedChars); returns
/// the end. A value that rounds to zero is written without a minus sign; NaN and infinities
/// as std::to_chars writes them ("nan", "-nan", "inf", "-inf").
char* FormatFixed(char* out, double v, int decimals);

/// Room FormatShortest needs.
inline constexpr int kMaxShortestChars = 32;
/// Writes the shortest decimal text that reads back as exactly v (scale factors and
/// convergences, which no fixed count of decimals suits); returns the end.
char* FormatShortest(char* out, double v);

}  // namespace lantrel
