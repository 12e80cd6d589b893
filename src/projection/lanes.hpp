// Lanes: several independent points carried side by side through one formula.
//
// The projection formulas are written once, as templates over their number type. With double
// they compute one point; with Lanes<N> every operation is applied to each of N values in
// turn, so each lane goes through exactly the same IEEE operations in the same order as the
// one-point form (no reassociation, no fused multiply-add, the scalar library functions for
// sin, log, ...), and its result is bit-identical. What changes is only that N independent
// dependency chains are in flight at once, which the processor overlaps.
#pragma once

#include <cmath>
#include <cstddef>

// The lane loops are unrolled outright: each lane's operation is then a handful of
// instructions the compiler schedules (and pairs into SSE2 operations, which round exactly as
// the scalar ones) across the whole block, instead of a loop of eight short trips.
#if defined(__clang__)
#define LANTREL_LANE_LOOP _Pragma("unroll")
#elif defined(__GNUC__)
#define LANTREL_LANE_LOOP _Pragma("GCC unroll 64")
#else
#define LANTREL_LANE_LOOP
#endif

namespace lantrel::detail {

template <std::size_t N>
struct Lanes {
  double v[N];

  static Lanes Broadcast(double a) noexcept {
    Lanes r;
    LANTREL_LANE_LOOP for (std::size_t i = 0; i < N; ++i) r.v[i] = a;
    return r;
  }
  double& operator[](std::size_t i) noexcept { return v[i]; }
  double operator[](std::size_t i) const noexcept { return v[i]; }
};

#define LANTREL_LANES_BINARY(op)                                                                \
  template <std::size_t N>                                                                      \
  inline Lanes<N> operator op(const Lanes<N>& a, const Lanes<N>& b) noexcept {                  \
    Lanes<N> r;                                                                                 \
    LANTREL_LANE_LOOP for (std::size_t i = 0; i < N; ++i) r.v[i] = a.v[i] op b.v[i];            \
    return r;                                                                                   \
  }                                                                                             \
  template <std::size_t N>                                                                      \
  inline Lanes<N> operator op(double a, const Lanes<N>& b) noexcept {                           \
    Lanes<N> r;                                                                                 \
    LANTREL_LANE_LOOP for (std::size_t i = 0; i < N; ++i) r.v[i] = a op b.v[i];                 \
    return r;                                                                                   \
  }                                                                                             \
  template <std::size_t N>                                                                      \
  inline Lanes<N> operator op(const Lanes<N>& a, double b) noexcept {                           \
    Lanes<N> r;                                                                                 \
    LANTREL_LANE_LOOP for (std::size_t i = 0; i < N; ++i) r.v[i] = a.v[i] op b;                 \
    return r;                                                                                   \
  }
LANTREL_LANES_BINARY(+)
LANTREL_LANES_BINARY(-)
LANTREL_LANES_BINARY(*)
LANTREL_LANES_BINARY(/)
#undef LANTREL_LANES_BINARY

template <std::size_t N>
inline Lanes<N> operator-(const Lanes<N>& a) noexcept {
  Lanes<N> r;
  LANTREL_LANE_LOOP for (std::size_t i = 0; i < N; ++i) r.v[i] = -a.v[i];
  return r;
}

// The scalar library functions, lane by lane. Found by argument-dependent lookup from the
// formulas, which call them unqualified after `using std::sin;` and so on.
#define LANTREL_LANES_FUNCTION(name)                                                            \
  template <std::size_t N>                                                                      \
  inline Lanes<N> name(const Lanes<N>& a) noexcept {                                            \
    Lanes<N> r;                                                                                 \
    LANTREL_LANE_LOOP for (std::size_t i = 0; i < N; ++i) r.v[i] = std::name(a.v[i]);           \
    return r;                                                                                   \
  }
LANTREL_LANES_FUNCTION(sin)
LANTREL_LANES_FUNCTION(cos)
LANTREL_LANES_FUNCTION(tan)
LANTREL_LANES_FUNCTION(atan)
LANTREL_LANES_FUNCTION(exp)
LANTREL_LANES_FUNCTION(log)
LANTREL_LANES_FUNCTION(sqrt)
#undef LANTREL_LANES_FUNCTION

/// Sine and cosine of one angle. glibc's sincos shares the argument reduction of the two and
/// returns exactly what sin and cos return (compilers already fuse such pairs into it).
inline void SinCos(double a, double& s, double& c) noexcept {
#if defined(__GLIBC__)
  ::sincos(a, &s, &c);
#else
  s = std::sin(a);
  c = std::cos(a);
#endif
}
template <std::size_t N>
inline void SinCos(const Lanes<N>& a, Lanes<N>& s, Lanes<N>& c) noexcept {
  LANTREL_LANE_LOOP for (std::size_t i = 0; i < N; ++i) SinCos(a.v[i], s.v[i], c.v[i]);
}

/// The width of the blocks the array conversion interleaves.
inline constexpr std::size_t kBlockWidth = 8;
using Block = Lanes<kBlockWidth>;

}  // namespace lantrel::detail
