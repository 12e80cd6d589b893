// Reading Carter location strings in both layouts the library writes:
//   default  D45-07 1200-FNL 350-FWL   (letter, number, section, then the two calls)
//   ZGS      1200 FNL  350 FWL 07- D-45 (calls in four-wide columns, then section-letter-number)
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lantrel::cli {

struct CarterText {
  std::string letter;  // as written (validated by the library when stored)
  std::int32_t number = 0;
  std::int32_t section = 0;
  double northSouthFeet = 0.0;
  bool fromNorth = false;  // FNL rather than FSL
  double eastWestFeet = 0.0;
  bool fromEast = false;  // FEL rather than FWL
};

struct CarterParse {
  std::optional<CarterText> location;
  std::size_t length = 0;  // characters of the input the location took (leading blanks included)
  std::string error;
};

/// Reads one location at the start of text, in either layout (told apart by the first
/// non-blank character: a letter starts the default layout, a digit or sign the other).
/// What follows the location is left for the caller.
CarterParse ParseCarter(std::string_view text);

/// The text to store as the row letter: the row-index form "033" for "HH", which the
/// library's letter rule does not take as a letter, and the text as written otherwise.
std::string LetterForLibrary(const std::string& letter);

}  // namespace lantrel::cli
