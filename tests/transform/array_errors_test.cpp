// The one error model of the array calls: every point whose status is not 0 has exactly one
// record in the PointErrors the call was given, in input order, with the status as its number
// and the library's source and description; asking for the records changes no result.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <memory>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "lantrel/lantrel.hpp"
#include "refdata/refdata_files.hpp"

namespace {

using lantrel::PointErrors;
using lantrel::zrGeoDatum;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// What one array call gave: every output as bits (texts as their characters), the statuses.
struct Outcome {
  std::vector<std::uint64_t> bits;
  std::vector<std::string> texts;
  std::vector<std::int32_t> status;
  bool operator==(const Outcome&) const = default;
};

void AddBits(Outcome& o, const std::vector<double>& v) {
  for (const double d : v) o.bits.push_back(std::bit_cast<std::uint64_t>(d));
}

struct Case {
  const char* name;
  // Runs the call over its points; `errors` may be null.
  std::function<Outcome(PointErrors*)> run;
  // One failing point and what its record must say.
  std::size_t index;
  std::int32_t number;
  const char* source;
  const char* descriptionPart;
};

std::vector<Case> Cases(const std::string& dataFolder) {
  const std::vector<double> lon = {-84.5, kNaN, -95.0, -85.4321};
  const std::vector<double> lat = {38.0, 37.0, 30.0, 37.1234};
  std::vector<Case> cases = {
      {"Transform",
       [=](PointErrors* e) {
         const lantrel::Transformer t({5, 1, 0}, {1, 0, 1}, false);
         std::vector<double> x(lon.size()), y(lon.size());
         Outcome o;
         o.status.resize(lon.size());
         t.Transform(lon.size(), lon.data(), lat.data(), x.data(), y.data(), o.status.data(), e);
         AddBits(o, x);
         AddBits(o, y);
         return o;
       },
       2, 4, "lantrel:Transformer:", "shift window"},
      {"Transform, a point beyond the globe",
       [=](PointErrors* e) {
         const lantrel::Transformer t({5, 0, 0}, {3, 0, 2}, true);
         const std::vector<double> x = {84.0, 84.0, 200.0}, y = {37.0, 37.5, 37.0};
         std::vector<double> ox(3), oy(3);
         Outcome o;
         o.status.resize(3);
         t.Transform(3, x.data(), y.data(), ox.data(), oy.data(), o.status.data(), e);
         AddBits(o, ox);
         AddBits(o, oy);
         return o;
       },
       2, 5, "lantrel:Transformer:", "longitude"},
      {"GridFactors",
       [=](PointErrors* e) {
         const std::vector<double> x = {1.6e6, kNaN, 1.7e6}, y = {2.5e5, 1.0, 2.6e5};
         std::vector<double> k(3), c(3);
         Outcome o;
         o.status.resize(3);
         lantrel::GridFactors({1, 0, 1}, false, 3, x.data(), y.data(), k.data(), c.data(),
                              o.status.data(), e);
         AddBits(o, k);
         AddBits(o, c);
         return o;
       },
       1, 5, "lantrel", ""},
      {"FormatCarterLocations",
       [=](PointErrors* e) {
         std::vector<std::string> out(lon.size());
         Outcome o;
         o.status.resize(lon.size());
         lantrel::FormatCarterLocations(zrGeoDatum::zrNAD27, false, lon.size(), lon.data(),
                                        lat.data(), out.data(), o.status.data(), e);
         o.texts = out;
         return o;
       },
       2, 5, "lantrel:CarterLocations:", "outside the Carter grid"},
      {"ReadCarterLocations",
       [=](PointErrors* e) {
         const std::vector<std::string_view> text = {"D45-07 1200-FNL 350-FWL",
                                                     "D45-26 1200-FNL 350-FWL", "D45-07",
                                                     "H49-11 2452-FSL 360-FWL"};
         std::vector<double> x(text.size()), y(text.size());
         Outcome o;
         o.status.resize(text.size());
         lantrel::ReadCarterLocations(zrGeoDatum::zrNAD27, false, text.size(), text.data(),
                                      x.data(), y.data(), o.status.data(), e);
         AddBits(o, x);
         AddBits(o, y);
         return o;
       },
       1, lantrel::errc::InvalidCarterSection, "Section", "26"},
  };
  if (!dataFolder.empty()) {
    const auto locator = std::make_shared<lantrel::Locator>(dataFolder + "lantrel.bin");
    const auto run = [=](PointErrors* e) {
      std::vector<lantrel::LocationMatches> found(lon.size());
      Outcome o;
      o.status.resize(lon.size());
      locator->LocateMatches(lon.size(), lon.data(), lat.data(), 0, found.data(),
                             o.status.data(), e);
      for (const auto& f : found) {
        o.bits.push_back(static_cast<std::uint64_t>(f.stateCount * 100 + f.countyCount * 10 +
                                                    f.quadCount));
        o.bits.push_back(static_cast<std::uint64_t>(f.states[0] + 1));
      }
      return o;
    };
    cases.push_back({"Locator::LocateMatches", run, 1, 5, "lantrel:Locator:", "longitude"});
  }
  return cases;
}

TEST(ArrayErrors, EveryFailedPointHasItsRecordFromTheSameCall) {
  for (const Case& c : Cases(refdata_test::BuiltDataFolder())) {
    SCOPED_TRACE(c.name);
    PointErrors errors;
    errors.Add(99, 1, "stale", "stale");  // the call empties the list first
    const Outcome with = c.run(&errors);
    EXPECT_EQ(with, c.run(nullptr));
    // One record per failed point, in input order, numbered as the status.
    std::vector<std::size_t> failed;
    for (std::size_t i = 0; i < with.status.size(); ++i) {
      if (with.status[i] != 0) failed.push_back(i);
    }
    ASSERT_EQ(errors.size(), failed.size());
    for (std::size_t k = 0; k < errors.size(); ++k) {
      EXPECT_EQ(errors[k].index, failed[k]);
      EXPECT_EQ(errors[k].number, with.status[failed[k]]);
      EXPECT_FALSE(errors[k].description.empty());
    }
    const auto it = std::find_if(errors.begin(), errors.end(),
                                 [&](const auto& e) { return e.index == c.index; });
    ASSERT_NE(it, errors.end());
    EXPECT_EQ(it->number, c.number);
    EXPECT_NE(it->source.find(c.source), std::string::npos) << it->source;
    EXPECT_NE(it->description.find(c.descriptionPart), std::string::npos) << it->description;
  }
}

}  // namespace
