// Writing JSON text: strings with the escapes JSON requires.
#pragma once

#include <string>
#include <string_view>

namespace lantrel::cli {

/// Appends text as a JSON string literal, quotes included. Quote, backslash and control
/// characters are escaped; other bytes (UTF-8) pass unchanged.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace lantrel::cli
