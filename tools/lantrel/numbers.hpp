// Reading and writing numbers without locale or stream overhead.
#pragma once

#include <optional>
#include <string_view>

namespace lantrel::cli {

/// A finite decimal number filling the whole text (an optional leading '+' or '-', digits,
/// decimal point, exponent). Anything else, including "nan" and "inf", gives nothing.
std::optional<double> ParseNumber(std::string_view text);

/// Longest text FormatFixed can write: sign, 309 integer digits, point, 17 decimals.
inline constexpr int kMaxFixedChars = 330;
/// Highest number of decimals the tool writes.
inline constexpr int kMaxPrecision = 17;

/// Writes v with exactly `decimals` digits after the point (none and no point for 0),
/// correctly rounded, into out (room for kMaxFixedChars); returns the end. A value that
/// rounds to zero is written without a minus sign.
char* FormatFixed(char* out, double v, int decimals);

/// Room FormatShortest needs.
inline constexpr int kMaxShortestChars = 32;
/// Writes the shortest decimal text that reads back as exactly v (scale factors and
/// convergences, which no fixed count of decimals suits); returns the end.
char* FormatShortest(char* out, double v);

}  // namespace lantrel::cli
