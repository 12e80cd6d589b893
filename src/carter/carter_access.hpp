// The position class's view of a zrCarter: members that are not part of its automation
// interface (creation, the Changed mark, section geometry).
#pragma once

#include <cstdint>
#include <memory>

#include "lantrel/carter.hpp"

namespace lantrel::detail {

struct CarterAccess {
  static std::shared_ptr<zrCarter> Create();
  static bool Changed(const zrCarter& c) { return c.changed_; }
  static void Changed(zrCarter& c, bool value) { c.changed_ = value; }
  static bool FromNorth(const zrCarter& c) { return c.fromNorth_; }
  static bool FromEast(const zrCarter& c) { return c.fromEast_; }
  /// Degrees from the block's south line to section i's south line (i 0..25).
  static double SectionRow(std::int32_t i);
  /// Degrees from the block's west line to section i's west line, eastward (i 0..25).
  static double SectionColumn(std::int32_t i);
  /// Minutes (0..4) of the same, as integers.
  static std::int32_t SectionRowMinutes(std::int32_t i);
  static std::int32_t SectionColumnMinutes(std::int32_t i);
  /// West-positive longitude of the current section's west line.
  static double SectionWest(const zrCarter& c);
  /// Latitude of the current section's south line.
  static double SectionSouth(const zrCarter& c);
};

}  // namespace lantrel::detail
