#include "lantrel/number_text.hpp"

#include <charconv>
#include <cmath>

namespace lantrel {

std::optional<double> ParseDecimal(std::string_view text) {
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

}  // namespace lantrel
