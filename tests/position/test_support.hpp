// Helpers shared by the position tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "lantrel/lantrel.hpp"

namespace lantrel::testing {

/// Runs `f` and checks that it raises an Error with this number (and source/description when
/// given).
inline void ExpectError(const std::function<void()>& f, std::int32_t number,
                        const std::string& source = {}, const std::string& description = {}) {
  try {
    f();
    ADD_FAILURE() << "no error raised, expected " << number;
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), number) << e.source() << " " << e.description();
    if (!source.empty()) {
      EXPECT_EQ(e.source(), source);
    }
    if (!description.empty()) {
      EXPECT_EQ(e.description(), description);
    }
  }
}

/// Convert's "keep the current value" argument.
inline constexpr std::int32_t kKeep = -1;

/// A geographic position at (west-positive longitude, latitude) on `datum`.
inline ZrGeoPosition Geographic(double lon, double lat, zrGeoDatum datum = zrGeoDatum::zrNAD83) {
  ZrGeoPosition p;
  p.Datum(datum);
  p.x(lon);
  p.y(lat);
  return p;
}

}  // namespace lantrel::testing
