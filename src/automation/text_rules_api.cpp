// C entry points for the text rules of every front end: angles, numbers, coordinate columns.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "automation/boundary.hpp"
#include "lantrel/angle_text.hpp"
#include "lantrel/coordinate_columns.hpp"
#include "lantrel/location_fields.hpp"
#include "lantrel/number_text.hpp"
#include "lantrel/plausibility.hpp"
#include "lantrel/quoted_text.hpp"

using lantrel::automation::FromBool;
using lantrel::automation::Guard;
using lantrel::automation::GuardOut;
using lantrel::automation::InText;
using lantrel::automation::Out;
using lantrel::automation::OutText;
using lantrel::automation::RaiseLayer;
using lantrel::automation::ToBool;

namespace {

[[noreturn]] void Refuse(const char* source, const std::string& why) {
  throw lantrel::Error(lantrel::errc::InvalidArgument, source, why);
}

}  // namespace

extern "C" {

int32_t lantrel_angle_parse(const char* text, double* degrees, char* hemisphere,
                            lantrel_bool* sexagesimal) {
  return Guard([&] {
    auto* target = Out(degrees);
    const std::string input = InText(text);
    const lantrel::AngleParse parsed = lantrel::ParseAngle(input);
    if (!parsed.angle) {
      Refuse("lantrel:ParseAngle:", "cannot read angle " + lantrel::Excerpt(input) +
                                        (parsed.error.empty() ? "" : ": " + parsed.error));
    }
    *target = parsed.angle->degrees;
    if (hemisphere != nullptr) *hemisphere = parsed.angle->hemisphere;
    if (sexagesimal != nullptr) *sexagesimal = ToBool(parsed.angle->sexagesimal);
  });
}

int32_t lantrel_angle_format_dms(double degrees, lantrel_bool longitude, int32_t decimals,
                                 char** out) {
  return GuardOut(out, [&] {
    auto** target = Out(out);
    constexpr const char* kSource = "lantrel:FormatDms:";
    if (decimals < 0 || decimals > lantrel::kMaxDmsDecimals) {
      Refuse(kSource, "decimals " + std::to_string(decimals) + " outside 0 to " +
                          std::to_string(lantrel::kMaxDmsDecimals));
    }
    if (!(std::fabs(degrees) < lantrel::kMaxDmsDegrees)) {
      Refuse(kSource, "degrees " + lantrel::MessageNumber(degrees) +
                          " have no degrees, minutes and seconds form");
    }
    char text[lantrel::kMaxDmsChars];
    *target = OutText(std::string(text, lantrel::FormatDms(text, degrees, FromBool(longitude),
                                                           static_cast<int>(decimals))));
  });
}

int32_t lantrel_location_field_join(size_t count, const char* const* texts, char** out) {
  return GuardOut(out, [&] {
    auto** target = Out(out);
    if (texts == nullptr && count > 0) RaiseLayer(lantrel::errc::InvalidArgument);
    std::string field;
    for (size_t i = 0; i < count; ++i) {
      if (texts[i] == nullptr) RaiseLayer(lantrel::errc::InvalidArgument);
      lantrel::JoinLocationField(field, InText(texts[i]));
    }
    *target = OutText(field);
  });
}

int32_t lantrel_number_parse(const char* text, double* value) {
  return Guard([&] {
    auto* target = Out(value);
    const std::string input = InText(text);
    const auto parsed = lantrel::ParseDecimal(input);
    if (!parsed) Refuse("lantrel:ParseNumber:", "cannot read number " + lantrel::Excerpt(input));
    *target = *parsed;
  });
}

int32_t lantrel_coordinate_columns(size_t count, const char* const* names, const char* x,
                                   const char* y, lantrel_bool carter, int32_t* x_index,
                                   int32_t* y_index) {
  return Guard([&] {
    auto* xOut = Out(x_index);
    auto* yOut = Out(y_index);
    if (count > 0 && names == nullptr) RaiseLayer(lantrel::errc::InvalidArgument);
    // Indexes must fit the outputs.
    if (count > static_cast<size_t>(INT32_MAX)) RaiseLayer(lantrel::errc::InvalidArgument);
    std::vector<std::string> header;
    header.reserve(count);
    for (size_t i = 0; i < count; ++i) {
      if (names[i] == nullptr) RaiseLayer(lantrel::errc::InvalidArgument);
      header.push_back(InText(names[i]));
    }
    lantrel::ColumnRequest request;
    if (x != nullptr) request.x = InText(x);
    if (y != nullptr) request.y = InText(y);
    request.carter = FromBool(carter);
    std::string error;
    const auto found = lantrel::FindCoordinateColumns(header, request, error);
    if (!found) Refuse("lantrel:CoordinateColumns:", error);
    *xOut = static_cast<int32_t>(found->x);
    *yOut = found->y ? static_cast<int32_t>(*found->y) : -1;
  });
}

}  // extern "C"
