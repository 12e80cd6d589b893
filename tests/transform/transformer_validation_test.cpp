// Building a transformer: invalid codes raise the position's errors in the position's order,
// and systems a position would quietly change are refused with error 5.
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "lantrel/lantrel.hpp"

namespace {

using lantrel::CoordinateSystem;
using lantrel::Error;
using lantrel::Transformer;
namespace errc = lantrel::errc;

TEST(TransformerValidation, CodesAndCombinations) {
  const struct {
    const char* what;
    CoordinateSystem from, to;
    std::int32_t number;
    const char* description;  // nullptr: not checked
  } cases[] = {
      {"source projection first", {16, 2, 9}, {5, 0, 0}, errc::InvalidProjection,
       "Invalid projection specified."},
      {"then source datum", {1, 2, 9}, {5, 0, 0}, errc::InvalidDatum,
       "Invalid horizontal datum specified."},
      {"then source units", {1, 0, 6}, {5, 0, 0}, errc::InvalidUnits, "Invalid units specified."},
      {"negative source code", {-1, 0, 1}, {5, 0, 0}, errc::InvalidProjection, nullptr},
      {"target datum first", {5, 0, 0}, {16, 2, 9}, errc::InvalidDatum,
       "Invalid toDatum specified."},
      {"then target units", {5, 0, 0}, {16, 0, 9}, errc::InvalidUnits, "Invalid toUnits specified."},
      {"then target projection", {5, 0, 0}, {16, 0, 1}, errc::InvalidProjection,
       "Invalid toProjection specified."},
      {"keep (-1) is not a target", {5, 0, 0}, {-1, 0, 0}, errc::InvalidProjection, nullptr},
      {"Carter source", {6, 0, 0}, {5, 0, 0}, errc::InvalidArgument, nullptr},
      {"Carter target", {5, 0, 0}, {6, 0, 0}, errc::InvalidArgument, nullptr},
      {"single zone on NAD 27", {0, 1, 1}, {5, 0, 0}, errc::InvalidArgument,
       "The single zone exists on NAD 83 only."},
      {"to the single zone on NAD 27", {5, 1, 0}, {0, 1, 1}, errc::InvalidArgument, nullptr},
      {"degrees on a plane zone", {1, 0, 0}, {5, 0, 0}, errc::InvalidArgument,
       "Decimal degrees are not a unit of a plane zone."},
      {"to UTM in degrees", {5, 0, 0}, {3, 0, 0}, errc::InvalidArgument, nullptr},
      {"metres on geographic", {5, 0, 2}, {1, 0, 1}, errc::InvalidArgument,
       "The geographic system takes decimal degrees only."},
      {"to geographic in feet", {1, 0, 1}, {5, 0, 1}, errc::InvalidArgument, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      Transformer t(c.from, c.to, true);
      ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), c.number);
      EXPECT_EQ(e.source(), "lantrel:Transformer:");
      if (c.description != nullptr) {
        EXPECT_EQ(e.description(), c.description);
      }
    }
  }
}

TEST(TransformerValidation, NullArraysAndSpanLengths) {
  const Transformer t({5, 0, 0}, {1, 0, 1}, true);
  double v = 85.0, w = 37.5, o1 = 0, o2 = 0;
  std::int32_t s = 0;
  EXPECT_NO_THROW(t.Transform(0, nullptr, nullptr, nullptr, nullptr, nullptr));
  for (int hole = 0; hole < 5; ++hole) {
    SCOPED_TRACE(hole);
    try {
      t.Transform(1, hole == 0 ? nullptr : &v, hole == 1 ? nullptr : &w,
                  hole == 2 ? nullptr : &o1, hole == 3 ? nullptr : &o2,
                  hole == 4 ? nullptr : &s);
      ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), errc::InvalidArgument);
    }
  }
  std::vector<double> x{85.0, 86.0}, y{37.5, 38.0}, ox(2), oy(1);
  std::vector<std::int32_t> st(2);
  EXPECT_THROW(t.Transform(std::span<const double>(x), std::span<const double>(y),
                           std::span<double>(ox), std::span<double>(oy),
                           std::span<std::int32_t>(st)),
               Error);
  oy.resize(2);
  t.Transform(std::span<const double>(x), std::span<const double>(y), std::span<double>(ox),
              std::span<double>(oy), std::span<std::int32_t>(st));
  EXPECT_EQ(st[0], 0);
  EXPECT_EQ(st[1], 0);
}

}  // namespace
