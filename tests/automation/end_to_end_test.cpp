// Whole conversions driven through the C interface give exactly what the C++ classes give:
// the same bits, the same labels, the same outcome codes and the same error records.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lantrel/lantrel.h"
#include "lantrel/lantrel.hpp"

namespace {

struct Outcome {
  int32_t status = 0;
  std::string source, description;
  int32_t result = -1;
  int32_t datum = -9, projection = -9, units = -9;  // targets as written back
  double x = 0, y = 0;
  int32_t labels[3] = {-9, -9, -9};
  bool operator==(const Outcome& o) const {
    return status == o.status && source == o.source && description == o.description &&
           result == o.result && datum == o.datum && projection == o.projection &&
           units == o.units && x == o.x && y == o.y && labels[0] == o.labels[0] &&
           labels[1] == o.labels[1] && labels[2] == o.labels[2];
  }
};

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
  return os << "status " << o.status << " [" << o.source << " " << o.description << "] result "
            << o.result << " targets " << o.datum << "/" << o.projection << "/" << o.units
            << " x " << o.x << " y " << o.y << " labels " << o.labels[0] << "/" << o.labels[1]
            << "/" << o.labels[2];
}

struct Step {
  int32_t datum, projection, units;
};

struct Start {
  int32_t projection, datum, units;
  double x, y;
};

Outcome ViaC(lantrel_position* p, const Step& s) {
  Outcome o;
  o.datum = s.datum;
  o.projection = s.projection;
  o.units = s.units;
  o.status = lantrel_position_convert(p, &o.datum, &o.projection, &o.units, &o.result);
  o.source = lantrel_last_error_source();
  o.description = lantrel_last_error_description();
  EXPECT_EQ(lantrel_position_get_x(p, &o.x), 0);
  EXPECT_EQ(lantrel_position_get_y(p, &o.y), 0);
  EXPECT_EQ(lantrel_position_get_projection(p, &o.labels[0]), 0);
  EXPECT_EQ(lantrel_position_get_datum(p, &o.labels[1]), 0);
  EXPECT_EQ(lantrel_position_get_units(p, &o.labels[2]), 0);
  return o;
}

Outcome ViaCpp(lantrel::ZrGeoPosition& p, const Step& s) {
  Outcome o;
  o.datum = s.datum;
  o.projection = s.projection;
  o.units = s.units;
  try {
    o.result = p.Convert(&o.datum, &o.projection, &o.units);
  } catch (const lantrel::Error& e) {
    o.status = e.number();
    o.source = e.source();
    o.description = e.description();
  }
  o.x = p.x();
  o.y = p.y();
  o.labels[0] = static_cast<int32_t>(p.Projection());
  o.labels[1] = static_cast<int32_t>(p.Datum());
  o.labels[2] = static_cast<int32_t>(p.Units());
  return o;
}

