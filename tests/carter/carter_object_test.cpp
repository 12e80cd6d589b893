// The Carter location object: parts, validation, aliases, letter rules, clearing and the
// changed mark.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "carter_test_support.hpp"

namespace {

using carter_test::Changed;
using carter_test::ExpectError;
using carter_test::NewCarter;
using carter_test::SetChanged;
using carter_test::Take;
using lantrel::zrCarter;
using lantrel::detail::CarterAccess;
namespace errc = lantrel::errc;

constexpr double kBlock = 0.08333333333333333;
const std::string kSource = "lantrel:zrGeoPosition:zrCarter:";

double BlockSouth(const zrCarter& c) {
  // With no section set, the section's south line is the block's south line.
  return c.Section() == 0 ? CarterAccess::SectionSouth(c) : -1.0;
}

TEST(CarterObject, FreshObject) {
  auto c = NewCarter();
  EXPECT_EQ(c->Section(), 0);
  EXPECT_EQ(c->Number(), 0);
  EXPECT_EQ(c->Letter(), "");
  EXPECT_EQ(c->FNL(), 0.0);
  EXPECT_EQ(c->FSL(), 0.0);
  EXPECT_EQ(c->FEL(), 0.0);
  EXPECT_EQ(c->FWL(), 0.0);
  EXPECT_EQ(c->FNSL(), "FSL");
  EXPECT_EQ(c->FEWL(), "FWL");
  EXPECT_TRUE(Changed(*c));
  EXPECT_EQ(CarterAccess::SectionSouth(*c), 0.0);
  EXPECT_EQ(CarterAccess::SectionWest(*c), 0.0);
  EXPECT_FALSE(CarterAccess::FromNorth(*c));
  EXPECT_FALSE(CarterAccess::FromEast(*c));
}

TEST(CarterObject, FootageCallsOfOnePairZeroEachOther) {
  auto c = NewCarter();
  c->FNL(1200);
  EXPECT_EQ(c->FNSL(), "FNL");
  EXPECT_TRUE(CarterAccess::FromNorth(*c));
  c->FSL(300);
  EXPECT_EQ(c->FNL(), 0.0);
  EXPECT_EQ(c->FSL(), 300.0);
  EXPECT_EQ(c->FNSL(), "FSL");
  c->FNL(-5.25);  // any double is accepted
  EXPECT_EQ(c->FNL(), -5.25);
  EXPECT_EQ(c->FSL(), 0.0);

  c->FWL(350.4);
  EXPECT_EQ(c->FEWL(), "FWL");
  c->FEL(0);  // a zero call still selects its line
  EXPECT_EQ(c->FEWL(), "FEL");
  EXPECT_TRUE(CarterAccess::FromEast(*c));
  EXPECT_EQ(c->FWL(), 0.0);
  c->FEL(77);
  c->FWL(12);
  EXPECT_EQ(c->FEL(), 0.0);
  EXPECT_EQ(c->FWL(), 12.0);
  EXPECT_EQ(c->FEWL(), "FWL");
  EXPECT_EQ(c->FNL(), -5.25);  // the other pair is untouched
}

TEST(CarterObject, EverySuccessfulWriteMarksChanged) {
  const std::vector<std::pair<const char*, std::function<void(zrCarter&)>>> writes = {
      {"FNL", [](zrCarter& c) { c.FNL(1); }},
      {"FSL", [](zrCarter& c) { c.FSL(1); }},
      {"FEL", [](zrCarter& c) { c.FEL(1); }},
      {"FWL", [](zrCarter& c) { c.FWL(1); }},
      {"Section", [](zrCarter& c) { c.Section(3); }},
      {"CellNumber", [](zrCarter& c) { c.CellNumber(3); }},
      {"Number", [](zrCarter& c) { c.Number(3); }},
      {"BlockNumber", [](zrCarter& c) { c.BlockNumber(3); }},
      {"Letter", [](zrCarter& c) { c.Letter("d"); }},
      {"Letter index", [](zrCarter& c) { c.Letter("03"); }},
      {"BlockLetter", [](zrCarter& c) { c.BlockLetter("D"); }},
      {"Clear", [](zrCarter& c) { c.Clear(); }},
  };
  for (const auto& [name, write] : writes) {
    auto c = NewCarter();
    SetChanged(*c, false);
    write(*c);
    EXPECT_TRUE(Changed(*c)) << name;
  }
  // Reading and asking the letter rule change nothing.
  auto c = NewCarter();
  c->Letter("B");
  SetChanged(*c, false);
  (void)c->LocationString();
  (void)c->IsLetter("A");
  (void)c->IsBlockLetter("A");
  EXPECT_FALSE(Changed(*c));
}

struct IntegerCase {
  const char* member;
  std::int32_t value;
  std::int32_t number;
  const char* description;
};

void WriteInteger(zrCarter& c, const std::string& member, std::int32_t v) {
  if (member == "Section") c.Section(v);
  if (member == "CellNumber") c.CellNumber(v);
  if (member == "Number") c.Number(v);
  if (member == "BlockNumber") c.BlockNumber(v);
}

TEST(CarterObject, IntegerPartsOutOfRangeFailAndChangeNothing) {
  const IntegerCase cases[] = {
      {"Section", 26, errc::InvalidCarterSection, "Invalid Carter Section: 26"},
      {"Section", 0, errc::InvalidCarterSection, "Invalid Carter Section: 0"},
      {"Section", -1, errc::InvalidCarterSection, "Invalid Carter Section: -1"},
      {"Section", INT_MIN, errc::InvalidCarterSection, "Invalid Carter Section: -2147483648"},
      {"CellNumber", 26, errc::InvalidCarterSection, "Invalid Carter CellNumber: 26"},
      {"CellNumber", 0, errc::InvalidCarterSection, "Invalid Carter CellNumber: 0"},
      {"Number", 93, errc::InvalidCarterNumber, "Invalid Carter Number: 93"},
      {"Number", -1, errc::InvalidCarterNumber, "Invalid Carter Number: -1"},
      {"BlockNumber", 93, errc::InvalidCarterNumber, "Invalid Carter BlockNumber: 93"},
      {"BlockNumber", INT_MAX, errc::InvalidCarterNumber,
       "Invalid Carter BlockNumber: 2147483647"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.description);
    auto c = NewCarter();
    c->Letter("D");
    c->Number(45);
    c->Section(7);
    c->FNL(1200);
    SetChanged(*c, false);
    const auto before = Take(*c);
    ExpectError([&] { WriteInteger(*c, k.member, k.value); }, k.number,
                kSource + k.member + ":", k.description);
    EXPECT_TRUE(Take(*c) == before);
  }
  EXPECT_EQ(errc::InvalidCarterSection, -2147220493);
  EXPECT_EQ(errc::InvalidCarterNumber, -2147220492);
  EXPECT_EQ(errc::InvalidCarterLetter, -2147220491);
}

TEST(CarterObject, NumberSetsTheBlockWestLine) {
  const std::pair<std::int32_t, double> cases[] = {
      {0, 89.58333333333333},
      {1, 89.58333333333333 - 1 * kBlock},
      {45, 89.58333333333333 - 45 * kBlock},
      {92, 89.58333333333333 - 92 * kBlock},
  };
  for (const auto& [number, west] : cases) {
    auto c = NewCarter();
    c->BlockNumber(number);
    EXPECT_EQ(c->Number(), number);
    EXPECT_EQ(CarterAccess::SectionWest(*c), west) << number;
  }
  auto c = NewCarter();
  c->Number(92);
  EXPECT_EQ(CarterAccess::SectionWest(*c), 81.91666666666666);
}

struct LetterCase {
  const char* text;
  const char* stored;
  std::int32_t row;
};

TEST(CarterObject, LetterWritesStoreTheRowAndItsSouthLine) {
  const LetterCase cases[] = {
      // Letter form, any case.
      {"A", "A", 0}, {"c", "C", 2}, {"Z", "Z", 25}, {"aa", "AA", 26}, {"gg", "GG", 32},
      // Index form: a number read BASIC-style, rounded half to even.
      {"0", "A", 0}, {"05", "F", 5}, {"026", "AA", 26}, {"033", "HH", 33}, {"0007", "H", 7},
      {"02.5", "C", 2}, {"03.5", "E", 4}, {"00.5", "A", 0}, {"01.5", "C", 2},
      {"0.51", "B", 1}, {"02.4999", "C", 2}, {"01e1", "K", 10}, {"0.25E2", "Z", 25},
      {"03e1", "EE", 30}, {"01 e 1", "K", 10}, {"0 3 3", "HH", 33}, {"0\t1", "B", 1},
      {"02x", "C", 2}, {"02e", "C", 2}, {"02e+", "C", 2}, {"02.5.5", "C", 2}, {"0-1", "A", 0},
      {"01e-400", "A", 0}, {"0000000000000000000000000000000000000007", "H", 7},
      {"0.0000000000000000000000000000000000000000000000000000000000001", "A", 0},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.text);
    for (const bool alias : {false, true}) {
      auto c = NewCarter();
      SetChanged(*c, false);
      if (alias) {
        c->BlockLetter(k.text);
      } else {
        c->Letter(k.text);
      }
      EXPECT_EQ(c->Letter(), k.stored);
      EXPECT_EQ(c->BlockLetter(), k.stored);
      EXPECT_EQ(BlockSouth(*c), k.row * kBlock + 36.5);
      EXPECT_TRUE(Changed(*c));
    }
  }
  auto c = NewCarter();
  c->Letter("033");
  EXPECT_EQ(BlockSouth(*c), 39.25);
}

