// C entry points of the batch location lookup.
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <string>
#include <vector>

#include "automation/boundary.hpp"
#include "lantrel/fips_text.hpp"
#include "lantrel/locator.hpp"

using lantrel::automation::Guard;
using lantrel::automation::GuardArray;
using lantrel::automation::InText;
using lantrel::automation::Out;
using lantrel::automation::RaiseLayer;

struct lantrel_locator {
  explicit lantrel_locator(const std::string& file) : object(file) {}
  lantrel::Locator object;
};

namespace {

const lantrel::Locator& Object(const lantrel_locator* handle) {
  if (handle == nullptr) RaiseLayer(91);
  return handle->object;
}

template <typename T>
void Put(T* target, T value) {
  if (target != nullptr) *target = value;
}

// Copies a code's text with its NUL into a caller's buffer of fixed size (empty text when the
// code does not fit the width: faulty data).
void PutCode(char* target, const std::string& text) {
  if (target == nullptr) return;
  text.copy(target, text.size());
  target[text.size()] = '\0';
}

void PutText(const char** target, const std::string& text) {
  if (target != nullptr) *target = text.c_str();
}

// Texts are set to NULL when the call fails; numbers are left unchanged.
template <typename Body>
int32_t GuardTexts(std::initializer_list<const char**> texts, Body&& body) {
  const int32_t status = Guard(std::forward<Body>(body));
  if (status != 0) {
    for (const char** t : texts) Put<const char*>(t, nullptr);
  }
  return status;
}

}  // namespace

namespace {

// The C++ batch validates the arguments and fills a block at a time; the block is then copied
// into the caller's records, and each block's failed points join the caller's list at their
// place in the whole array. A call on several threads takes blocks large enough for the C++
// batch to spread over them.
template <typename Found, typename Record, typename Locate, typename Convert>
int32_t LocateInBlocks(const lantrel_locator* locator, size_t count, const double* lon,
                       const double* lat, int32_t datum, Record* out, int32_t* status,
                       lantrel_point_errors* errors, uint32_t threads, Locate locate,
                       Convert convert) {
  return GuardArray(errors, [&] {
    if (errors != nullptr) errors->object.Clear();
    const auto& l = Object(locator);
    if (count == 0) return;
    if (!out) RaiseLayer(lantrel::errc::InvalidArgument);
    const size_t blockSize = threads == 1 ? 256 : size_t{1} << 17;
    std::vector<Found> block(std::min(count, blockSize));
    lantrel::PointErrors blockErrors;
    for (size_t start = 0; start < count; start += blockSize) {
      const size_t n = count - start < blockSize ? count - start : blockSize;
      locate(l, n, lon ? lon + start : nullptr, lat ? lat + start : nullptr, datum, block.data(),
             status ? status + start : nullptr, errors != nullptr ? &blockErrors : nullptr,
             threads);
      for (size_t i = 0; i < n; ++i) out[start + i] = convert(block[i]);
      if (errors != nullptr) {
        for (const lantrel::PointError& e : blockErrors) {
          errors->object.Add(start + e.index, e.number, e.source, e.description);
        }
      }
    }
  });
}

lantrel_location ToRecord(const lantrel::Location& f) {
  return lantrel_location{f.state, f.county, f.quad, f.stateCount, f.countyCount, f.quadCount};
}

lantrel_location_matches ToRecord(const lantrel::LocationMatches& f) {
  lantrel_location_matches m{};
  std::copy(f.states.begin(), f.states.end(), m.states);
  std::copy(f.counties.begin(), f.counties.end(), m.counties);
  std::copy(f.quads.begin(), f.quads.end(), m.quads);
  m.state_count = f.stateCount;
  m.county_count = f.countyCount;
  m.quad_count = f.quadCount;
  return m;
}

}  // namespace

