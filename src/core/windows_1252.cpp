#include "core/windows_1252.hpp"

#include <array>

namespace lantrel::detail {

namespace {

// Code points of bytes 0x80-0x9F (0 for the five undefined ones); the rest of the code page
// equals Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string Windows1252ToUtf8(const unsigned char* bytes, std::size_t size,
                              UndefinedBytes undefined) {
  std::string out;
  out.reserve(size + size / 2);
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned char b = bytes[i];
    char32_t c = b;
    if (b >= 0x80 && b < 0xA0) {
      c = kHigh[b - 0x80];
      if (c == 0) c = undefined == UndefinedBytes::Controls ? char32_t{b} : char32_t{0xFFFD};
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace lantrel::detail
