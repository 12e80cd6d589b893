// 8-bit Windows-1252 text (Latin-1 with Windows' printable characters in 0x80-0x9F) to UTF-8:
// the encoding of the data file's names and of many spreadsheets' exports.
#pragma once

#include <cstddef>
#include <string>

namespace lantrel::detail {

/// What the five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become.
enum class UndefinedBytes {
  Controls,     ///< the C1 control characters of the same value (what the data file stores)
  Replacement,  ///< U+FFFD, for text shown to people
};

std::string Windows1252ToUtf8(const unsigned char* bytes, std::size_t size,
                              UndefinedBytes undefined = UndefinedBytes::Controls);

}  // namespace lantrel::detail
