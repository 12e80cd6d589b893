/// \file
/// lantrel — well-formed UTF-8, as strict readers (JSON parsers, terminals, Python) take it.
// Pure functions, thread-safe.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lantrel {

/// Length (1 to 4) of the well-formed UTF-8 sequence starting at text[i], or 0 when the bytes
/// there are not one: a stray continuation byte, a cut sequence, an overlong form, a surrogate
/// (U+D800-U+DFFF) or a code point beyond U+10FFFF. i must be below text.size().
std::size_t Utf8Length(std::string_view text, std::size_t i);

/// Whether the whole text is well-formed UTF-8.
bool ValidUtf8(std::string_view text);

/// The text itself when it is well-formed UTF-8; otherwise the text read as 8-bit Windows-1252
/// (Latin-1 with Windows' printable characters in 0x80-0x9F) and written as UTF-8, the five
/// bytes the code page leaves undefined as U+FFFD. For labels and names from files of unknown
/// encoding.
std::string AsUtf8(std::string_view text);

}  // namespace lantrel
