// lantrel — ZrGeoPosition, one point in one of sixteen coordinate systems.
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
#include "lantrel/visibility.hpp"

namespace lantrel {

namespace detail {
struct LANTREL_INTERNAL ReferenceData;
}

class ZrGeoPosition {
 public:
  ZrGeoPosition();
  ZrGeoPosition(const ZrGeoPosition&) = delete;
  ZrGeoPosition& operator=(const ZrGeoPosition&) = delete;
  ZrGeoPosition(ZrGeoPosition&&) noexcept = default;
  ZrGeoPosition& operator=(ZrGeoPosition&&) noexcept = default;
  ~ZrGeoPosition();

  std::shared_ptr<zrCarter> Carter();        // creates one if the position holds none
  void Carter(std::shared_ptr<zrCarter> c);  // set by reference; nullptr = nothing

  std::string Version() const;
  double ReleaseDate() const;
  std::string About() const;

  bool WestPositive() const;
  void WestPositive(bool value);
  double x() const;
  void x(double value);
  double y() const;
  void y(double value);

  // Each let takes the enumeration or a raw 32-bit code (what an automation host passes);
  // invalid codes raise.
  zrGeoProjection Projection() const;
  void Projection(zrGeoProjection value);
  void Projection(std::int32_t value);
  zrGeoDatum Datum() const;
  void Datum(zrGeoDatum value);
  void Datum(std::int32_t value);
  zrGeoUnits Units() const;
  void Units(zrGeoUnits value);
  void Units(std::int32_t value);

  std::int32_t StateCount();
  std::string StateName(std::int32_t Index = 0);
  std::int32_t StateFIPS(std::int32_t Index = 0);
  std::int32_t CountyCount();
  std::string CountyName(std::int32_t Index = 0);
  std::int32_t CountyFIPS(std::int32_t Index = 0);
  std::string CountySPZone(std::int32_t Index = 0);
  std::int32_t QuadCount();
  std::string QuadTile(std::int32_t Index = 0);
  std::string QuadName(std::int32_t Index = 0);
  std::string QuadState(std::int32_t Index = 0);

  double ScaleFactor() const;
  double Convergence() const;

  // Optional by-reference targets as raw codes: nullptr means omitted (-1, nothing written
  // back); a non-null argument is read (-1 = keep) and receives the resolved value.
  std::int32_t Convert(std::int32_t* toDatum = nullptr, std::int32_t* toProjection = nullptr,
                       std::int32_t* toUnits = nullptr);
  /// Convenience: the same with enumerations; returns 0 or 4 like Convert.
  std::int32_t ConvertTo(zrGeoDatum toDatum, zrGeoProjection toProjection, zrGeoUnits toUnits);

  bool InBounds();
  bool SetPath(const std::string& PathSpec);

  /// True once a reference data file has been loaded.
  bool DataLoaded() const noexcept { return data_ != nullptr; }

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
