#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "lantrel/error.hpp"
#include "core/arithmetic_check.hpp"

namespace lantrel::detail {
namespace {

// Keeps the compiler from folding the faulting operations at compile time.
volatile double zero = 0.0;
volatile double one = 1.0;
volatile double huge = std::numeric_limits<double>::max();

int RaisedNumber(double (*step)()) {
  try {
    ArithmeticScope scope;
    scope.Check(step());
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

TEST(ArithmeticScope, EachFaultRaisesItsOwnError) {
  struct Case {
    const char* name;
    double (*step)();
    int number;
  } const cases[] = {
      {"clean", [] { return one / 3.0; }, 0},
      {"division by zero", [] { return one / zero; }, 11},
      {"overflow", [] { return huge * 2.0; }, 6},
      {"invalid", [] { return std::sqrt(-one); }, 5},
      {"hidden division: atan(1/0) is finite", [] { return std::atan(one / zero); }, 11},
      {"hidden overflow: 1/exp(1000) is 0", [] { return one / std::exp(1000.0 * one); }, 6},
      {"NaN passed in without a flag", [] { return std::nan("") + 0.0 * one; }, 5},
      {"infinity passed in", [] { return std::numeric_limits<double>::infinity(); }, 6},
  };
  for (const auto& c : cases) EXPECT_EQ(RaisedNumber(c.step), c.number) << c.name;
}

TEST(ArithmeticScope, FlagsFromBeforeTheStepAreIgnored) {
  volatile double before = one / zero;  // raises the flag outside any scope
  (void)before;
  EXPECT_EQ(RaisedNumber([] { return one + one; }), 0);
}

TEST(ArithmeticScope, ChecksBothCoordinatesOfAPair) {
  ArithmeticScope scope;
  EXPECT_NO_THROW(scope.Check(Pair{1.0, 2.0}));
  EXPECT_THROW(scope.Check(Pair{1.0, std::nan("")}), Error);
  EXPECT_THROW(scope.Check(Pair{-std::numeric_limits<double>::infinity(), 0.0}), Error);
}

}  // namespace
}  // namespace lantrel::detail

namespace lantrel::detail {
namespace {

TEST(CheckedStep, RerunsAStepThatFoundStaleFlagsAndJudgesTheRerun) {
  int runs = 0;
  volatile double stale = one / zero;  // a flag left over from before the step
  (void)stale;
  EXPECT_EQ(CheckedStep([&] { ++runs; return one + one; }), 2.0);
  EXPECT_EQ(runs, 2);
  runs = 0;
  EXPECT_EQ(CheckedStep([&] { ++runs; return one + one; }), 2.0);
  EXPECT_EQ(runs, 1) << "clean flags: one run, one read";
}

TEST(CheckedStep, RaisesTheStepsOwnFaults) {
  const struct {
    double (*step)();
    int number;
  } cases[] = {
      {[] { return std::atan(one / zero); }, 11},
      {[] { return huge * 2.0; }, 6},
      {[] { return std::nan("") + 0.0 * one; }, 5},
  };
  for (const auto& c : cases) {
    try {
      CheckedStep(c.step);
      ADD_FAILURE() << "expected " << c.number;
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), c.number);
    }
  }
}

}  // namespace
}  // namespace lantrel::detail
