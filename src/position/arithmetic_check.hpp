// Floating-point checking for every numeric step of the library.
//
// A division by zero, an overflow or an invalid operation anywhere in a computation must raise
// the arithmetic error (11, 6 or 5) instead of yielding an infinity or a NaN. The mechanism is
// one scope per step: the constructor makes sure the processor's sticky exception flags are
// clear, and Check() tests them together with the finiteness of the step's results, so a NaN
// that entered through a property is caught even where the processor raised no flag. The
// flags are per thread; the scope holds no other state.
//
// Cost: on x86-64 both ends read the SSE status register directly (a few nanoseconds); the
// register is written only when a flag is already set, which the library itself never leaves
// behind. Elsewhere the portable <cfenv> calls are used.
#pragma once

#include <cfenv>
#include <cmath>

#if defined(__x86_64__) && defined(__SSE2__)
#include <xmmintrin.h>
#define LANTREL_SSE_FLAGS 1
#endif

#include "lantrel/pair.hpp"
#include "position/raise.hpp"

namespace lantrel::detail {

inline constexpr int kCheckedFlags = FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID;

/// Raises the arithmetic error that matches the raised flags (division first, then overflow).
/// Clears the flags first, so the next step starts clean.
[[noreturn]] void RaiseArithmetic(int flags);

/// The checked exception flags currently raised, as FE_* bits.
inline int RaisedFlags() noexcept {
#ifdef LANTREL_SSE_FLAGS
  // The SSE status bits for invalid, division by zero and overflow are the FE_* values.
  static_assert(FE_INVALID == _MM_EXCEPT_INVALID && FE_DIVBYZERO == _MM_EXCEPT_DIV_ZERO &&
                FE_OVERFLOW == _MM_EXCEPT_OVERFLOW);
  return static_cast<int>(_mm_getcsr()) & kCheckedFlags;
#else
  return std::fetestexcept(kCheckedFlags);
#endif
}

inline void ClearFlags() noexcept {
  std::feclearexcept(kCheckedFlags);
}

class ArithmeticScope {
 public:
  ArithmeticScope() noexcept {
    if (RaisedFlags() != 0) ClearFlags();
  }
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
    const int raised = RaisedFlags();
    if (raised != 0) RaiseArithmetic(raised);
    if (fallback != 0) RaiseArithmetic(fallback);
  }
};

}  // namespace lantrel::detail
