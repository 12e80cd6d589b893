// Writing JSON text: strings with the escapes JSON requires.
#pragma once

#include <string>
#include <string_view>

namespace lantrel::cli {

/// Appends text as a JSON string literal, quotes included, always valid JSON (RFC 8259) in
/// valid UTF-8. Quote, backslash and control characters are escaped; well-formed UTF-8
/// passes unchanged. A byte that is not part of well-formed UTF-8 is written as \u00XX, the
/// character of the same number: input in Latin-1 then reads right, and the original bytes
/// stay recoverable, since a character U+0080-U+00FF of valid input is written as itself and
/// never as an escape.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace lantrel::cli
