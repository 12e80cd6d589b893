// Refresh, shift and project a block of points, in the order of the per-point conversion.
#include "transform/block_conversion.hpp"

#include <cmath>

#include "datum/nadcon.hpp"
#include "core/arithmetic_check.hpp"
#include "core/shift_window.hpp"
#include "core/unit_fitting.hpp"
#include "projection/geographic_range.hpp"
#include "core/stored_pair.hpp"

namespace lantrel::detail {
namespace {

constexpr unsigned kAllMarked = (1u << kBlockWidth) - 1;

// Geographic pairs on the source datum from the stored pairs.
unsigned Refresh(const Route& r, Block& x, Block& y) noexcept {
  r.fromZone.Reverse(x, y);
  unsigned marked = 0;
  for (std::size_t i = 0; i < kBlockWidth; ++i) {
    if (!InGeographicRange(Pair{x[i], y[i]})) marked |= 1u << i;
  }
  return marked;
}

// The datum shift for points inside the window and the grid: point by point from NAD 27, the
// block's iterations side by side from NAD 83.
unsigned Shift(const Route& r, Block& x, Block& y) noexcept {
  static_assert(kBlockWidth <= kSideBySideShifts);
  if (r.from.datum == r.to.datum) return 0;
  unsigned marked = 0;
  if (r.from.DatumCode() == kNAD27) {
    for (std::size_t i = 0; i < kBlockWidth; ++i) {
      const Pair geo{x[i], y[i]};
      Pair shifted;
      if (!(InShiftWindow(geo) && TryNad27ToNad83(geo, shifted))) {
        marked |= 1u << i;
        continue;
      }
      x[i] = shifted.x;
      y[i] = shifted.y;
    }
    return marked;
  }
  for (std::size_t i = 0; i < kBlockWidth; ++i) {
    if (!InShiftWindow(Pair{x[i], y[i]})) marked |= 1u << i;
  }
  const Block fromX = x, fromY = y;
  return marked | TryNad83ToNad27SideBySide(kBlockWidth, kAllMarked & ~marked, fromX.v,
                                            fromY.v, x.v, y.v);
}

void Project(const Route& r, Block& x, Block& y) noexcept {
  r.toZone.Forward(x, y);
  if (r.toZone.Angular() && !r.westPositive) x = -x;
}

// The block's steps without the status: the marks of the range, window and finiteness tests.
unsigned RunBlock(const Route& r, const double* inX, const double* inY, Block& x,
                  Block& y) noexcept {
  for (std::size_t i = 0; i < kBlockWidth; ++i) {
    const Pair stored = LetPair(inX[i], inY[i]);
    x[i] = stored.x;
    y[i] = stored.y;
  }
  unsigned marked = Refresh(r, x, y);
  marked |= Shift(r, x, y);
  Project(r, x, y);
  for (std::size_t i = 0; i < kBlockWidth; ++i) {
    if (!(std::isfinite(x[i]) && std::isfinite(y[i]))) marked |= 1u << i;
  }
  return marked;
}

}  // namespace

unsigned ConvertBlock(const Route& r, const double* inX, const double* inY, Block& x,
                      Block& y) noexcept {
  if (RaisedFlags() != 0) ClearFlags();
  const unsigned marked = RunBlock(r, inX, inY, x, y);
  return RaisedFlags() != 0 ? kAllMarked : marked;
}

void ConvertSuperblock(const Route& r, const double* inX, const double* inY,
                       Block (&x)[kBlocksPerSuperblock], Block (&y)[kBlocksPerSuperblock],
                       unsigned (&marked)[kBlocksPerSuperblock]) noexcept {
  if (RaisedFlags() != 0) ClearFlags();
  for (std::size_t b = 0; b < kBlocksPerSuperblock; ++b) {
    marked[b] = RunBlock(r, inX + b * kBlockWidth, inY + b * kBlockWidth, x[b], y[b]);
  }
  if (RaisedFlags() == 0) return;
  for (std::size_t b = 0; b < kBlocksPerSuperblock; ++b) {
    marked[b] = ConvertBlock(r, inX + b * kBlockWidth, inY + b * kBlockWidth, x[b], y[b]);
  }
}

}  // namespace lantrel::detail
