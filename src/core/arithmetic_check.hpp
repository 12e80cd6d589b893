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
#include "core/raise.hpp"

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

/// The error flag a value that is not finite stands for (0 for a finite value).
inline int NonFiniteFlag(double v) noexcept {
  return std::isfinite(v) ? 0 : (std::isnan(v) ? FE_INVALID : FE_OVERFLOW);
}
inline int NonFiniteFlag(Pair p) noexcept {
  const int x = NonFiniteFlag(p.x);
  return x == FE_INVALID ? x : (NonFiniteFlag(p.y) != 0 ? NonFiniteFlag(p.y) : x);
}

class ArithmeticScope {
 public:
  ArithmeticScope() noexcept {
    if (RaisedFlags() != 0) ClearFlags();
  }
  ArithmeticScope(const ArithmeticScope&) = delete;
  ArithmeticScope& operator=(const ArithmeticScope&) = delete;

  /// Ends a step: raises when a flag was raised since the scope began or v is not finite.
  double Check(double v) const { return Test(v); }
  Pair Check(Pair p) const { return Test(p); }

 private:
  template <typename T>
  static T Test(T v) {
    const int raised = RaisedFlags();
    if (raised != 0) RaiseArithmetic(raised);
    if (const int fallback = NonFiniteFlag(v); fallback != 0) RaiseArithmetic(fallback);
    return v;
  }
};

/// Runs a step `f` that has no side effects and checks it as an ArithmeticScope would, with a
/// single read of the status register on the usual path: flags found raised afterwards may
/// have been left over from before the step, so the step then runs again from clear flags and
/// is judged on that run. For the hot projection steps, where the second read is measurable.
template <typename F>
auto CheckedStep(F&& f) -> decltype(f()) {
  auto result = f();
  if (RaisedFlags() != 0) {
    ClearFlags();
    result = f();
    if (const int raised = RaisedFlags(); raised != 0) RaiseArithmetic(raised);
  }
  if (const int fallback = NonFiniteFlag(result); fallback != 0) RaiseArithmetic(fallback);
  return result;
}

}  // namespace lantrel::detail
