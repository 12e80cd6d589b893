#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "lantrel/error.hpp"
#include "core/units.hpp"

namespace lantrel::detail {
namespace {

struct UnitCase {
  const char* name;
  bool toMetres;
  Pair in;
  std::int32_t units;
  Pair expected;  // compared bit for bit
};

TEST(Units, FactorsAreTheExactConstants) {
  const UnitCase cases[] = {
      {"usft to metres", true, {1, 1}, 1, {0.3048006096012192, 0.3048006096012192}},
      {"usft round trip is not exact", false, {0.3048006096012192, 0.3048006096012192}, 1,
       {0.9999999999999999, 0.9999999999999999}},
      {"miles to metres", true, {1, 2}, 4, {1609.3472186944373, 3218.6944373888746}},
      {"metres to intl ft", false, {1, 1}, 3, {3.280839895013123, 3.280839895013123}},
      {"intl ft to metres", true, {10, -10}, 3, {3.048, -3.048}},
      {"metres copied", true, {123.25, -7}, 2, {123.25, -7}},
      {"metres copied back", false, {123.25, -7}, 2, {123.25, -7}},
      {"km to metres", true, {1.5, 2}, 5, {1500.0, 2000.0}},
      {"metres to km", false, {1500, 2}, 5, {1.5, 0.002}},
      {"metres to miles", false, {1, 1}, 4, {0.0006213699494949494, 0.0006213699494949494}},
      {"metres to usft", false, {1, 1}, 1, {3.2808333333333333, 3.2808333333333333}},
  };
  for (const auto& c : cases) {
    const Pair got = c.toMetres ? ToMetres(c.in, c.units) : FromMetres(c.in, c.units);
    EXPECT_EQ(got.x, c.expected.x) << c.name;
    EXPECT_EQ(got.y, c.expected.y) << c.name;
  }
}

TEST(Units, DegreesAndUnknownCodesGiveSignedZero) {
  for (std::int32_t units : {0, -1, 6, 99}) {
    for (bool to : {true, false}) {
      const Pair got = to ? ToMetres({3.5, -2}, units) : FromMetres({3.5, -2}, units);
      EXPECT_EQ(got.x, 0.0);
      EXPECT_FALSE(std::signbit(got.x));
      EXPECT_EQ(got.y, 0.0);
      EXPECT_TRUE(std::signbit(got.y)) << "zero keeps the sign of its input";
    }
  }
}

TEST(Units, OverflowAndNaNRaiseTheArithmeticError) {
  const double big = std::numeric_limits<double>::max();
  try {
    ToMetres({big, 0}, 5);
    FAIL() << "overflow not raised";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), 6);
    EXPECT_EQ(e.description(), "Overflow");
  }
  try {
    FromMetres({std::nan(""), 0}, 1);
    FAIL() << "NaN not raised";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), 5);
    EXPECT_EQ(e.description(), "Invalid procedure call or argument");
  }
}

}  // namespace
}  // namespace lantrel::detail
