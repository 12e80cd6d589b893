/// \file
/// lantrel — angles written in degrees, minutes and seconds, read and written.
// The forms surveyors and GIS users write:
//   84d52'23.88"W   84°52′23.88″ W   84:52:23.88W   N38 12 03.24   38 12 3.24 N   -84.8733
// and the same form written back for output.
//
// A hemisphere letter (N, S, E, W, before or after the number) gives the sign and names the
// axis. Components may be marked (° d ' ′ " ″), separated by colons, or separated by blanks;
// blank-separated components need a hemisphere letter, because without one the line cannot
// tell "-84 52 23.88" (one angle) from a longitude -84 followed by a latitude 52. Every front
// end (tool, server, C, Python, QGIS) reads and writes angles through these functions. Pure
// functions, thread-safe.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lantrel {

/// One angle as read from text.
struct AngleText {
  /// Degrees; negative for a minus sign and for the S and W hemispheres.
  double degrees = 0.0;
  /// 'N', 'S', 'E', 'W' when a hemisphere letter was written, else 0.
  char hemisphere = 0;
  /// Written as degrees and minutes (and seconds) rather than decimal degrees.
  bool sexagesimal = false;
  /// Components were separated by blanks only (possible only with a hemisphere letter).
  bool blankSeparated = false;

  /// Whether the letter names a latitude (N or S).
  bool NamesLatitude() const { return hemisphere == 'N' || hemisphere == 'S'; }
  /// Whether the letter names a longitude (E or W).
  bool NamesLongitude() const { return hemisphere == 'E' || hemisphere == 'W'; }
};

/// Result of reading one angle.
struct AngleParse {
  std::optional<AngleText> angle;  ///< the angle, empty on failure
  std::size_t end = 0;  ///< offset just after the angle (and its hemisphere letter)
  std::string error;    ///< why the text is not an angle when angle is empty; may be empty
};

/// How far ReadAngle may look past the first number.
enum class AngleScope {
  /// Components separated by blanks and a hemisphere letter after a blank are read.
  Full,
  /// One field: marks, colons and an attached letter only ("84.5W", "84°52′"), so text after
  /// a blank is left alone.
  Field,
};

/// Reads one angle starting at `from` (leading blanks skipped). The angle must end at the end
/// of the text, a blank, a comma or a semicolon.
AngleParse ReadAngle(std::string_view text, std::size_t from, AngleScope scope);

/// An angle that fills the whole text (a CSV cell or a vector attribute); blanks around it
/// are allowed. The error may be empty when the text is plainly no angle.
AngleParse ParseAngle(std::string_view text);

/// Longitude and latitude read from the start of a plain line. The views point into the line.
struct AnglePairParse {
  std::optional<AngleText> x;  ///< the first angle, empty on failure
  std::optional<AngleText> y;  ///< the second angle, empty on failure
  std::string_view xText;      ///< the first field as written, for messages
  std::string_view yText;      ///< the second field as written
  std::string_view separator;  ///< the text between x and y, kept for the output
  std::string_view rest;       ///< everything after y; empty when only blanks follow
  std::string error;           ///< the message when x or y is empty
};

/// Splits a geographic plain line into its two angles and the rest. Blank-separated degrees,
/// minutes and seconds are read when a hemisphere letter ends or starts them. Without letters
/// the line is read as two decimal numbers, and a line shaped like unlettered
/// degrees-minutes-seconds (a whole number of degrees, then a number below 60, then another
/// number) is refused as ambiguous instead of being taken as longitude and latitude.
AnglePairParse SplitAnglePair(std::string_view line);

/// Room FormatDms needs: up to 9 degree digits, the marks (8 bytes), two-digit minutes,
/// seconds with up to 12 decimals, the letter.
inline constexpr int kMaxDmsChars = 48;

/// Largest magnitude of degrees FormatDms writes (exclusive).
inline constexpr double kMaxDmsDegrees = 1e9;

/// Writes degrees as 84°52′23.88000″W: whole degrees, two-digit minutes and seconds with
/// `decimals` decimals (0-12), correctly rounded with carries into minutes and degrees, then
/// the hemisphere letter ('N'/'S' for a latitude, 'E'/'W' for a longitude by the sign).
/// Returns the end of the text written into out (room for kMaxDmsChars). A value that is not
/// finite or not below kMaxDmsDegrees in magnitude has no such form: "?" is written.
char* FormatDms(char* out, double degrees, bool longitude, int decimals);

/// Highest number of second decimals FormatDms writes.
inline constexpr int kMaxDmsDecimals = 12;

/// Second decimals written when the user names none: 0.00001″ is about 0.3 mm.
inline constexpr int kDefaultDmsDecimals = 5;

}  // namespace lantrel