TEST(EndToEnd, ChainsOfConversionsMatchTheClassesBitForBit) {
  const struct {
    const char* what;
    Start start;
    std::vector<Step> steps;
  } chains[] = {
      {"north zone NAD 27 feet to UTM and back",
       {zrGeographic, zrNAD83, zrDecimalDegrees, -84.5, 38.25},
       {{zrNAD27, zrNorthZone, zrUSFt},
        {zrNAD83, zrUTM16, zrMeters},
        {-1, zrCarter, -1},
        {-1, zrSouthZone, zrIntlFt},
        {zrNAD27, tnSingleZone, zrMiles},
        {zrNAD83, zrGeographic, -1}}},
      {"neighbouring zones",
       {zrGeographic, zrNAD27, zrDecimalDegrees, 88.9, 37.1},
       {{-1, ilEastZone, -1}, {-1, inWestZone, zrKilometers}, {zrNAD83, moEastZone, -1},
        {-1, zrSingleZone, zrUSFt}, {zrNAD27, zrUTM17, -1}}},
      {"datum change refused outside the window",
       {zrUTM17, zrNAD83, zrMeters, 500000.0, 4000000.0},
       {{zrNAD27, -1, -1}, {-1, zrGeographic, -1}, {zrNAD27, -1, -1}}},
      {"invalid targets and far-off points",
       {zrNorthZone, zrNAD83, zrUSFt, 1e300, -1e300},
       {{5, -1, -1}, {-1, 99, -1}, {-1, zrGeographic, -1}, {-1, -1, 7}}},
  };
  for (const auto& chain : chains) {
    SCOPED_TRACE(chain.what);
    lantrel_position* c = nullptr;
    ASSERT_EQ(lantrel_position_create(&c), 0);
    lantrel::ZrGeoPosition cpp;
    const Start& s = chain.start;
    ASSERT_EQ(lantrel_position_let_projection(c, s.projection), 0);
    ASSERT_EQ(lantrel_position_let_datum(c, s.datum), 0);
    ASSERT_EQ(lantrel_position_let_units(c, s.units), 0);
    ASSERT_EQ(lantrel_position_let_x(c, s.x), 0);
    ASSERT_EQ(lantrel_position_let_y(c, s.y), 0);
    cpp.Projection(s.projection);
    cpp.Datum(s.datum);
    cpp.Units(s.units);
    cpp.x(s.x);
    cpp.y(s.y);
    int failures = 0, refusals = 0;
    for (const auto& step : chain.steps) {
      SCOPED_TRACE(::testing::Message() << "to " << step.datum << "/" << step.projection << "/"
                                        << step.units);
      const Outcome viaC = ViaC(c, step);
      const Outcome viaCpp = ViaCpp(cpp, step);
      EXPECT_EQ(viaC, viaCpp);
      failures += viaC.status != 0;
      refusals += viaC.result == LANTREL_CONVERT_OUTSIDE_SHIFT_WINDOW;
      // The derived readings agree as well.
      double scale = 0;
      const int32_t scaleStatus = lantrel_position_get_scale_factor(c, &scale);
      try {
        const double expected = cpp.ScaleFactor();
        EXPECT_EQ(scaleStatus, 0);
        EXPECT_EQ(scale, expected);
      } catch (const lantrel::Error& e) {
        EXPECT_EQ(scaleStatus, e.number());
      }
      lantrel_bool inBounds = 1;
      const int32_t boundsStatus = lantrel_position_get_in_bounds(c, &inBounds);
      try {
        const lantrel_bool expected = cpp.InBounds() ? LANTREL_TRUE : LANTREL_FALSE;
        EXPECT_EQ(boundsStatus, 0);
        EXPECT_EQ(inBounds, expected);
      } catch (const lantrel::Error& e) {
        EXPECT_EQ(boundsStatus, e.number());
      }
    }
    if (std::string(chain.what).starts_with("invalid")) {
      EXPECT_GE(failures, 2);  // the chain is meant to raise
    } else if (std::string(chain.what).starts_with("datum")) {
      EXPECT_EQ(refusals, 2);
    } else {
      EXPECT_EQ(failures + refusals, 0);
    }
    lantrel_position_release(c);
  }
}

