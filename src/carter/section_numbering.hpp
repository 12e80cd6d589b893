// Numbering of the 25 one-minute sections of a Carter block.
//
// Sections are numbered back and forth across the block, starting in the north-east corner:
//
//   row 4 (north):   5  4  3  2  1
//   row 3:           6  7  8  9 10
//   row 2:          15 14 13 12 11
//   row 1:          16 17 18 19 20
//   row 0 (south):  25 24 23 22 21
//                   (west column 0 ... east column 4)
//
// The tables are produced at compile time by walking that path and are shared, read-only, by
// every Carter object. Entry 0 of every table is 0: it is what an unset section (0) reads.
#pragma once

#include <array>
#include <cstdint>

namespace lantrel::detail {

inline constexpr std::int32_t kSectionsPerBlock = 25;
inline constexpr std::int32_t kSectionsPerSide = 5;

struct SectionNumbering {
  /// Minutes from the block's south line to section i's south line (0..4).
  std::array<std::int32_t, kSectionsPerBlock + 1> rowMinutes{};
  /// Minutes from the block's west line to section i's west line, counted eastward (0..4).
  std::array<std::int32_t, kSectionsPerBlock + 1> columnMinutes{};
  /// The same in degrees: minutes / 60.
  std::array<double, kSectionsPerBlock + 1> rowDegrees{};
  std::array<double, kSectionsPerBlock + 1> columnDegrees{};
  /// The first section number whose row and column are [row][column].
  std::array<std::array<std::int32_t, kSectionsPerSide>, kSectionsPerSide> sectionAt{};
};

/// Walks the numbering path: row and column start at 4 with a westward step; after every
/// fifth section the step reverses and the walk moves one row south.
constexpr SectionNumbering BuildSectionNumbering() {
  SectionNumbering t;
  std::int32_t r = 4;
  std::int32_t c = 4;
  std::int32_t d = -1;
  for (std::int32_t i = 1; i <= kSectionsPerBlock; ++i) {
    const auto k = static_cast<std::size_t>(i);
    t.rowMinutes[k] = r;
    t.columnMinutes[k] = c;
    t.rowDegrees[k] = static_cast<double>(r) / 60.0;
    t.columnDegrees[k] = static_cast<double>(c) / 60.0;
    if (i % kSectionsPerSide != 0) {
      c = c + d;
    } else {
      d = -d;
      r = r - 1;
    }
  }
  // Reverse lookup, keeping the first section that matches each cell.
  for (std::int32_t i = kSectionsPerBlock; i >= 1; --i) {
    const auto k = static_cast<std::size_t>(i);
    t.sectionAt[static_cast<std::size_t>(t.rowMinutes[k])]
               [static_cast<std::size_t>(t.columnMinutes[k])] = i;
  }
  return t;
}

inline constexpr SectionNumbering kSectionNumbering = BuildSectionNumbering();

}  // namespace lantrel::detail
