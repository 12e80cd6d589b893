// One reusable position object that takes points in a source system and re-expresses them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "carter_text.hpp"
#include "lantrel/angle_text.hpp"
#include "lantrel/lantrel.hpp"
#include "lantrel/plausibility.hpp"
#include "systems.hpp"

namespace lantrel::cli {

struct ConvertedPoint {
  double x = 0.0;  // easting, or longitude with the sign of the chosen west convention
  double y = 0.0;  // northing or latitude
  std::string location;  // the Carter location string when the target is Carter
};

/// The library's error as one line: number and description (line breaks joined, the text
/// escaped and cut short like any quote of input).
std::string DescribeLibraryError(const Error& e);


class PointConverter {
 public:
  /// from is the system of the input points; to the target (ignored by Place-only users).
  PointConverter(const System& from, const System& to, bool westPositive, bool zgsLayout);

  /// Puts a pair in the source system into the position. False (with error()) when the
  /// values cannot stand for a point: latitude beyond ±90°, longitude beyond ±180°, or a
  /// negative easting, which the position would silently take as its magnitude.
  bool PlacePair(double x, double y);
  /// Puts a Carter location into the position (source system Carter).
  bool PlaceCarter(const CarterText& location);
  /// Reads the point at the start of a plain data line ("x y ...", degrees-minutes-seconds
  /// with hemisphere letters for geographic input, or a Carter location when the source is
  /// Carter) into the position; separator and rest receive the text between
  /// the coordinates and the text after them.
  bool PlaceLine(std::string_view line, std::string_view& separator, std::string_view& rest);
  /// Reads a pair given as two texts (CSV cells). Geographic values may be written in
  /// degrees, minutes and seconds with hemisphere letters (see lantrel/angle_text.hpp).
  bool PlaceValues(std::string_view x, std::string_view y);
  /// Reads a Carter location that fills the whole text (a CSV cell).
  bool PlaceLocation(std::string_view text);
  /// Converts the placed point to the target system. Fails when the point, taken to
  /// geographic coordinates, lies beyond latitude ±90° or longitude ±180° (always), or far
  /// outside the served region (unless distant points are accepted); the message then names
  /// the likely cause when one is apparent.
  bool Convert(ConvertedPoint& out);
  /// The checks of Convert alone, for users that only need the placed point to be sound.
  /// Leaves the position in geographic coordinates on the source datum.
  bool Check();

  /// Accept points far outside the served region and Carter footages beyond a section.
  void AcceptDistant(bool accept) { acceptDistant_ = accept; }

  const std::string& error() const { return error_; }
  /// The library's error behind the last failure, when the library raised one.
  const std::optional<Error>& libraryError() const { return libraryError_; }
  ZrGeoPosition& position() { return position_; }
  const System& from() const { return from_; }
  const System& to() const { return to_; }

 private:
  void Label();
  bool PlaceAngles(AngleText x, AngleText y, std::string_view xText, std::string_view yText);
  bool Fail(std::string message);
  bool Fail(const Error& e, std::string_view hint = {});
  bool CheckRegion(double westLongitude, double latitude);

  System from_;
  System to_;
  bool westPositive_;
  bool zgsLayout_;
  bool acceptDistant_ = false;
  // What was placed, for the hints of a refused point.
  double placedX_ = 0.0;
  double placedY_ = 0.0;
  bool commaDecimalSuspect_ = false;
  ZrGeoPosition position_;
  std::string error_;
  std::optional<Error> libraryError_;
};

}  // namespace lantrel::cli
