/// \file
/// lantrel — whether a pair is plausibly the point its writer meant.
//
// A pair that converts may still be a mistake: latitude and longitude given the wrong way
// round, a decimal comma read as a separator, a point from another continent. These rules
// judge a placed pair against the region the library serves and name the likely cause. Every
// front end applies them the same way; each adds its own way of accepting a distant point.
// Pure and thread-safe.
#pragma once

#include <string>
#include <string_view>

#include "lantrel/carter_text.hpp"
#include "lantrel/system_text.hpp"

namespace lantrel {

/// The region points are expected in: every state whose plane zone the library carries
/// (Kentucky, Missouri, Illinois, Indiana, Ohio, West Virginia, Virginia, Tennessee) with a
/// margin of about two degrees. Longitudes are west-positive magnitudes.
struct ServedRegion {
  static constexpr double kWest = 98.0;   ///< western edge, degrees west
  static constexpr double kEast = 73.0;   ///< eastern edge, degrees west
  static constexpr double kSouth = 33.0;  ///< southern edge, degrees north
  static constexpr double kNorth = 45.0;  ///< northern edge, degrees north
  /// Whether (west longitude, latitude) lies inside, bounds included.
  static constexpr bool Contains(double westLongitude, double latitude) {
    return westLongitude >= kEast && westLongitude <= kWest && latitude >= kSouth &&
           latitude <= kNorth;
  }
};

/// The largest footage calls a Carter section can hold, in US survey feet: a 1-minute
/// section is about 6,070 ft from north to south and at most about 4,900 ft from east to
/// west inside the grid (36.5-39.25 N); both limits carry a small margin.
struct SectionFootage {
  static constexpr double kNorthSouth = 6100.0;  ///< north-south limit
  static constexpr double kEastWest = 4950.0;    ///< east-west limit
};

/// Why the footage calls of a Carter location exceed what a section holds (SectionFootage),
/// e.g. "footage 7000-FNL is beyond what a section holds (0 to 6100 ft north-south)"; empty
/// when both lie within. Callers add how their users accept such a location.
std::string FootageProblem(const CarterText& location);

/// Why a pair given in `from` cannot stand for a point: for angular sources a latitude beyond
/// +-90 or a longitude beyond +-180, for plane sources a negative easting (which a position
/// would silently take as its magnitude); empty when it can. An angular NaN is out of range; a
/// NaN easting is left to the conversion, which refuses it.
std::string PairRangeProblem(const System& from, double x, double y);

/// Whether the pair is in range as PairRangeProblem judges it, a NaN easting refused too
/// (callers of blocks then take the point through the per-point path, which words it).
bool PairInRange(const System& from, double x, double y);

/// Whether a geographic point passes the region check of JudgeRegion: on the globe (latitude
/// within +-90, longitude within +-180) and inside the served region unless `acceptDistant`.
/// `westLongitude` is the longitude as a position reads it (west-positive).
bool RegionPlausible(double westLongitude, double latitude, bool acceptDistant);

/// " (comma used as decimal mark?)" when the text is a number written with a decimal comma
/// (an optional sign, digits, one comma, digits); else empty.
std::string DecimalCommaHint(std::string_view text);

/// Whether two fields split at `separator` may have been one number with a decimal comma:
/// the separator is a comma and both fields are whole numbers ("-84,8" read as -84 and 8).
bool MayBeDecimalComma(std::string_view separator, std::string_view x, std::string_view y);

/// Whether the pair (x, y) in `from`, read the other way round, would lie in the served
/// region. For geographic sources x and y are degrees; for plane sources the swapped pair is
/// taken to geographic coordinates on the source datum. Never throws except std::bad_alloc.
bool SwappedIsPlausible(const System& from, double x, double y);

/// The verdict on one placed point.
struct RegionVerdict {
  /// What the check found.
  enum class Kind {
    Plausible,  ///< inside the served region (or distant points accepted)
    OffGlobe,   ///< beyond latitude +-90 or longitude +-180: never a point
    Distant,    ///< a point of the globe far outside the served region
  };
  Kind kind = Kind::Plausible;  ///< what was found
  std::string message;          ///< what is wrong and its likely cause; empty when plausible

  /// Whether the point passes.
  bool ok() const { return kind == Kind::Plausible; }
};

/// Judges the pair (placedX, placedY) given in `from` by the geographic point it stands for
/// on the source datum (westLongitude as a west-positive magnitude, latitude). A distant
/// point's message ends with the likely cause when one is apparent: a decimal comma (when
/// `commaSuspect`, see MayBeDecimalComma) or swapped axes (SwappedIsPlausible). Callers add
/// how their users accept a distant point. Never throws except std::bad_alloc.
RegionVerdict JudgeRegion(const System& from, double placedX, double placedY,
                          double westLongitude, double latitude, bool acceptDistant,
                          bool commaSuspect = false);

/// Text of a number in a message: up to nine decimals without trailing zeros, a value of
/// 1e15 or more in shortest form, "nan" and "inf" as such.
std::string MessageNumber(double v);

}  // namespace lantrel
