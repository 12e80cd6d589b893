// Locator: one loaded data file, looked up point by point exactly as a new position holding
// each point would look it up.
#include "lantrel/locator.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>

#include "datum/nadcon.hpp"
#include "lantrel/data_file.hpp"
#include "lantrel/error.hpp"
#include "core/parallel_chunks.hpp"
#include "core/point_failure.hpp"
#include "core/raise.hpp"
#include "core/shift_window.hpp"
#include "core/stored_pair.hpp"
#include "projection/geographic_range.hpp"
#include "refdata/lookup.hpp"
#include "refdata/outlines.hpp"
#include "refdata/reference_data.hpp"

namespace lantrel {

namespace {

constexpr const char* kLocatorSource = "lantrel:Locator:";
constexpr const char* kLocateSource = "lantrel:Locator:Locate:";

constexpr const char* kNotLoaded =
    "lantrel has not been initialized.\r\n"
    "Could not connect to lantrel.bin.\r\n"
    "Location functionality is not available.";

[[noreturn]] void RaiseNotLoaded() { throw Error(errc::DataNotLoaded, kLocatorSource, kNotLoaded); }

// When the search found no file, the description says where it looked.
[[noreturn]] void RaiseNotFound() {
  std::string folders;
  for (const auto& f : DataSearchFolders()) folders += (folders.empty() ? "" : ", ") + f;
  throw Error(errc::DataNotLoaded, kLocatorSource,
              std::string(kNotLoaded) + "\r\nFolders searched: " + folders + ".");
}

void CheckDatum(std::int32_t datum) {
  if (datum != 0 && datum != 1) {
    throw Error(errc::InvalidDatum, kLocateSource, "Invalid horizontal datum specified.");
  }
}

detail::OutlineTable TableOf(LocatorTable table) {
  const auto code = static_cast<std::int32_t>(table);
  if (code < 0 || code > 2) detail::RaiseRuntime(errc::InvalidArgument);
  return static_cast<detail::OutlineTable>(code);
}

template <typename Table>
const auto& Record(const Table& table, std::int32_t index) {
  detail::CheckIndex(index, static_cast<std::int64_t>(table.size()) - 1);
  return table[static_cast<std::size_t>(index)];
}

// The point a position stores after the lets x = lon, y = lat on a new geographic position:
// x keeps the magnitude; writing the value already held (0) changes nothing, so -0 reads as 0.
detail::LocationIndices SearchChecked(const detail::ReferenceData& data, double lon, double lat,
                                      std::int32_t datum) {
  const Pair geo = detail::CheckGeographicPoint(detail::LetPair(lon, lat), kLocatorSource);
  detail::LocationIndices found;
  if (!detail::InShiftWindow(geo)) return found;
  const Pair lookup = datum == 0 ? geo : detail::Nad27ToNad83(geo);
  detail::SearchLocationIndices(data, lookup, found);
  return found;
}

Location LocateChecked(const detail::ReferenceData& data, double lon, double lat,
                       std::int32_t datum) {
  const detail::LocationIndices found = SearchChecked(data, lon, lat, datum);
  Location result;
  result.stateCount = found.stateCount;
  result.countyCount = found.countyCount;
  result.quadCount = found.quadCount;
  if (found.stateCount > 0) result.state = found.state[0];
  if (found.countyCount > 0) result.county = found.county[0];
  if (found.quadCount > 0) result.quad = found.quad[0];
  return result;
}

LocationMatches MatchesChecked(const detail::ReferenceData& data, double lon, double lat,
                               std::int32_t datum) {
  const detail::LocationIndices found = SearchChecked(data, lon, lat, datum);
  LocationMatches result;
  result.stateCount = found.stateCount;
  result.countyCount = found.countyCount;
  result.quadCount = found.quadCount;
  for (std::int32_t k = 0; k < found.stateCount; ++k) result.states[k] = found.state[k];
  for (std::int32_t k = 0; k < found.countyCount; ++k) result.counties[k] = found.county[k];
  for (std::int32_t k = 0; k < found.quadCount; ++k) result.quads[k] = found.quad[k];
  return result;
}

// Every point of an array through `one`, its failures noted point by point.
template <typename Result, typename One>
void LocateEach(std::size_t count, const double* lon, const double* lat, std::int32_t datum,
                Result* out, std::int32_t* status, PointErrors* errors, unsigned threads,
                One one) {
  if (errors != nullptr) errors->Clear();
  if (count == 0) return;
  CheckDatum(datum);
  if (!lon || !lat || !out || !status) detail::RaiseRuntime(errc::InvalidArgument);
  detail::RunInChunks(count, threads, errors,
                      [&](std::size_t begin, std::size_t end, PointErrors* chunkErrors) {
    for (std::size_t i = begin; i < end; ++i) {
      try {
        out[i] = one(lon[i], lat[i]);
        status[i] = 0;
      } catch (const Error& e) {
        out[i] = Result{};
        status[i] = detail::NoteFailure(chunkErrors, i, e);
      }
    }
  });
}

}  // namespace

Locator::Locator(const std::string& dataFile) {
  const std::string file = dataFile.empty() ? DefaultDataFile() : dataFile;
  if (file.empty()) RaiseNotFound();
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
    RaiseNotLoaded();
  }
  try {
    data_ = detail::LoadReferenceData(file);
  } catch (const Error& e) {
    throw Error(e.number(), kLocatorSource, e.description());
  }
}