extern "C" {

int32_t lantrel_locator_create(const char* data_file, lantrel_locator** out) {
  const int32_t status = Guard([&] {
    auto** target = Out(out);
    *target = nullptr;
    *target = new lantrel_locator(InText(data_file));
  });
  if (status != 0 && out != nullptr) *out = nullptr;
  return status;
}

void lantrel_locator_release(lantrel_locator* locator) { delete locator; }

int32_t lantrel_locator_locate(const lantrel_locator* locator, size_t count, const double* lon,
                               const double* lat, int32_t datum, lantrel_location* out,
                               int32_t* status) {
  return lantrel_locator_locate_detailed(locator, count, lon, lat, datum, out, status, nullptr);
}

int32_t lantrel_locator_locate_detailed(const lantrel_locator* locator, size_t count,
                                        const double* lon, const double* lat, int32_t datum,
                                        lantrel_location* out, int32_t* status,
                                        lantrel_point_errors* errors) {
  return lantrel_locator_locate_threaded(locator, count, lon, lat, datum, out, status, errors,
                                         1);
}

int32_t lantrel_locator_locate_threaded(const lantrel_locator* locator, size_t count,
                                        const double* lon, const double* lat, int32_t datum,
                                        lantrel_location* out, int32_t* status,
                                        lantrel_point_errors* errors, uint32_t threads) {
  return LocateInBlocks<lantrel::Location>(
      locator, count, lon, lat, datum, out, status, errors, threads,
      [](const lantrel::Locator& l, size_t n, const double* x, const double* y, int32_t d,
         lantrel::Location* found, int32_t* s, lantrel::PointErrors* e, uint32_t t) {
        l.Locate(n, x, y, d, found, s, e, t);
      },
      [](const lantrel::Location& f) { return ToRecord(f); });
}

int32_t lantrel_locator_locate_matches(const lantrel_locator* locator, size_t count,
                                       const double* lon, const double* lat, int32_t datum,
                                       lantrel_location_matches* out, int32_t* status,
                                       lantrel_point_errors* errors) {
  return lantrel_locator_locate_matches_threaded(locator, count, lon, lat, datum, out, status,
                                                 errors, 1);
}

int32_t lantrel_locator_locate_matches_threaded(const lantrel_locator* locator, size_t count,
                                                const double* lon, const double* lat,
                                                int32_t datum, lantrel_location_matches* out,
                                                int32_t* status, lantrel_point_errors* errors,
                                                uint32_t threads) {
  return LocateInBlocks<lantrel::LocationMatches>(
      locator, count, lon, lat, datum, out, status, errors, threads,
      [](const lantrel::Locator& l, size_t n, const double* x, const double* y, int32_t d,
         lantrel::LocationMatches* found, int32_t* s, lantrel::PointErrors* e, uint32_t t) {
        l.LocateMatches(n, x, y, d, found, s, e, t);
      },
      [](const lantrel::LocationMatches& f) { return ToRecord(f); });
}

int32_t lantrel_locator_size(const lantrel_locator* locator, int32_t table, int32_t* out) {
  return Guard([&] {
    const auto& l = Object(locator);
    auto* target = Out(out);
    if (table < 0 || table > 2) RaiseLayer(lantrel::errc::InvalidArgument);
    *target = l.Size(static_cast<lantrel::LocatorTable>(table));
  });
}

int32_t lantrel_locator_state(const lantrel_locator* locator, int32_t index, const char** name,
                              int32_t* fips) {
  return GuardTexts({name}, [&] {
    const auto& l = Object(locator);
    const std::string& n = l.StateName(index);
    const std::int32_t code = l.StateFIPS(index);
    PutText(name, n);
    Put(fips, code);
  });
}

int32_t lantrel_locator_county(const lantrel_locator* locator, int32_t index, const char** name,
                               int32_t* fips, const char** sp_zone) {
  return GuardTexts({name, sp_zone}, [&] {
    const auto& l = Object(locator);
    const std::string& n = l.CountyName(index);
    const std::int32_t code = l.CountyFIPS(index);
    // The zone word is asked for only when wanted: a county code outside the zone table's
    // range fails only that question.
    const std::string* zone = sp_zone != nullptr ? &l.CountySPZone(index) : nullptr;
    PutText(name, n);
    Put(fips, code);
    if (zone != nullptr) PutText(sp_zone, *zone);
  });
}

int32_t lantrel_locator_quad(const lantrel_locator* locator, int32_t index, const char** name,
                             const char** tile, const char** state) {
  return GuardTexts({name, tile, state}, [&] {
    const auto& l = Object(locator);
    const std::string& n = l.QuadName(index);
    const std::string& t = l.QuadTile(index);
    const std::string& s = l.QuadState(index);
    PutText(name, n);
    PutText(tile, t);
    PutText(state, s);
  });
}

int32_t lantrel_locator_state_fips_text(const lantrel_locator* locator, int32_t index,
                                        char* state_fips) {
  return Guard([&] {
    const std::string text = lantrel::StateFipsText(Object(locator).StateFIPS(index));
    PutCode(Out(state_fips), text);
  });
}

int32_t lantrel_locator_county_fips_text(const lantrel_locator* locator, int32_t index,
                                         char* county_fips, char* geoid) {
  return Guard([&] {
    const std::int32_t code = Object(locator).CountyFIPS(index);
    const std::string county = lantrel::CountyFipsText(code);
    const std::string id = lantrel::CountyGeoid(code);
    PutCode(county_fips, county);
    PutCode(geoid, id);
  });
}

}  // extern "C"

