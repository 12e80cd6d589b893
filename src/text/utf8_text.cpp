#include "lantrel/utf8_text.hpp"

#include "core/windows_1252.hpp"

namespace lantrel {

std::size_t Utf8Length(std::string_view text, std::size_t i) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char b = at(i);
  if (b < 0x80) return 1;
  std::size_t n;
  // The range of the second byte: narrower after E0, ED, F0 and F4 (overlong forms,
  // surrogates, code points beyond U+10FFFF).
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3;
    if (b == 0xE0) low = 0xA0;
    if (b == 0xED) high = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
    if (b == 0xF0) low = 0x90;
    if (b == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - i < n) return 0;
  if (at(i + 1) < low || at(i + 1) > high) return 0;
  for (std::size_t k = 2; k < n; ++k) {
    if ((at(i + k) & 0xC0) != 0x80) return 0;
  }
  return n;
}

bool ValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = Utf8Length(text, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string AsUtf8(std::string_view text) {
  if (ValidUtf8(text)) return std::string(text);
  return detail::Windows1252ToUtf8(reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                                   detail::UndefinedBytes::Replacement);
}

}  // namespace lantrel
