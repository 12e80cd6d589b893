// The location string in its two layouts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "carter_test_support.hpp"

namespace {

using carter_test::ExpectError;
using carter_test::NewCarter;
using lantrel::zrCarter;

struct Location {
  const char* letter;  // nullptr: never set
  std::int32_t number;
  std::int32_t section;  // 0: never set
  bool fromNorth;
  double northSouth;
  bool fromEast;
  double eastWest;
};

std::shared_ptr<zrCarter> Make(const Location& l) {
  auto c = NewCarter();
  if (l.letter != nullptr) c->Letter(l.letter);
  c->Number(l.number);
  if (l.section != 0) c->Section(l.section);
  if (l.fromNorth) {
    c->FNL(l.northSouth);
  } else {
    c->FSL(l.northSouth);
  }
  if (l.fromEast) {
    c->FEL(l.eastWest);
  } else {
    c->FWL(l.eastWest);
  }
  return c;
}

struct StringCase {
  Location location;
  const char* plain;
  const char* zgs;
};

TEST(LocationString, BothLayouts) {
  const StringCase cases[] = {
      {{"D", 45, 7, true, 1200, false, 350.4}, "D45-07 1200-FNL 350-FWL",
       "1200 FNL  350 FWL 07- D-45"},
      {{"GG", 45, 7, true, 1200, false, 350.4}, "GG45-07 1200-FNL 350-FWL",
       "1200 FNL  350 FWL 07-GG-45"},
      {{"A", 3, 21, false, 0, true, 0}, "A03-21 0-FSL 0-FEL", "   0 FSL    0 FEL 21- A-03"},
      // Halves away from zero.
      {{"B", 10, 25, false, 2.5, false, 1199.5}, "B10-25 3-FSL 1200-FWL",
       "   3 FSL 1200 FWL 25- B-10"},
      {{"B", 10, 25, false, 2.4999, false, -2.5}, "B10-25 2-FSL -3-FWL",
       "   2 FSL   -3 FWL 25- B-10"},
      {{"B", 10, 25, false, -999.4, true, 9999.4}, "B10-25 -999-FSL 9999-FEL",
       "-999 FSL 9999 FEL 25- B-10"},
      // A value that rounds to zero is written without a sign.
      {{"B", 10, 25, false, -0.4, false, 0.49}, "B10-25 0-FSL 0-FWL",
       "   0 FSL    0 FWL 25- B-10"},
      // Parts never set are written "00".
      {{"033", 0, 0, false, 12, false, 34}, "HH00-00 12-FSL 34-FWL",
       "  12 FSL   34 FWL 00-HH-00"},
      {{"Z", 92, 1, true, 3040.2, true, 2432.7}, "Z92-01 3040-FNL 2433-FEL",
       "3040 FNL 2433 FEL 01- Z-92"},
  };
  for (const auto& k : cases) {
    auto c = Make(k.location);
    EXPECT_EQ(c->LocationString(), k.plain);
    EXPECT_EQ(c->LocationString(false), k.plain);
    EXPECT_EQ(c->LocationString(true), k.zgs);
  }
}

TEST(LocationString, EmptyWithoutALetter) {
  auto c = Make({nullptr, 45, 7, true, 1200, false, 350});
  EXPECT_EQ(c->LocationString(), "");
  EXPECT_EQ(c->LocationString(true), "");
  c->FNL(123456);  // not even the width check applies
  EXPECT_EQ(c->LocationString(true), "");
}

TEST(LocationString, WideFootagesOnlyFitTheDefaultLayout) {
  const std::pair<double, const char*> cases[] = {
      {12345, "12345"}, {9999.5, "10000"}, {-999.5, "-1000"}, {-1000, "-1000"}, {1e6, "1000000"},
  };
  for (const auto& [feet, text] : cases) {
    for (const bool northSouth : {true, false}) {
      auto c = Make({"D", 45, 7, true, 1, false, 1});
      if (northSouth) {
        c->FNL(feet);
      } else {
        c->FWL(feet);
      }
      const std::string plain = c->LocationString();
      EXPECT_NE(plain.find(std::string(text) + (northSouth ? "-FNL" : "-FWL")),
                std::string::npos)
          << plain;
      ExpectError([&] { (void)c->LocationString(true); }, lantrel::errc::InvalidArgument, "",
                  "Invalid procedure call or argument");
    }
  }
}

TEST(LocationString, NonFiniteFootageIsAnArithmeticError) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<double, std::int32_t> cases[] = {
      {nan, lantrel::errc::InvalidArgument}, {inf, lantrel::errc::Overflow},
      {-inf, lantrel::errc::Overflow}};
  for (const auto& [feet, number] : cases) {
    auto c = Make({"D", 45, 7, true, 1, false, 1});
    c->FSL(feet);
    ExpectError([&] { (void)c->LocationString(); }, number, "", "");
    ExpectError([&] { (void)c->LocationString(true); }, number, "", "");
  }
}

}  // namespace
