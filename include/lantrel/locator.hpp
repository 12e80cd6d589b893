/// \file
/// lantrel — Locator, the state, county and quadrangle lookup for many points at once.
//
// A Locator is built once from a reference data file and is immutable afterwards: one object
// may be used by any number of threads at the same time. Each point's answer is the one a new
// ZrGeoPosition holding that geographic point reports (first state, county and quadrangle with
// the three counts, or the error its lookup raises).
#pragma once

#include <cstddef>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lantrel/array_threads.hpp"
#include "lantrel/pair.hpp"
#include "lantrel/point_errors.hpp"

#if __cplusplus >= 202002L
#include <span>
#endif

namespace lantrel {

namespace detail {
struct ReferenceData;
}

/// The areas found at one point: the first state, county and quadrangle as record numbers of
/// the data file's tables (-1 when none), and how many of each contain the point.
struct Location {
  std::int32_t state = -1;       ///< first state record found, or -1
  std::int32_t county = -1;      ///< first county record found, or -1
  std::int32_t quad = -1;        ///< first quadrangle record found, or -1
  std::int32_t stateCount = 0;   ///< states containing the point, 0-3
  std::int32_t countyCount = 0;  ///< home-state counties containing the point, 0-3
  std::int32_t quadCount = 0;    ///< quadrangles containing the point, 0-4
};

/// Every area found at one point, as record numbers of the data file's tables in the order a
/// position reports them (StateName(0), StateName(1), ...); slots from a count on are -1. A
/// point on a boundary belongs to every area sharing it, so a point may lie in several.
struct LocationMatches {
  std::array<std::int32_t, 3> states{-1, -1, -1};        ///< the states, first stateCount
  std::array<std::int32_t, 3> counties{-1, -1, -1};      ///< the counties, first countyCount
  std::array<std::int32_t, 4> quads{-1, -1, -1, -1};     ///< the quadrangles, first quadCount
  std::int32_t stateCount = 0;   ///< states containing the point, 0-3
  std::int32_t countyCount = 0;  ///< home-state counties containing the point, 0-3
  std::int32_t quadCount = 0;    ///< quadrangles containing the point, 0-4
};

/// The three tables of a data file.
enum class LocatorTable : std::int32_t { States = 0, Counties = 1, Quads = 2 };

/// A record's bounding box as the data file holds it: x west-positive longitude (xMin is the
/// east edge), y latitude, NAD 83.
struct RecordBounds {
  double xMin = 0.0;  ///< east edge, degrees west
  double xMax = 0.0;  ///< west edge, degrees west
  double yMin = 0.0;  ///< south edge, degrees north
  double yMax = 0.0;  ///< north edge, degrees north
};

/// Batch lookup over one loaded reference data file.
class Locator {
 public:
  /// Loads `dataFile`, or when it is empty the file a new ZrGeoPosition would find. Raises
  /// error -2147220494 (reference data not loaded) when there is no such file (when the
  /// search found none, its description ends with a line naming the folders searched), and the
  /// reader's error (number and description) when the file cannot be read or is damaged.
  explicit Locator(const std::string& dataFile = std::string());

  /// The areas at one point. `lon` is read as a west-positive magnitude whatever its sign
  /// (like a position's x), `lat` in degrees; `datum` 0 NAD 83 or 1 NAD 27 (shifted to NAD 83
  /// before the search, as a position does). A point outside the served window finds nothing.
  /// Raises -2147220503 for another datum code, and the error a position's lookup raises
  /// for that point (9 on faulty data, the arithmetic error at a faulty edge computation).
  /// Safe to call from many threads at once.
  Location Locate(double lon, double lat, std::int32_t datum = 0) const;

