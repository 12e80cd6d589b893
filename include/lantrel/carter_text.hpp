/// \file
/// lantrel — reading Carter location strings in both layouts the library writes:
//   default  D45-07 1200-FNL 350-FWL   (letter, number, section, then the two calls)
//   ZGS      1200 FNL  350 FWL 07- D-45 (calls in four-wide columns, then section-letter-number)
// Pure functions, thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lantrel {

/// The parts of one Carter location as read from text.
struct CarterText {
  std::string letter;            ///< block row as written (validated by zrCarter when stored)
  std::int32_t number = 0;       ///< block column
  std::int32_t section = 0;      ///< section in the block
  double northSouthFeet = 0.0;   ///< the north/south footage call
  bool fromNorth = false;        ///< FNL rather than FSL
  double eastWestFeet = 0.0;     ///< the east/west footage call
  bool fromEast = false;         ///< FEL rather than FWL
};

/// Result of reading a Carter location.
struct CarterParse {
  std::optional<CarterText> location;  ///< the location, empty on failure
  std::size_t length = 0;  ///< characters of the input the location took (leading blanks included)
  std::string error;       ///< what is wrong with the text, empty on success
};

/// Reads one location at the start of text, in either layout (told apart by the first
/// non-blank character: a letter starts the default layout, a digit or sign the other).
/// The location must end at the end of the text, a blank, ',' or ';'; what follows is left
/// for the caller.
CarterParse ParseCarter(std::string_view text);

/// The text to store as the row letter: the row-index form "033" for "HH", which zrCarter's
/// letter rule does not take as a letter, and the text as written otherwise.
std::string LetterForLibrary(const std::string& letter);

class zrCarter;

/// Clears carter and stores a parsed location in it: letter (through LetterForLibrary), number,
/// section and the two footage calls. Raises the Carter object's errors (1011–1013, 5, 6) for
/// values it refuses. Thread rule: carter must not be used by another thread meanwhile.
void StoreCarterText(zrCarter& carter, const CarterText& location);

}  // namespace lantrel
