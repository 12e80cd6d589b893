// The fast fixed-point formatter writes exactly what the correctly rounded conversion writes,
// for coordinates, near-ties, every precision and the magnitudes where it hands over; the
// short-decimal reader reads exactly what from_chars reads.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "lantrel/number_text.hpp"

namespace lantrel {
namespace {

// The reference: to_chars, without a minus sign on a value written as zero.
std::string Reference(double v, int decimals) {
  char text[kMaxFixedChars];
  const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, decimals);
  std::string s(text, r.ptr);
  if (s.front() == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}

std::string Fast(double v, int decimals) {
  char text[kMaxFixedChars];
  return std::string(text, FormatFixed(text, v, decimals));
}

TEST(FixedFormat, EqualsTheCorrectlyRoundedTextEverywhere) {
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> lon(-180.0, 180.0);
  std::uniform_real_distribution<double> plane(-1e7, 1e7);
  std::uniform_int_distribution<int> exponent(-30, 60);
  long compared = 0;
  for (int decimals = 0; decimals <= kMaxPrecision; ++decimals) {
    for (int i = 0; i < 20000; ++i) {
      const double values[] = {
          lon(random), plane(random),
          std::ldexp(plane(random), exponent(random)),
          // Decimal half-way points and their neighbours (the hard cases).
          (std::floor(plane(random) * 1000.0) + 0.5) / std::pow(10.0, decimals % 8),
          std::nextafter((std::floor(lon(random) * 1e6) + 0.5) / 1e6, 0.0),
          std::bit_cast<double>(random()),  // any bit pattern
      };
      for (const double v : values) {
        if (!std::isfinite(v)) continue;  // the tool never writes these
        ASSERT_EQ(Fast(v, decimals), Reference(v, decimals)) << std::hexfloat << v << " " << decimals;
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 1000000);
  // Exact ties, the hand-over magnitude and zeros of both signs.
  struct Case {
    double v;
    int decimals;
  } cases[] = {{0.5, 0},         {1.5, 0},          {2.5, 0},          {-2.5, 0},   {0.125, 2},
               {0.375, 2},       {1234567.25, 1},   {0x1p46 / 1000, 3}, {0x1p46, 0}, {-0x1p46, 1},
               {0x1p46 - 0.5, 0}, {-0.0, 9},        {-1e-20, 17},      {1e-17, 17}, {5e-18, 17},
               {9.9999999999999995e-4, 3},          {2e15, 3}};
  for (const auto& c : cases) EXPECT_EQ(Fast(c.v, c.decimals), Reference(c.v, c.decimals)) << c.v;
}

// Decimals as coordinates are written, 1 to 17 digits with the point anywhere, signed or not:
// the exact short form and from_chars agree to the bit, and where the short form hands over.
TEST(DecimalReading, EqualsFromCharsToTheBit) {
  std::mt19937_64 random(20261209);
  for (int i = 0; i < 200000; ++i) {
    const auto r = random();
    const int digits = 1 + static_cast<int>(r % 17);
    const int decimals = static_cast<int>((r >> 8) % static_cast<unsigned>(digits + 1));
    std::string text = (r >> 16) & 1 ? "-" : "";
    auto m = random();
    for (int k = 0; k < digits; ++k, m /= 10) {
      if (decimals > 0 && k == digits - decimals) text += '.';
      text += static_cast<char>('0' + m % 10);
    }
    double expected = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), expected);
    const auto read = ParseDecimal(text);
    ASSERT_TRUE(read.has_value()) << text;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(*read), std::bit_cast<std::uint64_t>(expected)) << text;
  }
  const struct {
    const char* text;
    std::optional<double> value;
  } cases[] = {{"-0", -0.0},  {"5.", 5.0},    {".5", 0.5},  {".", std::nullopt}, {"-", std::nullopt},
               {"1.2.3", std::nullopt},       {"0.1", 0.1}, {"999999999999999", 999999999999999.0},
               {"9007199254740993", 9007199254740992.0}, {"-84.8733", -84.8733}};
  for (const auto& c : cases) {
    const auto read = ParseDecimal(c.text);
    ASSERT_EQ(read.has_value(), c.value.has_value()) << c.text;
    if (c.value) {
      EXPECT_EQ(std::bit_cast<std::uint64_t>(*read), std::bit_cast<std::uint64_t>(*c.value)) << c.text;
    }
  }
}

}  // namespace
}  // namespace lantrel