  /// Locates `count` points: out[i] and status[i] (0 or the error number Locate would raise
  /// for that point; out[i] is then empty). Raises -2147220503 for an invalid datum code and
  /// error 5 for a NULL array while count > 0; count 0 does nothing. Safe to call from many
  /// threads at once.
  void Locate(std::size_t count, const double* lon, const double* lat, std::int32_t datum,
              Location* out, std::int32_t* status) const;
  /// The same, and `errors` (when not null; emptied first) receives the number, source and
  /// description of every point whose status is not 0, in input order.
  void Locate(std::size_t count, const double* lon, const double* lat, std::int32_t datum,
              Location* out, std::int32_t* status, PointErrors* errors) const;
  /// As Locate, with every area found at each point (out[i] is empty where status[i] is not
  /// 0): what the command-line tool's locate writes, joined by ';'.
  void LocateMatches(std::size_t count, const double* lon, const double* lat,
                     std::int32_t datum, LocationMatches* out, std::int32_t* status,
                     PointErrors* errors = nullptr) const;
  /// Locate and LocateMatches on up to `threads` threads (1 the caller's thread alone, 0
  /// every core, N at most N; arrays below kArrayThreadThreshold points stay on the caller's
  /// thread). The outcome, `errors` included, is the same whatever the count.
  void Locate(std::size_t count, const double* lon, const double* lat, std::int32_t datum,
              Location* out, std::int32_t* status, PointErrors* errors,
              unsigned threads) const;
  /// LocateMatches on up to `threads` threads, counted as for Locate.
  void LocateMatches(std::size_t count, const double* lon, const double* lat,
                     std::int32_t datum, LocationMatches* out, std::int32_t* status,
                     PointErrors* errors, unsigned threads) const;

#if __cplusplus >= 202002L
  /// The same over spans; every span must hold lon.size() elements (error 5 otherwise).
  void Locate(std::span<const double> lon, std::span<const double> lat, std::int32_t datum,
              std::span<Location> out, std::span<std::int32_t> status) const;
#endif

  /// Number of records in a table.
  std::int32_t Size(LocatorTable table) const;

  /// Name of state record `index` (UTF-8); error 9 outside 0..Size(States)-1.
  const std::string& StateName(std::int32_t index) const;
  /// FIPS code of state record `index`; error 9 out of range.
  std::int32_t StateFIPS(std::int32_t index) const;
  /// Name of county record `index` (UTF-8); error 9 out of range.
  const std::string& CountyName(std::int32_t index) const;
  /// County FIPS code (county part only) of county record `index`; error 9 out of range.
  std::int32_t CountyFIPS(std::int32_t index) const;
  /// Home-state plane zone word ("North", "South" or "") of county record `index`; error 9
  /// out of range or when the county's code lies outside 0..239.
  const std::string& CountySPZone(std::int32_t index) const;
  /// Name of quadrangle record `index` (UTF-8); error 9 out of range.
  const std::string& QuadName(std::int32_t index) const;
  /// Tile text of quadrangle record `index`; error 9 out of range.
  const std::string& QuadTile(std::int32_t index) const;
  /// State text of quadrangle record `index`; error 9 out of range.
  const std::string& QuadState(std::int32_t index) const;

  /// Bounds of record `index` of a table; error 9 out of range. Every table call raises error
  /// 5 for another table code, as Size does.
  lantrel::RecordBounds Bounds(LocatorTable table, std::int32_t index) const;
  /// The outline of record `index`, for drawing it: a state's or county's boundary ring in
  /// the file's order, a quadrangle's corners (south-west, south-east, north-east,
  /// north-west), each closed by repeating its first point; x west-positive longitude, y
  /// latitude, NAD 83. Error 9 out of range or for a record whose vertices
  /// lie outside the file's lists.
  std::vector<Pair> Outline(LocatorTable table, std::int32_t index) const;
  /// The records of a table whose bounds meet `box` (touching edges count), in record order.
  std::vector<std::int32_t> RecordsMeeting(LocatorTable table, const lantrel::RecordBounds& box) const;
  /// The file carried a content checksum and it matched (ZrGeoPosition::DataVerified).
  bool DataVerified() const;

 private:
  std::shared_ptr<const detail::ReferenceData> data_;
};

}  // namespace lantrel
