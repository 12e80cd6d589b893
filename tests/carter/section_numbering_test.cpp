// The numbering of the 25 sections of a block.
#include <gtest/gtest.h>

#include "carter/carter_access.hpp"
#include "carter/section_numbering.hpp"
#include "lantrel/error.hpp"

namespace {

using lantrel::detail::CarterAccess;
using lantrel::detail::kSectionNumbering;

// Section numbers by row (north row first) and column (west column first).
constexpr int kLayout[5][5] = {
    {5, 4, 3, 2, 1},
    {6, 7, 8, 9, 10},
    {15, 14, 13, 12, 11},
    {16, 17, 18, 19, 20},
    {25, 24, 23, 22, 21},
};

TEST(SectionNumbering, MatchesTheBackAndForthLayout) {
  for (int line = 0; line < 5; ++line) {
    const int row = 4 - line;
    for (int column = 0; column < 5; ++column) {
      const int section = kLayout[line][column];
      SCOPED_TRACE(section);
      EXPECT_EQ(CarterAccess::SectionRowMinutes(section), row);
      EXPECT_EQ(CarterAccess::SectionColumnMinutes(section), column);
      EXPECT_EQ(kSectionNumbering.sectionAt[row][column], section);
      volatile double r = row;  // the degree tables hold the run-time quotients
      volatile double c = column;
      EXPECT_EQ(CarterAccess::SectionRow(section), r / 60.0);
      EXPECT_EQ(CarterAccess::SectionColumn(section), c / 60.0);
    }
  }
}

TEST(SectionNumbering, EntryZeroIsTheUnsetSection) {
  EXPECT_EQ(CarterAccess::SectionRow(0), 0.0);
  EXPECT_EQ(CarterAccess::SectionColumn(0), 0.0);
  EXPECT_EQ(CarterAccess::SectionRowMinutes(0), 0);
  EXPECT_EQ(CarterAccess::SectionColumnMinutes(0), 0);
}

TEST(SectionNumbering, IndexOutsideTheTableRaisesSubscriptError) {
  for (const int i : {-1, 26}) {
    EXPECT_THROW(
        {
          try {
            (void)CarterAccess::SectionRow(i);
          } catch (const lantrel::Error& e) {
            EXPECT_EQ(e.number(), lantrel::errc::SubscriptOutOfRange);
            throw;
          }
        },
        lantrel::Error);
    EXPECT_THROW((void)CarterAccess::SectionColumnMinutes(i), lantrel::Error);
  }
}

}  // namespace
