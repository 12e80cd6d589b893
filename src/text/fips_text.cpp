#include "lantrel/fips_text.hpp"

namespace lantrel {

namespace {

std::string Padded(std::int32_t code, int width) {
  std::int32_t limit = 1;
  for (int i = 0; i < width; ++i) limit *= 10;
  if (code < 0 || code >= limit) return {};
  std::string text(static_cast<std::size_t>(width), '0');
  for (int i = width - 1; i >= 0 && code > 0; --i, code /= 10) {
    text[static_cast<std::size_t>(i)] = static_cast<char>('0' + code % 10);
  }
  return text;
}

}  // namespace

std::string StateFipsText(std::int32_t code) { return Padded(code, 2); }

std::string CountyFipsText(std::int32_t code) { return Padded(code, 3); }

std::string CountyGeoid(std::int32_t countyCode) {
  const std::string county = CountyFipsText(countyCode);
  return county.empty() ? county : StateFipsText(kHomeStateFips) + county;
}

}  // namespace lantrel
