#include <gtest/gtest.h>

#include "lantrel/lantrel.hpp"

TEST(Position, NewPositionDefaults) {
  lantrel::ZrGeoPosition p;
  EXPECT_EQ(p.Projection(), lantrel::zrGeoProjection::zrGeographic);
}
