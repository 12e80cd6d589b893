// C entry points for coordinate-system texts and for Carter locations as arrays of text.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "automation/boundary.hpp"
#include "lantrel/carter_text.hpp"
#include "lantrel/plausibility.hpp"
#include "lantrel/system_text.hpp"
#include "lantrel/transformer.hpp"

using lantrel::automation::FromBool;
using lantrel::automation::Guard;
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
constexpr const char* kCarterSource = "lantrel:CarterLocations:";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The outcome of one point of a batch: 0, or an error number with its source and text.
struct PointFailure {
  std::int32_t number = 0;
  std::string source;
  std::string description;
};

// Keeps the first failure of a batch, which the error record describes afterwards.
class FirstFailure {
 public:
  std::int32_t Note(std::int32_t number, std::string_view source, std::string_view description) {
    if (first_.number == 0) first_ = PointFailure{number, std::string(source), std::string(description)};
    return number;
  }
  std::int32_t Note(const lantrel::Error& e) {
    return Note(e.number() != 0 ? e.number() : 51, e.source(), e.description());
  }
  // Called after a batch whose arguments were usable: the call still returns 0.
  void Publish() const {
    if (first_.number != 0) Record(first_.number, first_.source, first_.description);
  }

 private:
  PointFailure first_;
};

std::string Degrees(double v) {
  if (!std::isfinite(v)) return std::isnan(v) ? "nan" : (v < 0 ? "-inf" : "inf");
  char text[400];
  auto [end, ec] = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 9);
  if (ec != std::errc()) return "?";
  while (end > text && end[-1] == '0') --end;
  if (end > text && end[-1] == '.') --end;
  return std::string(text, end);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

Datum DatumCode(int32_t datum) {
  if (datum != 0 && datum != 1) {
    throw lantrel::Error(lantrel::errc::InvalidDatum, "lantrel:zrGeoPosition:Datum:",
                         "Invalid horizontal datum specified.");
  }
  return static_cast<Datum>(datum);
}

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

int32_t lantrel_carter_format_locations(int32_t datum, lantrel_bool zgs_layout, size_t count,
                                        const double* lon, const double* lat, char** out,
                                        int32_t* status) {
  FirstFailure failure;
  const int32_t rc = Guard([&] {
    const Datum d = DatumCode(datum);
    if (count == 0) return;
    if (lon == nullptr || lat == nullptr || out == nullptr || status == nullptr) {
      RaiseLayer(lantrel::errc::InvalidArgument);
    }
    for (size_t i = 0; i < count; ++i) out[i] = nullptr;
    try {
      lantrel::ZrGeoPosition position;
      const bool zgs = FromBool(zgs_layout);
      for (size_t i = 0; i < count; ++i) {
        const double x = lon[i];
        const double y = lat[i];
        status[i] = 0;
        if (!(std::fabs(y) <= 90.0)) {
          status[i] = failure.Note(lantrel::errc::InvalidArgument, kCarterSource,
                                   "latitude " + Degrees(y) + " is out of range (-90 to 90)");
          continue;
        }
        if (!(std::fabs(x) <= 180.0)) {
          status[i] = failure.Note(lantrel::errc::InvalidArgument, kCarterSource,
                                   "longitude " + Degrees(x) + " is out of range (-180 to 180)");
          continue;
        }
        try {
          // Relabelled in the order projection, datum, units, then the pair, as for any point.
          position.Projection(Projection::zrGeographic);
          position.Datum(d);
          position.Units(Units::zrDecimalDegrees);
          position.x(x);
          position.y(y);
          position.ConvertTo(d, Projection::zrCarter, Units::zrDecimalDegrees);
          const std::string text = position.Carter()->LocationString(zgs);
          if (text.empty()) {
            status[i] = failure.Note(lantrel::errc::InvalidArgument, kCarterSource,
                                     "the point lies outside the Carter grid "
                                     "(81.916667-89.583333 W, 36.5-39.25 N)");
            continue;
          }
          out[i] = OutText(text);
        } catch (const lantrel::Error& e) {
          status[i] = failure.Note(e);
        }
      }
    } catch (...) {
      // Out of memory or worse: hand back nothing rather than half a batch.
      for (size_t i = 0; i < count; ++i) {
        lantrel_string_free(out[i]);
        out[i] = nullptr;
      }
      throw;
    }
  });
  if (rc == 0) failure.Publish();
  return rc;
}

int32_t lantrel_carter_read_locations_described(int32_t datum, lantrel_bool west_positive,
                                                size_t count, const char* const* text,
                                                double* lon, double* lat, int32_t* status,
                                                char** message) {
  FirstFailure failure;
  if (message != nullptr) {
    for (size_t i = 0; i < count; ++i) message[i] = nullptr;
  }
  // Notes a point's failure and, when asked for, keeps its description beside it.
  const auto note = [&](size_t i, std::int32_t number, std::string_view source,
                        std::string_view description) {
    if (message != nullptr) message[i] = OutText(std::string(description));
    return failure.Note(number, source, description);
  };
  const int32_t rc = Guard([&] {
    const Datum d = DatumCode(datum);
    if (count == 0) return;
    if (text == nullptr || lon == nullptr || lat == nullptr || status == nullptr) {
      RaiseLayer(lantrel::errc::InvalidArgument);
    }
    lantrel::ZrGeoPosition position;
    const bool west = FromBool(west_positive);
    for (size_t i = 0; i < count; ++i) {
      lon[i] = kNaN;
      lat[i] = kNaN;
      status[i] = 0;
      std::string input;
      try {
        input = InText(text[i]);
      } catch (const lantrel::Error& e) {
        status[i] = note(i, e.number() != 0 ? e.number() : 51, e.source(), e.description());
        continue;
      }
      const lantrel::CarterParse parsed = lantrel::ParseCarter(input);
      if (!parsed.location) {
        status[i] = note(i, lantrel::errc::InvalidArgument, kCarterSource, parsed.error);
        continue;
      }
      std::size_t end = parsed.length;
      while (end < input.size() && IsBlank(input[end])) ++end;
      if (end != input.size()) {
        status[i] = note(i, lantrel::errc::InvalidArgument, kCarterSource,
                                 "unexpected text after the Carter location");
        continue;
      }
      const lantrel::CarterText& loc = *parsed.location;
      try {
        position.Projection(Projection::zrCarter);
        position.Datum(d);
        position.Units(Units::zrDecimalDegrees);
        lantrel::StoreCarterText(*position.Carter(), loc);
        position.ConvertTo(d, Projection::zrGeographic, Units::zrDecimalDegrees);
        const double x = position.x();  // a west magnitude: WestPositive is True
        lon[i] = west ? x : -x;
        lat[i] = position.y();
      } catch (const lantrel::Error& e) {
        lon[i] = kNaN;
        lat[i] = kNaN;
        status[i] = note(i, e.number() != 0 ? e.number() : 51, e.source(), e.description());
      }
    }
  });
  if (rc == 0) {
    failure.Publish();
  } else if (message != nullptr) {
    for (size_t i = 0; i < count; ++i) {
      lantrel_string_free(message[i]);
      message[i] = nullptr;
    }
  }
  return rc;
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
