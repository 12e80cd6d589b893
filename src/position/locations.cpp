// The state, county and quadrangle properties, and SetPath. The search runs lazily, at the
// first read after the point changed; results survive a Convert (the point did not move).
#include "carter/carter_access.hpp"
#include "datum/nadcon.hpp"
#include "lantrel/error.hpp"
#include "lantrel/position.hpp"
#include "core/raise.hpp"
#include "core/unit_fitting.hpp"
#include "projection/geographic_range.hpp"
#include "refdata/data_path.hpp"
#include "refdata/lookup.hpp"
#include "refdata/reference_data.hpp"

namespace lantrel {

namespace {

// Empties the slots a search filled. The search only appends, so every slot at or beyond a
// count already holds the empty value; clearing just the filled ones spares building fresh
// lists at every search.
void ClearFilled(LocationResults& r) {
  for (std::size_t i = 0; i < static_cast<std::size_t>(r.stateCount); ++i) {
    r.stateFIPS[i] = 0;
    r.stateName[i].clear();
  }
  for (std::size_t i = 0; i < static_cast<std::size_t>(r.countyCount); ++i) {
    r.countyFIPS[i] = 0;
    r.countyName[i].clear();
  }
  for (std::size_t i = 0; i < static_cast<std::size_t>(r.quadCount); ++i) {
    r.quadName[i].clear();
    r.quadState[i].clear();
    r.quadTile[i].clear();
  }
  r.stateCount = r.countyCount = r.quadCount = 0;
}

template <typename T, std::size_t N>
T Slot(const std::array<T, N>& slots, std::int32_t count, std::int32_t index) {
  if (count == 0 || index < 0 || index >= static_cast<std::int32_t>(N)) return T{};
  return slots[static_cast<std::size_t>(index)];
}

}  // namespace

bool ZrGeoPosition::SetPath(const std::string& PathSpec) {
  if (data_) return true;
  if (PathSpec.empty()) return false;
  const std::string folder = PathSpec.back() == '/' ? PathSpec : PathSpec + '/';
  if (!detail::FileExistsIn(folder)) return false;
  try {
    data_ = detail::LoadReferenceData(folder + detail::kDataFileName);
  } catch (const Error& e) {
    throw Error(e.number(), "zrGeoPosition:SetPath", e.description());
  }
  return true;
}

bool ZrGeoPosition::DataVerified() const noexcept { return data_ != nullptr && data_->verified; }

const LocationResults& ZrGeoPosition::Locations() {
  auto& carter = EnsureCarter();
  if (detail::CarterAccess::Changed(*carter) || locationsChanged_) FindLocations();
  return results_;
}

void ZrGeoPosition::FindLocations() {
  if (!data_) {
    throw Error(errc::DataNotLoaded, detail::kPositionSource,
                "lantrel has not been initialized.\r\n"
                "Could not connect to lantrel.bin.\r\n"
                "Location functionality is not available.");
  }
  ClearFilled(results_);
  const bool inWindow = InBounds();
  // A point that is not on the globe is not outside every area: it cannot be looked up.
  detail::CheckGeographicPoint(geo_, detail::kPositionSource);
  if (!inWindow) return;
  const Pair lookup = datum_ == detail::kNAD83 ? geo_ : detail::Nad27ToNad83(geo_);
  detail::SearchLocations(*data_, lookup, results_);
  locationsChanged_ = false;
}

std::int32_t ZrGeoPosition::StateCount() { return Locations().stateCount; }
std::string ZrGeoPosition::StateName(std::int32_t i) {
  const auto& r = Locations();
  return Slot(r.stateName, r.stateCount, i);
}
std::int32_t ZrGeoPosition::StateFIPS(std::int32_t i) {
  const auto& r = Locations();
  return Slot(r.stateFIPS, r.stateCount, i);
}
std::int32_t ZrGeoPosition::CountyCount() { return Locations().countyCount; }
std::string ZrGeoPosition::CountyName(std::int32_t i) {
  const auto& r = Locations();
  return Slot(r.countyName, r.countyCount, i);
}
std::int32_t ZrGeoPosition::CountyFIPS(std::int32_t i) {
  const auto& r = Locations();
  return Slot(r.countyFIPS, r.countyCount, i);
}
std::string ZrGeoPosition::CountySPZone(std::int32_t i) {
  const auto& r = Locations();
  if (r.countyCount == 0 || i < 0 || i > 2) return {};
  return detail::SPZoneOfCounty(r.countyFIPS[static_cast<std::size_t>(i)]);
}
std::int32_t ZrGeoPosition::QuadCount() { return Locations().quadCount; }
std::string ZrGeoPosition::QuadTile(std::int32_t i) {
  const auto& r = Locations();
  return Slot(r.quadTile, r.quadCount, i);
}
std::string ZrGeoPosition::QuadName(std::int32_t i) {
  const auto& r = Locations();
  return Slot(r.quadName, r.quadCount, i);
}
std::string ZrGeoPosition::QuadState(std::int32_t i) {
  const auto& r = Locations();
  return Slot(r.quadState, r.quadCount, i);
}

}  // namespace lantrel
