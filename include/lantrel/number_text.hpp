/// \file
/// lantrel — reading decimal numbers without locale or stream overhead.
#pragma once

#include <optional>
#include <string_view>

namespace lantrel {

/// A finite decimal number filling the whole text (an optional leading '+' or '-', digits,
/// decimal point, exponent). Anything else, including "nan", "inf", hexadecimal and blanks,
/// gives nothing. Thread-safe.
std::optional<double> ParseDecimal(std::string_view text);

}  // namespace lantrel
