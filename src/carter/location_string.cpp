// zrCarter::LocationString: the stored location as one line of text, in the default layout
// (block and section first) or the ZGS layout (footage calls in fixed-width columns first).
#include <cmath>
#include <cstdio>
#include <string>

#include "lantrel/carter.hpp"
#include "core/arithmetic_check.hpp"
#include "core/raise.hpp"

namespace lantrel {

namespace {

/// A footage in the number format "0": whole feet, halves away from zero, no separators, a
/// leading "-" when the rounded value is negative.
std::string WholeFeet(double feet) {
  detail::ArithmeticScope scope;
  const double rounded = scope.Check(std::round(feet));
  char buffer[400];  // the longest finite double has 309 integer digits
  std::snprintf(buffer, sizeof buffer, "%.0f", rounded == 0.0 ? 0.0 : rounded);
  return buffer;
}

/// A section or block number in the number format "00".
std::string TwoDigits(std::int32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", static_cast<int>(value));
  return buffer;
}

std::string RightAligned(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

}  // namespace

std::string zrCarter::LocationString(bool UseZGSFormat) const {
  if (letter_.empty()) return std::string();
  const std::string northSouth = WholeFeet(fromNorth_ ? fnl_ : fsl_);
  const std::string eastWest = WholeFeet(fromEast_ ? fel_ : fwl_);
  if (!UseZGSFormat) {
    return letter_ + TwoDigits(number_) + "-" + TwoDigits(section_) + " " + northSouth + "-" +
           FNSL() + " " + eastWest + "-" + FEWL();
  }
  // Fixed columns: a footage wider than four characters cannot be laid out.
  constexpr std::size_t kFootageWidth = 4;
  if (northSouth.size() > kFootageWidth || eastWest.size() > kFootageWidth) {
    detail::RaiseRuntime(errc::InvalidArgument);
  }
  return RightAligned(northSouth, kFootageWidth) + " " + FNSL() + " " +
         RightAligned(eastWest, kFootageWidth) + " " + FEWL() + " " + TwoDigits(section_) + "-" +
         RightAligned(letter_, 2) + "-" + TwoDigits(number_);
}

}  // namespace lantrel
