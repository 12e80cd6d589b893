// C entry points for coordinate-system texts, Carter locations as arrays of text and the
// plausibility check.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "automation/boundary.hpp"
#include "lantrel/carter_arrays.hpp"
#include "lantrel/plausibility.hpp"
#include "lantrel/system_text.hpp"
#include "lantrel/transformer.hpp"

using lantrel::automation::FromBool;
using lantrel::automation::Guard;
using lantrel::automation::GuardArray;
using lantrel::automation::ListOf;
using lantrel::automation::GuardOut;
using lantrel::automation::InText;
using lantrel::automation::Out;
using lantrel::automation::OutText;
using lantrel::automation::RaiseLayer;
using lantrel::automation::Record;

namespace {

// The C header's enumerations share these names in the global namespace.
using Datum = lantrel::zrGeoDatum;
using Projection = lantrel::zrGeoProjection;
using Units = lantrel::zrGeoUnits;

constexpr const char* kSystemSource = "lantrel:ParseSystem:";

// Frees the library strings of a batch and sets them to NULL.
void FreeTexts(char** texts, size_t count) noexcept {
  for (size_t i = 0; i < count; ++i) {
    lantrel_string_free(texts[i]);
    texts[i] = nullptr;
  }
}

// Runs a detailed Carter batch and, after a 0 return, leaves the first failed point's record
// in the thread's error record, as the Carter batches without an error list always have.
template <typename Call>
int32_t WithFirstFailure(Call call) noexcept {
  lantrel_point_errors errors;
  const int32_t rc = call(&errors);
  if (rc == 0 && !errors.object.empty()) {
    const lantrel::PointError& first = errors.object[0];
    Record(first.number, first.source, first.description);
  }
  return rc;
}

// The C interface's datum code as the enumeration; the Carter batches check it themselves.
Datum DatumCode(int32_t datum) { return static_cast<Datum>(datum); }

}  // namespace

extern "C" {

int32_t lantrel_system_parse(const char* text, int32_t* projection, int32_t* datum,
                             int32_t* units, int32_t* epsg) {
  return Guard([&] {
    const std::string input = InText(text);
    const lantrel::SystemParse parsed = lantrel::ParseSystem(input);
    if (!parsed.system) {
      throw lantrel::Error(lantrel::errc::InvalidArgument, kSystemSource, parsed.error);
    }
    const lantrel::System& s = *parsed.system;
    if (projection != nullptr) *projection = static_cast<int32_t>(s.projection);
    if (datum != nullptr) *datum = static_cast<int32_t>(s.datum);
    if (units != nullptr) *units = static_cast<int32_t>(s.units);
    if (epsg != nullptr) *epsg = s.epsg;
  });
}

int32_t lantrel_system_epsg(int32_t projection, int32_t datum, int32_t units, int32_t* epsg) {
  return Guard([&] {
    auto* target = Out(epsg);
    *target = 0;
    for (const auto& e : lantrel::EpsgTable()) {
      if (static_cast<int32_t>(e.projection) == projection &&
          static_cast<int32_t>(e.datum) == datum && static_cast<int32_t>(e.units) == units) {
        *target = e.code;
      }
    }
  });
}

int32_t lantrel_system_epsg_count(int32_t* count) {
  return Guard([&] { *Out(count) = static_cast<int32_t>(lantrel::EpsgTable().size()); });
}

int32_t lantrel_system_epsg_entry(int32_t index, int32_t* code, int32_t* projection,
                                  int32_t* datum, int32_t* units) {
  return Guard([&] {
    const auto table = lantrel::EpsgTable();
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) {
      RaiseLayer(lantrel::errc::SubscriptOutOfRange);
    }
    const auto& e = table[static_cast<std::size_t>(index)];
    if (code != nullptr) *code = e.code;
    if (projection != nullptr) *projection = static_cast<int32_t>(e.projection);
    if (datum != nullptr) *datum = static_cast<int32_t>(e.datum);
    if (units != nullptr) *units = static_cast<int32_t>(e.units);
  });
}

int32_t lantrel_system_describe(int32_t projection, int32_t datum, int32_t units, int32_t epsg,
                                char** out) {
  return GuardOut(out, [&] {
    auto** target = Out(out);
    if (projection < 0 || projection > 15 || (datum != 0 && datum != 1) || units < 0 ||
        units > 5) {
      RaiseLayer(lantrel::errc::InvalidArgument);
    }
    lantrel::System s{static_cast<Projection>(projection), static_cast<Datum>(datum),
                      static_cast<Units>(units), epsg};
    *target = OutText(lantrel::Describe(s));
  });
}

int32_t lantrel_carter_format_locations_detailed(int32_t datum, lantrel_bool zgs_layout,
                                                 size_t count, const double* lon,
                                                 const double* lat, char** out, int32_t* status,
                                                 lantrel_point_errors* errors) {
  return lantrel_carter_format_locations_threaded(datum, zgs_layout, count, lon, lat, out,
                                                  status, errors, 1);
}

