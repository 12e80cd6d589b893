#include <gtest/gtest.h>

#include <cmath>

#include "lantrel/lantrel.hpp"
#include "test_support.hpp"

namespace lantrel {
namespace {

using testing::ExpectError;
using testing::Geographic;
using testing::kKeep;
using P = zrGeoProjection;
using D = zrGeoDatum;
using U = zrGeoUnits;

TEST(Convert, EmptyCallDoesNothing) {
  ZrGeoPosition p = Geographic(80.0, 37.5, D::zrNAD27);
  std::int32_t d = kKeep, pr = kKeep, u = kKeep;
  EXPECT_EQ(p.Convert(&d, &pr, &u), 0);
  EXPECT_EQ(d, kKeep) << "nothing is written back";
  EXPECT_EQ(p.Convert(), 0);
  EXPECT_EQ(p.Datum(), D::zrNAD27);
}

TEST(Convert, ValidatesDatumThenUnitsThenProjection) {
  const std::int32_t base = kObjectErrorBase;
  const std::string src = "lantrel:zrGeoPosition:Convert:";
  struct Case {
    std::int32_t datum, projection, units;
    std::int32_t number;
    const char* description;
  } const cases[] = {
      {2, kKeep, kKeep, base + 1001, "Invalid toDatum specified."},
      {kKeep, kKeep, 6, base + 1003, "Invalid toUnits specified."},
      {kKeep, 16, kKeep, base + 1002, "Invalid toProjection specified."},
      {kKeep, -2, kKeep, base + 1002, "Invalid toProjection specified."},
      {5, 16, 9, base + 1001, "Invalid toDatum specified."},
      {kKeep, 16, 9, base + 1003, "Invalid toUnits specified."},
  };
  for (const auto& c : cases) {
    ZrGeoPosition p = Geographic(85.0, 37.5);
    std::int32_t d = c.datum, pr = c.projection, u = c.units;
    ExpectError([&] { p.Convert(&d, &pr, &u); }, c.number, src, c.description);
    EXPECT_EQ(p.Projection(), P::zrGeographic);
    EXPECT_EQ(p.x(), 85.0);
  }
}

TEST(Convert, ArgumentsResolvedBeforeAFailureAreWrittenBack) {
  ZrGeoPosition p = Geographic(85.0, 37.5, D::zrNAD27);
  std::int32_t d = kKeep, pr = 99, u = kKeep;
  EXPECT_THROW(p.Convert(&d, &pr, &u), Error);
  EXPECT_EQ(d, 1);
  EXPECT_EQ(u, 0);
  EXPECT_EQ(pr, 99);
}

TEST(Convert, UnitsOnlyOnGeographicStaysInDegrees) {
  ZrGeoPosition p = Geographic(85.25, 37.75);
  std::int32_t u = static_cast<std::int32_t>(U::zrKilometers);
  EXPECT_EQ(p.Convert(nullptr, nullptr, &u), 0);
  EXPECT_EQ(u, 0) << "the forced unit is written back";
  EXPECT_EQ(p.Units(), U::zrDecimalDegrees);
  EXPECT_EQ(p.x(), 85.25);
  EXPECT_EQ(p.y(), 37.75);
}

TEST(Convert, DatumChangeOutsideTheWindowReturns4) {
  ZrGeoPosition p = Geographic(80.0, 37.5, D::zrNAD27);
  std::int32_t d = 0;
  EXPECT_EQ(p.Convert(&d), 4);
  EXPECT_EQ(p.Datum(), D::zrNAD27);
  EXPECT_EQ(p.x(), 80.0);
  EXPECT_FALSE(p.InBounds());
}

TEST(Convert, NaNCoordinateIsNotPassedOnSilently) {
  ZrGeoPosition p = Geographic(85.0, 37.5);
  p.y(std::nan(""));
  EXPECT_FALSE(p.InBounds()) << "a coordinate that is not a number is outside the window";
  std::int32_t pr = static_cast<std::int32_t>(P::zrGeographic);
  ExpectError([&] { p.Convert(nullptr, &pr); }, 5);
}

}  // namespace
}  // namespace lantrel
