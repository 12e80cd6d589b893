#include "numbers.hpp"

#include <charconv>
#include <cmath>

#include "lantrel/number_text.hpp"

namespace lantrel::cli {

std::optional<double> ParseNumber(std::string_view text) { return ParseDecimal(text); }

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
