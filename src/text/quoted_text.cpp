#include "lantrel/quoted_text.hpp"

#include "lantrel/utf8_text.hpp"

namespace lantrel {

namespace {

void Hex(std::string& out, unsigned char b) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += "\\x";
  out += kDigits[b >> 4];
  out += kDigits[b & 15];
}

// Appends the escaped form of text up to `limit` input bytes; returns the bytes taken.
std::size_t Escape(std::string& out, std::string_view text, std::size_t limit, bool quoteMark) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t n = Utf8Length(text, i);
    if (i + (n == 0 ? 1 : n) > limit) break;
    const auto b = static_cast<unsigned char>(text[i]);
    if (n == 0) {
      Hex(out, b);
      ++i;
      continue;
    }
    if (n > 1) {
      out.append(text.substr(i, n));
      i += n;
      continue;
    }
    switch (b) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\'':
        if (quoteMark) out += '\\';
        out += '\'';
        break;
      default:
        if (b < 0x20 || b == 0x7F) Hex(out, b);
        else out += static_cast<char>(b);
    }
    ++i;
  }
  return i;
}

}  // namespace

std::string Excerpt(std::string_view text, std::size_t limit) {
  std::string out = "'";
  const std::size_t taken = Escape(out, text, limit, true);
  out += '\'';
  if (taken < text.size()) out += "... (" + std::to_string(text.size()) + " bytes)";
  return out;
}

std::string OneLine(std::string_view text, std::size_t limit) {
  std::string out;
  const std::size_t taken = Escape(out, text, limit, false);
  if (taken < text.size()) out += "...";
  return out;
}

}  // namespace lantrel