int32_t lantrel_carter_format_locations_threaded(int32_t datum, lantrel_bool zgs_layout,
                                                 size_t count, const double* lon,
                                                 const double* lat, char** out, int32_t* status,
                                                 lantrel_point_errors* errors,
                                                 uint32_t threads) {
  return GuardArray(errors, [&] {
    if (errors != nullptr) errors->object.Clear();
    if (out != nullptr) {
      for (size_t i = 0; i < count; ++i) out[i] = nullptr;
    }
    std::vector<std::string> texts(count);
    // The library checks the datum, then the arrays it reads and fills.
    lantrel::FormatCarterLocations(DatumCode(datum), FromBool(zgs_layout), count, lon, lat,
                                   texts.data(), status, ListOf(errors), threads);
    if (count != 0 && out == nullptr) RaiseLayer(lantrel::errc::InvalidArgument);
    // Out of memory half-way: hand back nothing rather than half a batch.
    try {
      for (size_t i = 0; i < count; ++i) {
        if (status[i] == 0) out[i] = OutText(texts[i]);
      }
    } catch (...) {
      FreeTexts(out, count);
      throw;
    }
  });
}

int32_t lantrel_carter_format_locations(int32_t datum, lantrel_bool zgs_layout, size_t count,
                                        const double* lon, const double* lat, char** out,
                                        int32_t* status) {
  return WithFirstFailure([&](lantrel_point_errors* errors) {
    return lantrel_carter_format_locations_detailed(datum, zgs_layout, count, lon, lat, out,
                                                    status, errors);
  });
}

int32_t lantrel_carter_read_locations_detailed(int32_t datum, lantrel_bool west_positive,
                                               size_t count, const char* const* text,
                                               double* lon, double* lat, int32_t* status,
                                               lantrel_point_errors* errors) {
  return lantrel_carter_read_locations_threaded(datum, west_positive, count, text, lon, lat,
                                                status, errors, 1);
}

int32_t lantrel_carter_read_locations_threaded(int32_t datum, lantrel_bool west_positive,
                                               size_t count, const char* const* text,
                                               double* lon, double* lat, int32_t* status,
                                               lantrel_point_errors* errors, uint32_t threads) {
  return GuardArray(errors, [&] {
    if (errors != nullptr) errors->object.Clear();
    // A NULL text reads as empty, and fails as one.
    std::vector<std::string_view> views(text != nullptr ? count : 0);
    for (size_t i = 0; i < views.size(); ++i) {
      if (text[i] != nullptr) views[i] = text[i];
    }
    // The library checks the datum, then the arrays.
    lantrel::ReadCarterLocations(DatumCode(datum), FromBool(west_positive), count,
                                 text != nullptr ? views.data() : nullptr, lon, lat, status,
                                 ListOf(errors), threads);
  });
}

int32_t lantrel_carter_read_locations_described(int32_t datum, lantrel_bool west_positive,
                                                size_t count, const char* const* text,
                                                double* lon, double* lat, int32_t* status,
                                                char** message) {
  if (message != nullptr) {
    for (size_t i = 0; i < count; ++i) message[i] = nullptr;
  }
  return WithFirstFailure([&](lantrel_point_errors* errors) {
    int32_t rc = lantrel_carter_read_locations_detailed(datum, west_positive, count, text, lon,
                                                        lat, status, errors);
    if (rc == 0 && message != nullptr) {
      rc = Guard([&] {
        try {
          for (const lantrel::PointError& e : errors->object) {
            message[e.index] = OutText(e.description);
          }
        } catch (...) {
          FreeTexts(message, count);
          throw;
        }
      });
    }
    return rc;
  });
}

int32_t lantrel_carter_read_locations(int32_t datum, lantrel_bool west_positive, size_t count,
                                      const char* const* text, double* lon, double* lat,
                                      int32_t* status) {
  return lantrel_carter_read_locations_described(datum, west_positive, count, text, lon, lat,
                                                 status, nullptr);
}

int32_t lantrel_region_check(int32_t projection, int32_t datum, int32_t units, size_t count,
                             const double* x, const double* y, int32_t* status, char** message) {
  if (message != nullptr) {
    for (size_t i = 0; i < count; ++i) message[i] = nullptr;
  }
  const int32_t rc = Guard([&] {
    if (projection < 0 || projection > 15 || projection == 6 || (datum != 0 && datum != 1) ||
        units < 0 || units > 5) {
      RaiseLayer(lantrel::errc::InvalidArgument);
    }
    if (count == 0) return;
    if (x == nullptr || y == nullptr || status == nullptr) {
      RaiseLayer(lantrel::errc::InvalidArgument);
    }
    const lantrel::System from{static_cast<Projection>(projection), static_cast<Datum>(datum),
                               static_cast<Units>(units), 0};
    // The geographic point on the source datum, west longitudes as magnitudes.
    std::vector<double> lon(x, x + count), lat(y, y + count);
    std::vector<int32_t> converted(count, 0);
    if (!from.Angular()) {
      const lantrel::Transformer toGeographic({projection, datum, units}, {5, datum, 0}, true);
      toGeographic.Transform(count, x, y, lon.data(), lat.data(), converted.data());
    }
    for (size_t i = 0; i < count; ++i) {
      status[i] = 0;
      // A pair that does not convert is not judged: its conversion reports it.
      if (converted[i] != 0 || !(std::isfinite(x[i]) && std::isfinite(y[i]))) continue;
      const lantrel::RegionVerdict verdict =
          lantrel::JudgeRegion(from, x[i], y[i], std::fabs(lon[i]), lat[i], false);
      if (verdict.ok()) continue;
      status[i] = lantrel::errc::InvalidArgument;
      if (message != nullptr) message[i] = OutText(verdict.message);
    }
  });
  if (rc != 0 && message != nullptr) {
    for (size_t i = 0; i < count; ++i) {
      lantrel_string_free(message[i]);
      message[i] = nullptr;
    }
  }
  return rc;
}

}  // extern "C"
