// Helpers shared by the Carter tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "carter/carter_access.hpp"
#include "lantrel/carter.hpp"
#include "lantrel/error.hpp"

namespace carter_test {

inline std::shared_ptr<lantrel::zrCarter> NewCarter() {
  return lantrel::detail::CarterAccess::Create();
}

inline bool Changed(const lantrel::zrCarter& c) { return lantrel::detail::CarterAccess::Changed(c); }
inline void SetChanged(lantrel::zrCarter& c, bool v) { lantrel::detail::CarterAccess::Changed(c, v); }

/// Runs `action`, which must raise the library's error with exactly these fields.
inline void ExpectError(const std::function<void()>& action, std::int32_t number,
                        const std::string& source, const std::string& description) {
  try {
    action();
    ADD_FAILURE() << "no error raised; expected " << description;
  } catch (const lantrel::Error& e) {
    EXPECT_EQ(e.number(), number);
    if (!source.empty()) {
      EXPECT_EQ(e.source(), source);
    }
    if (!description.empty()) {
      EXPECT_EQ(e.description(), description);
    }
  }
}

/// Everything a host can read from the object, for "nothing changed" comparisons.
struct Snapshot {
  double fnl, fsl, fel, fwl;
  std::string fnsl, fewl, letter;
  std::int32_t section, number;
  double south, west;
  bool changed;
  friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

inline Snapshot Take(const lantrel::zrCarter& c) {
  using A = lantrel::detail::CarterAccess;
  return {c.FNL(),    c.FSL(),       c.FEL(),     c.FWL(),           c.FNSL(),
          c.FEWL(),   c.Letter(),    c.Section(), c.Number(),        A::SectionSouth(c),
          A::SectionWest(c), A::Changed(c)};
}

}  // namespace carter_test
