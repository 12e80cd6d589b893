/// \file
/// lantrel — ZrGeoPosition, one point in one of sixteen coordinate systems.
//
// A host sets the pair (x, y) and its three labels (Projection, Datum, Units), then calls
// Convert to re-express the same point in another system, datum or unit. Setting a label never
// converts: it only states what the pair means. The position also reports the grid scale factor
// and convergence, whether it lies in the served window, and (from the reference data file)
// the states, counties and quadrangles at its point.
//
// One object is used by one caller at a time; distinct objects may be used on distinct threads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "lantrel/carter.hpp"
#include "lantrel/enums.hpp"
#include "lantrel/location_results.hpp"
#include "lantrel/pair.hpp"

namespace lantrel {

namespace detail {
struct ReferenceData;
}

/// One point: a coordinate pair (x, y) with the projection, datum and units it is expressed in.
///
/// Setting `Projection`, `Datum`, `Units`, `x` or `y` only relabels the stored pair; Convert
/// re-expresses the point. A new position is the geographic point 0° W, 0° N on NAD 83 in
/// decimal degrees; it has searched for the reference data file (DataSearchFolders) and loaded
/// it when found.
///
/// Errors are raised as lantrel::Error; a property write that fails changes nothing. Any
/// floating-point division by zero, overflow or invalid operation raises error 11 or 6 instead
/// of producing an infinity or a NaN.
///
/// Thread rule: one object is used by one thread at a time; distinct objects may be used on
/// distinct threads at once (the loaded reference data is shared read-only between them).
class ZrGeoPosition {
 public:
  /// A new position: geographic, NAD 83, decimal degrees, West positive, point (0, 0), with the
  /// reference data file loaded from the first folder of DataSearchFolders() that holds one.
  /// \throws Error when a data file was found but cannot be read (source
  ///         "zrGeoPosition:SetPath", the reader's number and description).
  ZrGeoPosition();
  ZrGeoPosition(const ZrGeoPosition&) = delete;             ///< Not copyable.
  ZrGeoPosition& operator=(const ZrGeoPosition&) = delete;  ///< Not copyable.
  /// Moves the whole state, the Carter reference and the loaded data included; the moved-from
  /// object may only be destroyed or assigned to.
  ZrGeoPosition(ZrGeoPosition&&) noexcept = default;
  /// Move assignment; see the move constructor.
  ZrGeoPosition& operator=(ZrGeoPosition&&) noexcept = default;
  /// Releases the position's reference to its Carter object and to the shared data.
  ~ZrGeoPosition();

  /// The position's Carter location (shared with whoever else holds it); a new, cleared one is
  /// created first if the position holds none. Never throws but for lack of memory.
  std::shared_ptr<zrCarter> Carter();
  /// Replaces the Carter location by reference (nullptr: none; one is created when needed).
  /// Sets none of the position's marks.
  void Carter(std::shared_ptr<zrCarter> c);

  /// Version text, "3.23". Never throws.
  std::string Version() const;
  /// Release date as an automation date (days since 30 December 1899). Never throws.
  double ReleaseDate() const;
  /// Name, version and copyright lines of the library. Never throws.
  std::string About() const;

  /// Whether x reads west longitudes as positive numbers (true, the default) or negative ones.
  bool WestPositive() const;
  /// Sets the sign convention of the x getter for the geographic and Carter systems; changes
  /// nothing else. Never throws.
  void WestPositive(bool value);
  /// Easting, or longitude in decimal degrees: a west longitude reads negative when
  /// WestPositive is false and the projection is geographic or Carter. Never throws.
  double x() const;
  /// Stores the magnitude of `value` (−85.5 and 85.5 both store 85.5) without converting.
  /// Writing the stored value again does nothing. Never throws.
  void x(double value);
  /// Northing, or latitude in decimal degrees. Never throws.
  double y() const;
  /// Stores `value` without converting; writing the stored value again does nothing.
  void y(double value);

  /// The coordinate system of the pair.
  zrGeoProjection Projection() const;
  /// Relabels the pair as being in `value` and fits the units to the new system (decimal
  /// degrees for geographic and Carter, US feet or metres instead of degrees for plane
  /// systems); zrSingleZone forces NAD 83. Writing the current value does nothing.
  /// \throws Error −2147220502 (base + 1002, "Invalid projection specified.") for a code
  ///         outside 0–15; nothing changes.
  void Projection(zrGeoProjection value);
  /// The same with a raw 32-bit code, as an automation host passes it.
  /// \throws Error −2147220502 for a code outside 0–15.
  void Projection(std::int32_t value);
  /// The horizontal datum of the pair.
  zrGeoDatum Datum() const;
  /// Relabels the pair as being on `value` (kept NAD 83 while the projection is zrSingleZone).
  /// Writing the current value does nothing.
  /// \throws Error −2147220503 (base + 1001, "Invalid horizontal datum specified.") for a
  ///         code other than 0 and 1; nothing changes.
  void Datum(zrGeoDatum value);
  /// The same with a raw 32-bit code. \throws Error −2147220503 for a code other than 0, 1.
  void Datum(std::int32_t value);
  /// The linear unit of the pair (decimal degrees for geographic and Carter).
  zrGeoUnits Units() const;
  /// Relabels the pair as being in `value`, fitted to the projection (always degrees for
  /// geographic and Carter; US feet or metres instead of degrees for plane systems). Writing
  /// the current value does nothing.
  /// \throws Error −2147220501 (base + 1003, "Invalid units specified.") for a code outside
  ///         0–5; nothing changes.
  void Units(zrGeoUnits value);
  /// The same with a raw 32-bit code. \throws Error −2147220501 for a code outside 0–5.
  void Units(std::int32_t value);