struct BadLetterCase {
  const char* text;
  std::int32_t number;
};

TEST(CarterObject, BadLettersFailAndChangeNothing) {
  const BadLetterCase cases[] = {
      {"HH", errc::InvalidCarterLetter}, {"hh", errc::InvalidCarterLetter},
      {"AB", errc::InvalidCarterLetter}, {"AAA", errc::InvalidCarterLetter},
      {"1", errc::InvalidCarterLetter},  {" A", errc::InvalidCarterLetter},
      {"A ", errc::InvalidCarterLetter}, {"@", errc::InvalidCarterLetter},
      {"034", errc::InvalidCarterLetter}, {"09e1", errc::InvalidCarterLetter},
      {"02147483647", errc::InvalidCarterLetter},
      {"02147483646.5", errc::InvalidCarterLetter},  // even neighbour: still fits 32 bits
      // Index numbers beyond 32 bits, or beyond a double, overflow.
      {"02147483647.5", errc::Overflow}, {"099999999999", errc::Overflow},
      {"01e400", errc::Overflow}, {"01e99999999999999999999", errc::Overflow},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.text);
    for (const std::string member : {"Letter", "BlockLetter"}) {
      auto c = NewCarter();
      c->Letter("D");
      SetChanged(*c, false);
      const auto before = Take(*c);
      const bool own = k.number == errc::InvalidCarterLetter;
      ExpectError(
          [&] {
            if (member == "Letter") {
              c->Letter(k.text);
            } else {
              c->BlockLetter(k.text);
            }
          },
          k.number, own ? kSource + member + ":" : "",
          own ? "Invalid Carter " + member + ": " + k.text : "Overflow");
      EXPECT_TRUE(Take(*c) == before);
    }
  }
  auto c = NewCarter();
  ExpectError([&] { c->Letter(""); }, errc::InvalidCarterLetter, kSource + "Letter:",
              "Carter Letter is null.");
  ExpectError([&] { c->BlockLetter(""); }, errc::InvalidCarterLetter, kSource + "BlockLetter:",
              "Carter BlockLetter is null.");
  // The full 400-digit number does not fit a double.
  ExpectError([&] { c->Letter("0" + std::string(400, '9')); }, errc::Overflow, "", "Overflow");
}

