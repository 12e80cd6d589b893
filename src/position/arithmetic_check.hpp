// Floating-point checking for every numeric step of the library.
//
// A division by zero, an overflow or an invalid operation anywhere in a computation must raise
// the arithmetic error (11, 6 or 5) instead of yielding an infinity or a NaN. The mechanism is
// one scope per step: the constructor clears the processor's sticky exception flags, and
// Check() tests them (one read of the status register) together with the finiteness of the
// step's results, so a NaN that entered through a property is caught even where the
// processor raised no flag. The flags are per thread; the scope holds no other state.
#pragma once

#include <cfenv>
#include <cmath>

#include "lantrel/pair.hpp"
#include "position/raise.hpp"

namespace lantrel::detail {

inline constexpr int kCheckedFlags = FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID;

/// Raises the arithmetic error that matches the raised flags (division first, then overflow).
[[noreturn]] void RaiseArithmetic(int flags);

class ArithmeticScope {
 public:
  ArithmeticScope() noexcept { std::feclearexcept(kCheckedFlags); }
  ArithmeticScope(const ArithmeticScope&) = delete;
  ArithmeticScope& operator=(const ArithmeticScope&) = delete;

  /// Ends a step: raises when a flag was raised since the scope began or v is not finite.
  double Check(double v) const {
    Test(std::isfinite(v) ? 0 : (std::isnan(v) ? FE_INVALID : FE_OVERFLOW));
    return v;
  }
  Pair Check(Pair p) const {
    const bool nan = std::isnan(p.x) || std::isnan(p.y);
    const bool inf = std::isinf(p.x) || std::isinf(p.y);
    Test(nan ? FE_INVALID : (inf ? FE_OVERFLOW : 0));
    return p;
  }

 private:
  static void Test(int fallback) {
    const int raised = std::fetestexcept(kCheckedFlags);
    if (raised != 0) RaiseArithmetic(raised);
    if (fallback != 0) RaiseArithmetic(fallback);
  }
};

}  // namespace lantrel::detail