int32_t lantrel_locator_bounds(const lantrel_locator* locator, int32_t table, int32_t index,
                               double* x_min, double* x_max, double* y_min, double* y_max) {
  return Guard([&] {
    const auto& l = Object(locator);
    if (table < 0 || table > 2) RaiseLayer(lantrel::errc::InvalidArgument);
    const lantrel::RecordBounds b = l.Bounds(static_cast<lantrel::LocatorTable>(table), index);
    Put(x_min, b.xMin);
    Put(x_max, b.xMax);
    Put(y_min, b.yMin);
    Put(y_max, b.yMax);
  });
}

int32_t lantrel_locator_outline(const lantrel_locator* locator, int32_t table, int32_t index,
                                double* x, double* y, size_t capacity, size_t* count) {
  return Guard([&] {
    const auto& l = Object(locator);
    auto* n = Out(count);
    if (table < 0 || table > 2) RaiseLayer(lantrel::errc::InvalidArgument);
    const auto ring = l.Outline(static_cast<lantrel::LocatorTable>(table), index);
    *n = ring.size();
    if (capacity < ring.size()) return;
    if (x == nullptr || y == nullptr) RaiseLayer(lantrel::errc::InvalidArgument);
    for (std::size_t i = 0; i < ring.size(); ++i) {
      x[i] = ring[i].x;
      y[i] = ring[i].y;
    }
  });
}

int32_t lantrel_locator_records_meeting(const lantrel_locator* locator, int32_t table, double x_min,
                                        double x_max, double y_min, double y_max, int32_t* indices,
                                        size_t capacity, size_t* count) {
  return Guard([&] {
    const auto& l = Object(locator);
    auto* n = Out(count);
    if (table < 0 || table > 2) RaiseLayer(lantrel::errc::InvalidArgument);
    const auto found = l.RecordsMeeting(static_cast<lantrel::LocatorTable>(table),
                                        lantrel::RecordBounds{x_min, x_max, y_min, y_max});
    *n = found.size();
    if (capacity < found.size()) return;
    if (indices == nullptr && !found.empty()) RaiseLayer(lantrel::errc::InvalidArgument);
    std::copy(found.begin(), found.end(), indices);
  });
}

int32_t lantrel_locator_data_verified(const lantrel_locator* locator, int32_t* out) {
  return Guard([&] { *Out(out) = Object(locator).DataVerified() ? 1 : 0; });
}