TEST(CarterObject, LetterRule) {
  const std::pair<const char*, bool> cases[] = {
      {"a", true},   {"A", true},    {"Z", true},    {"z", true},  {"GG", true},
      {"gg", true},  {"aA", true},   {"HH", false},  {"ZZ", false}, {"AB", false},
      {"AAA", false}, {"0", false},  {"033", false}, {" A", false}, {"@", false},
      {"[", false},  {"A1", false},
  };
  auto c = NewCarter();
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(c->IsLetter(text), expected) << text;
    EXPECT_EQ(c->IsBlockLetter(text), expected) << text;
  }
  ExpectError([&] { (void)c->IsLetter(""); }, errc::InvalidArgument, "",
              "Invalid procedure call or argument");
  ExpectError([&] { (void)c->IsBlockLetter(""); }, errc::InvalidArgument, "", "");
}

TEST(CarterObject, AliasesShareTheStoredValues) {
  auto c = NewCarter();
  c->BlockLetter("B");
  EXPECT_EQ(c->Letter(), "B");
  c->Letter("e");
  EXPECT_EQ(c->BlockLetter(), "E");
  c->CellNumber(7);
  EXPECT_EQ(c->Section(), 7);
  c->Section(25);
  EXPECT_EQ(c->CellNumber(), 25);
  c->BlockNumber(12);
  EXPECT_EQ(c->Number(), 12);
  c->Number(13);
  EXPECT_EQ(c->BlockNumber(), 13);
}

TEST(CarterObject, ClearReturnsToTheFreshState) {
  auto fresh = NewCarter();
  auto c = NewCarter();
  c->Letter("GG");
  c->Number(92);
  c->Section(13);
  c->FNL(1234.5);
  c->FEL(99);
  SetChanged(*c, false);
  c->Clear();
  EXPECT_TRUE(Take(*c) == Take(*fresh));
  EXPECT_TRUE(Changed(*c));
  EXPECT_EQ(c->LocationString(), "");
  // The numbering is untouched.
  c->Section(8);
  EXPECT_EQ(CarterAccess::SectionRowMinutes(8), 3);
  EXPECT_EQ(CarterAccess::SectionColumnMinutes(8), 2);
}

TEST(CarterObject, SectionLinesFollowTheSectionAndBlock) {
  auto c = NewCarter();
  c->Letter("H");  // 37°05'
  c->Number(49);   // 85°30' W
  const double south = 7 * kBlock + 36.5;
  const double west = 89.58333333333333 - 49 * kBlock;
  const std::tuple<std::int32_t, double, double> cases[] = {
      {1, 4 / 60.0, 4 / 60.0},  {5, 4 / 60.0, 0.0},  {6, 3 / 60.0, 0.0},
      {11, 2 / 60.0, 4 / 60.0}, {13, 2 / 60.0, 2 / 60.0}, {21, 0.0, 4 / 60.0},
      {25, 0.0, 0.0},
  };
  for (const auto& [section, row, column] : cases) {
    c->Section(section);
    EXPECT_EQ(CarterAccess::SectionSouth(*c), row + south) << section;
    EXPECT_EQ(CarterAccess::SectionWest(*c), west - column) << section;
  }
}

}  // namespace