  /// How many states contain the point (0–3); the search runs when the point has changed.
  /// \throws Error −2147220494 (base + 1010) while no data file is loaded; error 9 for faulty
  ///         data met during the search.
  std::int32_t StateCount();
  /// Name of state `Index` (0–2) at the point; "" for an index out of range or past the count.
  /// \throws Error as StateCount.
  std::string StateName(std::int32_t Index = 0);
  /// FIPS code of state `Index`; 0 for an index out of range or past the count.
  /// \throws Error as StateCount.
  std::int32_t StateFIPS(std::int32_t Index = 0);
  /// How many Kentucky counties contain the point (0–3). \throws Error as StateCount.
  std::int32_t CountyCount();
  /// Name of county `Index` (0–2); "" out of range. \throws Error as StateCount.
  std::string CountyName(std::int32_t Index = 0);
  /// County part of the FIPS code of county `Index`; 0 out of range.
  /// \throws Error as StateCount.
  std::int32_t CountyFIPS(std::int32_t Index = 0);
  /// Plane-coordinate zone of county `Index` ("North", "South"); "" out of range.
  /// \throws Error as StateCount; error 9 for a county code outside 0–239 in the data.
  std::string CountySPZone(std::int32_t Index = 0);
  /// How many 7.5-minute quadrangles contain the point (0–4). \throws Error as StateCount.
  std::int32_t QuadCount();
  /// Tile of quadrangle `Index` (0–3), such as "37085-A1"; "" out of range.
  /// \throws Error as StateCount.
  std::string QuadTile(std::int32_t Index = 0);
  /// Name of quadrangle `Index`; "" out of range or for an unnamed cell.
  /// \throws Error as StateCount.
  std::string QuadName(std::int32_t Index = 0);
  /// Primary state of quadrangle `Index`; "" out of range. \throws Error as StateCount.
  std::string QuadState(std::int32_t Index = 0);

  /// Grid scale factor at the point in its plane system (1 for geographic and Carter).
  /// \throws Error 6 or 11 when the computation overflows or divides by zero.
  double ScaleFactor() const;
  /// Meridian convergence at the point, decimal degrees (0 for geographic and Carter).
  /// \throws Error 6 or 11 as ScaleFactor.
  double Convergence() const;

  /// Converts the point to another datum, projection and units, each given as an optional
  /// by-reference code: nullptr omits it; a variable holding −1 means "keep"; each given
  /// variable receives the resolved value. Units are fitted to the target projection.
  /// \return 0, or 4 when a datum change was refused because the point lies outside the
  ///         shift window (81.5°–90° W, 36°–39.5° N); the position is then unchanged.
  /// \throws Error −2147220503, −2147220502 or −2147220501 (source
  ///         "lantrel:zrGeoPosition:Convert:") for an invalid target; error 6 or 11 when a
  ///         computation overflows or divides by zero; the position is then unchanged.
  std::int32_t Convert(std::int32_t* toDatum = nullptr, std::int32_t* toProjection = nullptr,
                       std::int32_t* toUnits = nullptr);
  /// Convert with enumerations; returns 0 or 4 and raises as Convert.
  std::int32_t ConvertTo(zrGeoDatum toDatum, zrGeoProjection toProjection, zrGeoUnits toUnits);

  /// Whether the point lies in the datum-shift window 81.5°–90° W, 36°–39.5° N (bounds
  /// included). \throws Error 6 or 11 when deriving the geographic point fails.
  bool InBounds();
  /// Loads the reference data file lantrel.bin from folder `PathSpec` (with or without the
  /// trailing '/').
  /// \return true when data is loaded after the call (also, at once, when it already was);
  ///         false for an empty `PathSpec` or a folder without the file.
  /// \throws Error when the file exists but cannot be read (source "zrGeoPosition:SetPath":
  ///         53 or 75 when it cannot be opened, 9, 6, 62 or 321 for a damaged file).
  bool SetPath(const std::string& PathSpec);

  /// True once a reference data file has been loaded. Never throws.
  bool DataLoaded() const noexcept { return data_ != nullptr; }
  /// True when the loaded data file carries a content checksum and its bytes matched it (a
  /// file that does not match is never loaded); false without a data file or for a file
  /// written without a checksum. Never throws.
  bool DataVerified() const noexcept;

 private:
  std::shared_ptr<zrCarter>& EnsureCarter();
  void RefreshGeographic();
  const LocationResults& Locations();
  void FindLocations();

  std::shared_ptr<zrCarter> carter_;
  Pair stored_{};
  Pair geo_{};
  std::int32_t projection_ = 5;
  std::int32_t datum_ = 0;
  std::int32_t units_ = 0;
  bool locationsChanged_ = true;
  bool geographicChanged_ = true;
  bool inShiftWindow_ = false;
  bool westPositive_ = true;
  std::shared_ptr<const detail::ReferenceData> data_;
  LocationResults results_;
};

}  // namespace lantrel
