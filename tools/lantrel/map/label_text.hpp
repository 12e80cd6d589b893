// The text the map prints: always valid UTF-8, whatever encoding the input was written in.
#pragma once

#include <string>
#include <string_view>

namespace lantrel::cli::map {

/// The text itself when it is UTF-8; otherwise the text read as an 8-bit Western European
/// file (Latin-1, with Windows' printable characters in 0x80-0x9F) and written as UTF-8.
/// The five bytes Windows leaves undefined become U+FFFD.
std::string AsUtf8(std::string_view text);

/// A label from the text after a point's coordinates: separators and blanks trimmed, made
/// UTF-8, and cut at a character boundary to at most `maxBytes` bytes.
std::string LabelOf(std::string_view rest, std::size_t maxBytes = 40);

}  // namespace lantrel::cli::map