Location Locator::Locate(double lon, double lat, std::int32_t datum) const {
  CheckDatum(datum);
  return LocateChecked(*data_, lon, lat, datum);
}

void Locator::Locate(std::size_t count, const double* lon, const double* lat, std::int32_t datum,
                     Location* out, std::int32_t* status) const {
  Locate(count, lon, lat, datum, out, status, nullptr);
}

void Locator::Locate(std::size_t count, const double* lon, const double* lat, std::int32_t datum,
                     Location* out, std::int32_t* status, PointErrors* errors) const {
  Locate(count, lon, lat, datum, out, status, errors, 1);
}

void Locator::Locate(std::size_t count, const double* lon, const double* lat, std::int32_t datum,
                     Location* out, std::int32_t* status, PointErrors* errors,
                     unsigned threads) const {
  LocateEach(count, lon, lat, datum, out, status, errors, threads,
             [&](double x, double y) { return LocateChecked(*data_, x, y, datum); });
}

void Locator::LocateMatches(std::size_t count, const double* lon, const double* lat,
                            std::int32_t datum, LocationMatches* out, std::int32_t* status,
                            PointErrors* errors) const {
  LocateMatches(count, lon, lat, datum, out, status, errors, 1);
}

void Locator::LocateMatches(std::size_t count, const double* lon, const double* lat,
                            std::int32_t datum, LocationMatches* out, std::int32_t* status,
                            PointErrors* errors, unsigned threads) const {
  LocateEach(count, lon, lat, datum, out, status, errors, threads,
             [&](double x, double y) { return MatchesChecked(*data_, x, y, datum); });
}

#if __cplusplus >= 202002L
void Locator::Locate(std::span<const double> lon, std::span<const double> lat,
                     std::int32_t datum, std::span<Location> out,
                     std::span<std::int32_t> status) const {
  if (lat.size() != lon.size() || out.size() != lon.size() || status.size() != lon.size()) {
    detail::RaiseRuntime(errc::InvalidArgument);
  }
  Locate(lon.size(), lon.data(), lat.data(), datum, out.data(), status.data());
}
#endif

std::int32_t Locator::Size(LocatorTable table) const {
  return static_cast<std::int32_t>(detail::OutlineCount(*data_, TableOf(table)));
}

const std::string& Locator::StateName(std::int32_t index) const {
  return Record(data_->states, index).Name;
}
std::int32_t Locator::StateFIPS(std::int32_t index) const {
  return Record(data_->states, index).FIPS;
}
const std::string& Locator::CountyName(std::int32_t index) const {
  return Record(data_->counties, index).Name;
}
std::int32_t Locator::CountyFIPS(std::int32_t index) const {
  return Record(data_->counties, index).FIPS;
}
const std::string& Locator::CountySPZone(std::int32_t index) const {
  return detail::SPZoneOfCounty(Record(data_->counties, index).FIPS);
}
const std::string& Locator::QuadName(std::int32_t index) const {
  return Record(data_->quads, index).Name;
}
const std::string& Locator::QuadTile(std::int32_t index) const {
  return Record(data_->quads, index).Tile;
}
const std::string& Locator::QuadState(std::int32_t index) const {
  return Record(data_->quads, index).State;
}

RecordBounds Locator::Bounds(LocatorTable table, std::int32_t index) const {
  const auto b = detail::RecordBounds(*data_, TableOf(table), index);
  return RecordBounds{b.xMin, b.xMax, b.yMin, b.yMax};
}

std::vector<Pair> Locator::Outline(LocatorTable table, std::int32_t index) const {
  return detail::RecordRing(*data_, TableOf(table), index);
}

std::vector<std::int32_t> Locator::RecordsMeeting(LocatorTable table, const RecordBounds& box) const {
  return detail::RecordsMeeting(*data_, TableOf(table), {box.xMin, box.xMax, box.yMin, box.yMax});
}

bool Locator::DataVerified() const { return data_->verified; }

}  // namespace lantrel
