// The text the map prints: always valid UTF-8, whatever encoding the input was written in.
#pragma once

#include <string>
#include <string_view>

namespace lantrel::cli::map {

/// A label from the text after a point's coordinates: separators and blanks trimmed, made
/// UTF-8, and cut at a character boundary to at most `maxBytes` bytes.
std::string LabelOf(std::string_view rest, std::size_t maxBytes = 40);

}  // namespace lantrel::cli::map
