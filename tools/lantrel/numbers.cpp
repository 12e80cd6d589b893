#include "numbers.hpp"

#include <charconv>
#include <cmath>

namespace lantrel::cli {

std::optional<double> ParseNumber(std::string_view text) {
  const char* first = text.data();
  const char* last = first + text.size();
  const bool plus = first != last && *first == '+';
  if (plus) ++first;
  // from_chars would take "inf" and "nan"; coordinates must start with a digit or a point.
  const char* digits = (!plus && first != last && *first == '-') ? first + 1 : first;
  if (digits == last || !((*digits >= '0' && *digits <= '9') || *digits == '.')) {
    return std::nullopt;
  }
  double v = 0.0;
  auto [end, ec] = std::from_chars(first, last, v, std::chars_format::general);
  if (ec != std::errc() || end != last || !std::isfinite(v)) return std::nullopt;
  return v;
}

char* FormatFixed(char* out, double v, int decimals) {
  auto [end, ec] = std::to_chars(out, out + kMaxFixedChars, v, std::chars_format::fixed, decimals);
  if (ec != std::errc()) {
    // Cannot happen for finite values within the buffer size; write something visible.
    *out = '?';
    return out + 1;
  }
  if (*out == '-') {
    bool zero = true;
    for (const char* p = out + 1; p != end; ++p) {
      if (*p != '0' && *p != '.') {
        zero = false;
        break;
      }
    }
    if (zero) {
      for (char* p = out; p + 1 != end; ++p) *p = p[1];
      --end;
    }
  }
  return end;
}

}  // namespace lantrel::cli