// The lookup getters, with every form of Index, answer through the C interface what the class
// answers (texts, numbers or the error when no reference data is loaded).
TEST(EndToEnd, LookupsMatchTheClassForEveryIndexForm) {
  using TextGetter = int32_t (*)(lantrel_position*, const int32_t*, char**);
  using LongGetter = int32_t (*)(lantrel_position*, const int32_t*, int32_t*);
  using Position = lantrel::ZrGeoPosition;
  const struct {
    const char* name;
    TextGetter c;
    std::string (Position::*cpp)(std::int32_t);
  } texts[] = {
      {"StateName", lantrel_position_get_state_name, &Position::StateName},
      {"CountyName", lantrel_position_get_county_name, &Position::CountyName},
      {"CountySPZone", lantrel_position_get_county_sp_zone, &Position::CountySPZone},
      {"QuadTile", lantrel_position_get_quad_tile, &Position::QuadTile},
      {"QuadName", lantrel_position_get_quad_name, &Position::QuadName},
      {"QuadState", lantrel_position_get_quad_state, &Position::QuadState},
  };
  const struct {
    const char* name;
    LongGetter c;
    std::int32_t (Position::*cpp)(std::int32_t);
  } longs[] = {
      {"StateFIPS", lantrel_position_get_state_fips, &Position::StateFIPS},
      {"CountyFIPS", lantrel_position_get_county_fips, &Position::CountyFIPS},
  };
  const struct {
    double x, y;
    int32_t datum;
  } points[] = {{84.5, 38.05, zrNAD83}, {-84.5, 38.05, zrNAD27}, {88.0, 36.55, zrNAD83},
                {80.0, 38.0, zrNAD83}};
  const int32_t indexes[] = {0, 1, 2, 3, 4, -1};
  for (const auto& pt : points) {
    SCOPED_TRACE(::testing::Message() << pt.x << " " << pt.y << " datum " << pt.datum);
    lantrel_position* c = nullptr;
    ASSERT_EQ(lantrel_position_create(&c), 0);
    Position cpp;
    ASSERT_EQ(lantrel_position_let_datum(c, pt.datum), 0);
    ASSERT_EQ(lantrel_position_let_x(c, pt.x), 0);
    ASSERT_EQ(lantrel_position_let_y(c, pt.y), 0);
    cpp.Datum(pt.datum);
    cpp.x(pt.x);
    cpp.y(pt.y);
    for (const auto& g : texts) {
      for (const int32_t* index : {static_cast<const int32_t*>(nullptr), &indexes[0],
                                   &indexes[1], &indexes[2], &indexes[3], &indexes[4],
                                   &indexes[5]}) {
        SCOPED_TRACE(::testing::Message() << g.name << "(" << (index ? *index : -99) << ")");
        char* text = nullptr;
        const int32_t status = g.c(c, index, &text);
        const std::string got = text != nullptr ? text : "<null>";
        lantrel_string_free(text);
        try {
          const std::string expected = (cpp.*g.cpp)(index != nullptr ? *index : 0);
          EXPECT_EQ(status, 0);
          EXPECT_EQ(got, expected);
        } catch (const lantrel::Error& e) {
          EXPECT_EQ(status, e.number());
          EXPECT_EQ(lantrel_last_error_description(), e.description());
          EXPECT_EQ(got, "<null>");
        }
      }
    }
    for (const auto& g : longs) {
      for (const int32_t* index : {static_cast<const int32_t*>(nullptr), &indexes[0],
                                   &indexes[1], &indexes[5]}) {
        SCOPED_TRACE(::testing::Message() << g.name << "(" << (index ? *index : -99) << ")");
        int32_t got = -12345;
        const int32_t status = g.c(c, index, &got);
        try {
          const std::int32_t expected = (cpp.*g.cpp)(index != nullptr ? *index : 0);
          EXPECT_EQ(status, 0);
          EXPECT_EQ(got, expected);
        } catch (const lantrel::Error& e) {
          EXPECT_EQ(status, e.number());
        }
      }
    }
    int32_t counts[3] = {-1, -1, -1};
    const int32_t s1 = lantrel_position_get_state_count(c, &counts[0]);
    const int32_t s2 = lantrel_position_get_county_count(c, &counts[1]);
    const int32_t s3 = lantrel_position_get_quad_count(c, &counts[2]);
    if (cpp.DataLoaded()) {
      EXPECT_EQ(s1 | s2 | s3, 0);
      EXPECT_EQ(counts[0], cpp.StateCount());
      EXPECT_EQ(counts[1], cpp.CountyCount());
      EXPECT_EQ(counts[2], cpp.QuadCount());
    } else {
      EXPECT_EQ(s1, LANTREL_E_DATA_NOT_LOADED);
    }
    lantrel_position_release(c);
  }
}

}  // namespace
