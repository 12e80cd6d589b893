/// \file
/// lantrel — short, printable quotes of input text for messages.
// Every message of the library's text rules and of the tool that quotes input (a value, a
// column name, an option) quotes it through Excerpt, so a message stays one printable line of
// valid UTF-8 whatever it was given. Pure functions, thread-safe.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lantrel {

/// Longest stretch of input a message quotes, in bytes.
inline constexpr std::size_t kExcerptBytes = 40;

/// The text in single quotes, escaped so a message stays one printable line of valid UTF-8:
/// backslash and quote get a backslash, tab, CR and LF become \\t \\r \\n, other control bytes
/// and bytes that are not part of well-formed UTF-8 become \\xNN. Text longer than `limit`
/// bytes is cut at a character boundary and followed by "... (N bytes)".
std::string Excerpt(std::string_view text, std::size_t limit = kExcerptBytes);

/// A message text from elsewhere (the library's descriptions quote what they were given)
/// made one printable line of at most `limit` bytes, escaped like Excerpt but unquoted.
std::string OneLine(std::string_view text, std::size_t limit = 200);

/// A file name for a message, escaped like OneLine but not cut (the system bounds names).
inline std::string ShownName(std::string_view name) { return OneLine(name, 4096); }

}  // namespace lantrel
