// C entry points of ZrGeoPosition, in the order of its interface.
#include <cstdint>
#include <memory>
#include <string>

#include "automation/boundary.hpp"

using lantrel::automation::FromBool;
using lantrel::automation::Guard;
using lantrel::automation::GuardOut;
using lantrel::automation::InText;
using lantrel::automation::Object;
using lantrel::automation::Out;
using lantrel::automation::OutText;
using lantrel::automation::ToBool;

namespace {

using Position = lantrel::ZrGeoPosition;

// Reads an optional Index argument: an omitted one reads as 0.
std::int32_t IndexOf(const int32_t* Index) { return Index != nullptr ? *Index : 0; }

// The parameterised string and number getters all share one shape.
int32_t GetText(lantrel_position* h, const int32_t* Index, char** out,
                std::string (Position::*member)(std::int32_t)) {
  return GuardOut(out, [&] {
    auto& p = Object(h);
    auto** target = Out(out);
    *target = OutText((p.*member)(IndexOf(Index)));
  });
}

int32_t GetLong(lantrel_position* h, const int32_t* Index, int32_t* out,
                std::int32_t (Position::*member)(std::int32_t)) {
  return Guard([&] {
    auto& p = Object(h);
    auto* target = Out(out);
    *target = (p.*member)(IndexOf(Index));
  });
}

int32_t GetCount(lantrel_position* h, int32_t* out, std::int32_t (Position::*member)()) {
  return Guard([&] {
    auto& p = Object(h);
    auto* target = Out(out);
    *target = (p.*member)();
  });
}

}  // namespace

