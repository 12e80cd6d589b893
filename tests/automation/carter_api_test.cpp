// The Carter object through the C interface: its errors and texts crossing the boundary, and
// one object shared by positions that convert into and out of Carter form.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "lantrel/lantrel.h"

namespace {

std::string Take(char* text) {
  std::string value = text != nullptr ? text : "<null>";
  lantrel_string_free(text);
  return value;
}

struct Session {
  Session() {
    EXPECT_EQ(lantrel_position_create(&p), 0);
    EXPECT_EQ(lantrel_position_get_carter(p, &c), 0);
  }
  ~Session() {
    lantrel_carter_release(c);
    lantrel_position_release(p);
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  lantrel_position* p = nullptr;
  lantrel_carter* c = nullptr;
};

std::string Location(lantrel_carter* c, lantrel_bool zgs = LANTREL_FALSE) {
  char* text = nullptr;
  EXPECT_EQ(lantrel_carter_get_location_string(c, zgs, &text), 0)
      << lantrel_last_error_description();
  return Take(text);
}

void Fill(lantrel_carter* c, const char* letter, int32_t number, int32_t section, double fnl,
          double fwl) {
  ASSERT_EQ(lantrel_carter_let_letter(c, letter), 0) << lantrel_last_error_description();
  ASSERT_EQ(lantrel_carter_let_number(c, number), 0);
  ASSERT_EQ(lantrel_carter_let_section(c, section), 0);
  ASSERT_EQ(lantrel_carter_let_fnl(c, fnl), 0);
  ASSERT_EQ(lantrel_carter_let_fwl(c, fwl), 0);
}

TEST(CarterApi, RefusedWritesCarryTheirRecordAndKeepTheLocation) {
  const std::string base = "lantrel:zrGeoPosition:zrCarter:";
  const struct {
    const char* what;
    std::function<int32_t(lantrel_carter*)> let;
    int32_t number;
    std::string source;
    std::string description;
  } cases[] = {
      {"Section 26", [](auto c) { return lantrel_carter_let_section(c, 26); },
       LANTREL_E_INVALID_CARTER_SECTION, base + "Section:", "Invalid Carter Section: 26"},
      {"CellNumber 0", [](auto c) { return lantrel_carter_let_cell_number(c, 0); },
       LANTREL_E_INVALID_CARTER_SECTION, base + "CellNumber:", "Invalid Carter CellNumber: 0"},
      {"Number 93", [](auto c) { return lantrel_carter_let_number(c, 93); },
       LANTREL_E_INVALID_CARTER_NUMBER, base + "Number:", "Invalid Carter Number: 93"},
      {"BlockNumber -1", [](auto c) { return lantrel_carter_let_block_number(c, -1); },
       LANTREL_E_INVALID_CARTER_NUMBER, base + "BlockNumber:", "Invalid Carter BlockNumber: -1"},
      {"Letter empty", [](auto c) { return lantrel_carter_let_letter(c, ""); },
       LANTREL_E_INVALID_CARTER_LETTER, base + "Letter:", "Carter Letter is null."},
      {"Letter NULL", [](auto c) { return lantrel_carter_let_letter(c, nullptr); },
       LANTREL_E_INVALID_CARTER_LETTER, base + "Letter:", "Carter Letter is null."},
      {"Letter ab", [](auto c) { return lantrel_carter_let_letter(c, "ab"); },
       LANTREL_E_INVALID_CARTER_LETTER, base + "Letter:", "Invalid Carter Letter: ab"},
      // The caller's text comes back in the description exactly, non-ASCII included.
      {"BlockLetter e-acute", [](auto c) { return lantrel_carter_let_block_letter(c, "\xc3\xa9"); },
       LANTREL_E_INVALID_CARTER_LETTER, base + "BlockLetter:",
       "Invalid Carter BlockLetter: \xc3\xa9"},
      {"Letter malformed", [](auto c) { return lantrel_carter_let_letter(c, "A\xff"); },
       LANTREL_E_INVALID_ARGUMENT, "lantrel", "Invalid procedure call or argument"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    Session s;
    Fill(s.c, "D", 45, 7, 1200, 350.4);
    const std::string before = Location(s.c);
    EXPECT_EQ(k.let(s.c), k.number);
    EXPECT_EQ(lantrel_last_error_number(), k.number);
    EXPECT_EQ(lantrel_last_error_source(), k.source);
    EXPECT_EQ(lantrel_last_error_description(), k.description);
    EXPECT_EQ(Location(s.c), before);
  }
}

TEST(CarterApi, LetterRulesAndLayoutsThroughTheBoundary) {
  Session s;
  const struct {
    const char* text;
    lantrel_bool is;
  } letters[] = {{"a", LANTREL_TRUE}, {"gg", LANTREL_TRUE}, {"HH", LANTREL_FALSE},
                 {"0", LANTREL_FALSE}};
  for (const auto& l : letters) {
    lantrel_bool is = 7, isBlock = 7;
    EXPECT_EQ(lantrel_carter_is_letter(s.c, l.text, &is), 0);
    EXPECT_EQ(lantrel_carter_is_block_letter(s.c, l.text, &isBlock), 0);
    EXPECT_EQ(is, l.is) << l.text;
    EXPECT_EQ(isBlock, l.is) << l.text;
  }
  lantrel_bool is = 7;
  EXPECT_EQ(lantrel_carter_is_letter(s.c, "", &is), LANTREL_E_INVALID_ARGUMENT);
  EXPECT_EQ(lantrel_carter_is_letter(s.c, nullptr, &is), LANTREL_E_INVALID_ARGUMENT);

  Fill(s.c, "033", 45, 7, 1200, 350.4);
  char* letter = nullptr;
  ASSERT_EQ(lantrel_carter_get_block_letter(s.c, &letter), 0);
  EXPECT_EQ(Take(letter), "HH");
  ASSERT_EQ(lantrel_carter_let_letter(s.c, "d"), 0);
  EXPECT_EQ(Location(s.c), "D45-07 1200-FNL 350-FWL");
  EXPECT_EQ(Location(s.c, LANTREL_TRUE), "1200 FNL  350 FWL 07- D-45");
  EXPECT_EQ(Location(s.c, 2), "1200 FNL  350 FWL 07- D-45");  // any nonzero is True
  // A footage too wide for the fixed layout fails, and the output comes back NULL.
  ASSERT_EQ(lantrel_carter_let_fnl(s.c, 12345), 0);
  char* text = reinterpret_cast<char*>(&is);
  EXPECT_EQ(lantrel_carter_get_location_string(s.c, LANTREL_TRUE, &text),
            LANTREL_E_INVALID_ARGUMENT);
  EXPECT_EQ(text, nullptr);
  char* fnsl = nullptr;
  ASSERT_EQ(lantrel_carter_get_fnsl(s.c, &fnsl), 0);
  EXPECT_EQ(Take(fnsl), "FNL");
  ASSERT_EQ(lantrel_carter_clear(s.c), 0);
  EXPECT_EQ(Location(s.c), "");
}

// One Carter object shared by two positions: A converts into Carter form, B reads the same
// object back to geographic coordinates.
TEST(CarterApi, SharedObjectCarriesAConversionBetweenPositions) {
  Session a, b;
  ASSERT_EQ(lantrel_position_set_carter(b.p, a.c), 0);
  ASSERT_EQ(lantrel_position_let_x(a.p, 85.123456), 0);
  ASSERT_EQ(lantrel_position_let_y(a.p, 37.654321), 0);
  int32_t projection = zrCarter, result = -1;
  ASSERT_EQ(lantrel_position_convert(a.p, nullptr, &projection, nullptr, &result), 0)
      << lantrel_last_error_description();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Location(a.c), "N53-03 1573-FSL 1965-FEL");

  ASSERT_EQ(lantrel_position_let_projection(b.p, zrCarter), 0);
  int32_t toGeographic = zrGeographic;
  ASSERT_EQ(lantrel_position_convert(b.p, nullptr, &toGeographic, nullptr, &result), 0)
      << lantrel_last_error_description();
  double x = 0, y = 0;
  ASSERT_EQ(lantrel_position_get_x(b.p, &x), 0);
  ASSERT_EQ(lantrel_position_get_y(b.p, &y), 0);
  EXPECT_NEAR(x, 85.123456, 1e-9);
  EXPECT_NEAR(y, 37.654321, 1e-9);
  lantrel_bool inBounds = 0;
  ASSERT_EQ(lantrel_position_get_in_bounds(b.p, &inBounds), 0);
  EXPECT_EQ(inBounds, LANTREL_TRUE);
}

}  // namespace
