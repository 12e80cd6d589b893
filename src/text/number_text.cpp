#include "lantrel/number_text.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace lantrel {

namespace {

constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// [-]digits[.digits] with at most 15 digits in all, read exactly: the digits form an integer
// below 2^53 and the power of ten is exact, so the one division is correctly rounded, the
// value from_chars gives. Anything else gives nothing and goes to from_chars.
std::optional<double> ParsePlainDecimal(const char* p, const char* last) {
  const bool negative = p != last && *p == '-';
  if (negative) ++p;
  std::uint64_t digits = 0;
  int count = 0;
  int decimals = 0;
  bool point = false;
  for (; p != last; ++p) {
    const char c = *p;
    if (c >= '0' && c <= '9') {
      if (++count > 15) return std::nullopt;
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      if (point) ++decimals;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (count == 0) return std::nullopt;
  const double v = static_cast<double>(digits) / kExactPowersOfTen[decimals];
  return negative ? -v : v;
}

}  // namespace

std::optional<double> ParseDecimal(std::string_view text) {
  if (const auto plain = ParsePlainDecimal(text.data(), text.data() + text.size())) return plain;
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

namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8,
                                   1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};

// "00" to "99", for writing two digits at a time.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes n with `decimals` digits after the point (at least one digit before it).
char* WriteScaled(char* out, std::uint64_t n, int decimals) {
  char digits[24];
  char* const end = digits + sizeof digits;
  char* p = end;
  while (n >= 100) {
    const auto pair = static_cast<std::size_t>(n % 100) * 2;
    n /= 100;
    p -= 2;
    std::memcpy(p, kDigitPairs + pair, 2);
  }
  if (n >= 10) {
    p -= 2;
    std::memcpy(p, kDigitPairs + static_cast<std::size_t>(n) * 2, 2);
  } else {
    *--p = static_cast<char>('0' + n);
  }
  while (end - p <= decimals) *--p = '0';
  const auto whole = static_cast<std::size_t>(end - p - decimals);
  std::memcpy(out, p, whole);
  out += whole;
  if (decimals > 0) {
    *out++ = '.';
    std::memcpy(out, p + whole, static_cast<std::size_t>(decimals));
    out += decimals;
  }
  return out;
}

// The correctly rounded decimal text through to_chars, without a minus sign on a zero.
char* FormatFixedExact(char* out, double v, int decimals) {
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

}  // namespace

char* FormatFixed(char* out, double v, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > kMaxPrecision) decimals = kMaxPrecision;
  // Fast path: v scaled by 10^decimals and rounded to an integer. The product carries an
  // error of at most half an ulp, so its rounding equals that of the exact decimal value
  // unless the product lies within a few ulps of a half-way point; those, and magnitudes
  // where an ulp reaches 1/64 (and NaN or infinity), go to the exact formatter.
  {
    const double scaled = v * kPowersOfTen[decimals];
    const double magnitude = std::fabs(scaled);
    if (magnitude < 0x1p46) {
      const double rounded = std::nearbyint(scaled);  // ties to even; ties are refused below
      const double distance = std::fabs(scaled - rounded);  // exact: both are close
      // magnitude * 2^-50 is at least four ulps of the product.
      if (0.5 - distance > magnitude * 0x1p-50) {
        if (rounded < 0.0) *out++ = '-';
        return WriteScaled(out, static_cast<std::uint64_t>(std::fabs(rounded)), decimals);
      }
    }
  }
  return FormatFixedExact(out, v, decimals);
}

char* FormatShortest(char* out, double v) {
  return std::to_chars(out, out + kMaxShortestChars, v).ptr;
}

}  // namespace lantrel