extern "C" {

int32_t lantrel_position_create(lantrel_position** out) {
  return GuardOut(out, [&] {
    auto** target = Out(out);
    *target = new lantrel_position();
  });
}

void lantrel_position_addref(lantrel_position* position) {
  if (position != nullptr) position->refs.fetch_add(1, std::memory_order_relaxed);
}

void lantrel_position_release(lantrel_position* position) {
  if (position != nullptr && position->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    delete position;
  }
}

int32_t lantrel_position_get_carter(lantrel_position* position, lantrel_carter** out) {
  return GuardOut(out, [&] {
    auto& p = Object(position);
    auto** target = Out(out);
    *target = new lantrel_carter(p.Carter());
  });
}

int32_t lantrel_position_set_carter(lantrel_position* position, lantrel_carter* carter) {
  return Guard([&] {
    auto& p = Object(position);
    p.Carter(carter != nullptr ? carter->object : nullptr);
  });
}

int32_t lantrel_position_get_version(lantrel_position* position, char** out) {
  return GuardOut(out, [&] {
    auto& p = Object(position);
    auto** target = Out(out);
    *target = OutText(p.Version());
  });
}

int32_t lantrel_position_get_release_date(lantrel_position* position, double* out) {
  return Guard([&] { *Out(out) = Object(position).ReleaseDate(); });
}

int32_t lantrel_position_get_about(lantrel_position* position, char** out) {
  return GuardOut(out, [&] {
    auto& p = Object(position);
    auto** target = Out(out);
    *target = OutText(p.About());
  });
}

int32_t lantrel_position_get_west_positive(lantrel_position* position, lantrel_bool* out) {
  return Guard([&] { *Out(out) = ToBool(Object(position).WestPositive()); });
}

int32_t lantrel_position_let_west_positive(lantrel_position* position, lantrel_bool value) {
  return Guard([&] { Object(position).WestPositive(FromBool(value)); });
}

int32_t lantrel_position_get_x(lantrel_position* position, double* out) {
  return Guard([&] { *Out(out) = Object(position).x(); });
}

int32_t lantrel_position_let_x(lantrel_position* position, double value) {
  return Guard([&] { Object(position).x(value); });
}

int32_t lantrel_position_get_y(lantrel_position* position, double* out) {
  return Guard([&] { *Out(out) = Object(position).y(); });
}

int32_t lantrel_position_let_y(lantrel_position* position, double value) {
  return Guard([&] { Object(position).y(value); });
}

int32_t lantrel_position_get_projection(lantrel_position* position, int32_t* out) {
  return Guard([&] { *Out(out) = static_cast<int32_t>(Object(position).Projection()); });
}

int32_t lantrel_position_let_projection(lantrel_position* position, int32_t value) {
  return Guard([&] { Object(position).Projection(static_cast<std::int32_t>(value)); });
}

int32_t lantrel_position_get_datum(lantrel_position* position, int32_t* out) {
  return Guard([&] { *Out(out) = static_cast<int32_t>(Object(position).Datum()); });
}

int32_t lantrel_position_let_datum(lantrel_position* position, int32_t value) {
  return Guard([&] { Object(position).Datum(static_cast<std::int32_t>(value)); });
}

int32_t lantrel_position_get_units(lantrel_position* position, int32_t* out) {
  return Guard([&] { *Out(out) = static_cast<int32_t>(Object(position).Units()); });
}

int32_t lantrel_position_let_units(lantrel_position* position, int32_t value) {
  return Guard([&] { Object(position).Units(static_cast<std::int32_t>(value)); });
}

int32_t lantrel_position_get_state_count(lantrel_position* position, int32_t* out) {
  return GetCount(position, out, &Position::StateCount);
}

int32_t lantrel_position_get_state_name(lantrel_position* position, const int32_t* Index,
                                        char** out) {
  return GetText(position, Index, out, &Position::StateName);
}

int32_t lantrel_position_get_state_fips(lantrel_position* position, const int32_t* Index,
                                        int32_t* out) {
  return GetLong(position, Index, out, &Position::StateFIPS);
}

int32_t lantrel_position_get_county_count(lantrel_position* position, int32_t* out) {
  return GetCount(position, out, &Position::CountyCount);
}

int32_t lantrel_position_get_county_name(lantrel_position* position, const int32_t* Index,
                                         char** out) {
  return GetText(position, Index, out, &Position::CountyName);
}

int32_t lantrel_position_get_county_fips(lantrel_position* position, const int32_t* Index,
                                         int32_t* out) {
  return GetLong(position, Index, out, &Position::CountyFIPS);
}

int32_t lantrel_position_get_county_sp_zone(lantrel_position* position, const int32_t* Index,
                                            char** out) {
  return GetText(position, Index, out, &Position::CountySPZone);
}

int32_t lantrel_position_get_quad_count(lantrel_position* position, int32_t* out) {
  return GetCount(position, out, &Position::QuadCount);
}

int32_t lantrel_position_get_quad_tile(lantrel_position* position, const int32_t* Index,
                                       char** out) {
  return GetText(position, Index, out, &Position::QuadTile);
}

int32_t lantrel_position_get_quad_name(lantrel_position* position, const int32_t* Index,
                                       char** out) {
  return GetText(position, Index, out, &Position::QuadName);
}

int32_t lantrel_position_get_quad_state(lantrel_position* position, const int32_t* Index,
                                        char** out) {
  return GetText(position, Index, out, &Position::QuadState);
}

int32_t lantrel_position_get_scale_factor(lantrel_position* position, double* out) {
  return Guard([&] { *Out(out) = Object(position).ScaleFactor(); });
}

int32_t lantrel_position_get_convergence(lantrel_position* position, double* out) {
  return Guard([&] { *Out(out) = Object(position).Convergence(); });
}

int32_t lantrel_position_convert(lantrel_position* position, int32_t* toDatum,
                                 int32_t* toProjection, int32_t* toUnits, int32_t* result) {
  return Guard([&] {
    const std::int32_t outcome = Object(position).Convert(toDatum, toProjection, toUnits);
    if (result != nullptr) *result = outcome;
  });
}

int32_t lantrel_position_get_in_bounds(lantrel_position* position, lantrel_bool* out) {
  return Guard([&] {
    auto& p = Object(position);
    auto* target = Out(out);
    *target = ToBool(p.InBounds());
  });
}

int32_t lantrel_position_set_path(lantrel_position* position, const char* PathSpec,
                                  lantrel_bool* out) {
  return Guard([&] {
    auto& p = Object(position);
    auto* target = Out(out);
    const std::string path = InText(PathSpec);
    *target = ToBool(p.SetPath(path));
  });
}

}  // extern "C"
