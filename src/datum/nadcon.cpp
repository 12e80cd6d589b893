// NAD 27 -> NAD 83 by bilinear interpolation of the built-in shift grids, and the inverse by
// fixed-point iteration. Longitudes are west-positive magnitudes in decimal degrees.
#include "datum/nadcon.hpp"

#include <cmath>
#include <cstdint>
#include <limits>

#include "datum/nadcon_grid.hpp"
#include "core/arithmetic_check.hpp"
#include "core/raise.hpp"

namespace lantrel::detail {
namespace {

constexpr double kStep = 0.25;
constexpr double kSouth = 35.75;
constexpr double kEast = 81.25;
constexpr std::int64_t kLastRow = 16;
constexpr std::int64_t kLastColumn = 36;
// Two doubles closer than this (degrees) count as equal.
constexpr double kTolerance = 1e-12;

static_assert(kShiftGridRows == kLastRow + 1 && kShiftGridColumns == kLastColumn + 1);
static_assert(kShiftGridSouth == kSouth && kShiftGridEast == kEast && kShiftGridStep == kStep);

// Rounds a finite, whole-valued grid index to an integer. Values far outside the grid are
// clamped (keeping their sign) so the conversion is always defined and the range checks
// still reject them.
std::int64_t ToIndex(double index) {
  constexpr double kLimit = 9007199254740992.0;  // 2^53, far beyond any grid index
  const double rounded = std::round(index);
  if (rounded > kLimit) return static_cast<std::int64_t>(kLimit);
  if (rounded < -kLimit) return -static_cast<std::int64_t>(kLimit);
  return static_cast<std::int64_t>(rounded);
}

double Node(const ShiftGrid& grid, std::int64_t i, std::int64_t j) {
  return grid[static_cast<std::size_t>(i + static_cast<std::int64_t>(kShiftGridRows) * j)];
}

// Shift of one grid at fractions (xf westward, yf northward) of the cell whose south-east
// corner is node (i, j); the corners are read in the order (i, j), (i+1, j), (i, j+1),
// (i+1, j+1).
[[gnu::always_inline]] inline double Interpolate(const ShiftGrid& grid, std::int64_t i, std::int64_t j, double xf, double yf) {
  const double g00 = Node(grid, i, j);
  const double g10 = Node(grid, i + 1, j);
  const double g01 = Node(grid, i, j + 1);
  const double g11 = Node(grid, i + 1, j + 1);
  const double alpha = g00;
  const double beta = g01 - g00;
  const double gamma = g10 - g00;
  const double delta = g11 - g01 - gamma;
  return (xf * beta + alpha) + yf * gamma + (xf * delta) * yf;
}

// Ends an intermediate step of an operation. With finite inputs, each of the checked faults
// (division by zero, overflow, invalid operation) leaves an infinity or a NaN in the step's
// result, so the flags need to be read (through the full check, which raises the matching
// error) only when a value is not finite. Every operation ends with the full check.
void CheckStep(const ArithmeticScope& scope, Pair p) {
  if (!(std::isfinite(p.x) && std::isfinite(p.y))) scope.Check(p);
}

// The cell of a point: the node at or east of x and at or south of y (truncation toward
// zero) and that node's grid indices, still as doubles.
struct Cell {
  double x0, y0, i, j;
};

[[gnu::always_inline]] inline Cell CellOf(double x, double y) noexcept {
  const double x0 = std::trunc(x / kStep) * kStep;
  const double y0 = std::trunc(y / kStep) * kStep;
  return Cell{x0, y0, (y0 - kSouth) / kStep, (x0 - kEast) / kStep};
}

bool OnNode(double x, double y, const Cell& c) noexcept {
  return std::fabs(x - c.x0) < kTolerance && std::fabs(y - c.y0) < kTolerance;
}

// The shifted pair, once the node indices are known to be readable.
[[gnu::always_inline]] inline Pair Shifted(double x, double y, const Cell& c, std::int64_t i,
                                          std::int64_t j, bool node) noexcept {
  double dLat = 0.0;
  double dLon = 0.0;
  if (node) {
    dLat = Node(LatitudeShiftGrid, i, j);
    dLon = Node(LongitudeShiftGrid, i, j);
  } else {
    const double xf = (x - c.x0) / kStep;
    const double yf = (y - c.y0) / kStep;
    dLat = Interpolate(LatitudeShiftGrid, i, j, xf, yf);
    dLon = Interpolate(LongitudeShiftGrid, i, j, xf, yf);
  }
  return Pair{x + dLon, y + dLat};
}

// The forward shift inside the caller's arithmetic scope. One scope per public operation:
// clearing the floating-point flags costs more than the interpolation itself.
Pair Shift(Pair nad27, const ArithmeticScope& scope) {
  const double x = nad27.x;
  const double y = nad27.y;
  const Cell c = CellOf(x, y);
  // A NaN or infinity must stop here, before it becomes an integer.
  CheckStep(scope, Pair{c.i, c.j});
  const std::int64_t i = ToIndex(c.i);
  const std::int64_t j = ToIndex(c.j);
  const bool node = OnNode(x, y, c);
  CheckIndex(i, kLastRow);
  CheckIndex(j, kLastColumn);
  if (!node) {
    CheckIndex(i + 1, kLastRow);
    CheckIndex(j + 1, kLastColumn);
  }
  const Pair nad83 = Shifted(x, y, c, i, j, node);
  CheckStep(scope, nad83);
  return nad83;
}

// The same shift for a point whose whole cell lies inside the grid, with no check at all:
// such a point is finite and bounded, so no step can divide by zero, overflow or be invalid.
// Returns false, computing nothing, for any other point.
[[gnu::always_inline]] inline bool ShiftInside(Pair nad27, Pair& nad83) noexcept {
  const Cell c = CellOf(nad27.x, nad27.y);
  // Written so that a NaN index fails too.
  if (!(c.i >= 0.0 && c.i <= kLastRow - 1 && c.j >= 0.0 && c.j <= kLastColumn - 1)) {
    return false;
  }
  // Inside the grid the indices are exact whole numbers, so truncation is the rounding.
  nad83 = Shifted(nad27.x, nad27.y, c, static_cast<std::int64_t>(c.i),
                  static_cast<std::int64_t>(c.j), OnNode(nad27.x, nad27.y, c));
  return true;
}

// More passes than any point of the grid needs; a point that does not settle within them
// takes the checked path, which counts its passes.
constexpr int kInsidePasses = 64;

}  // namespace

bool TryNad27ToNad83(Pair nad27, Pair& nad83) noexcept { return ShiftInside(nad27, nad83); }

bool TryNad83ToNad27(Pair nad83, Pair& nad27) noexcept {
  const double x = nad83.x;
  const double y = nad83.y;
  Pair f;
  if (!ShiftInside(nad83, f)) return false;
  Pair q{2.0 * x - f.x, 2.0 * y - f.y};
  for (int pass = 0; pass < kInsidePasses; ++pass) {
    Pair g;
    if (!ShiftInside(q, g)) return false;
    const Pair d{x - g.x, y - g.y};
    if (std::fabs(d.x) < kTolerance && std::fabs(d.y) < kTolerance) {
      nad27 = q;
      return true;
    }
    q = Pair{q.x + d.x, q.y + d.y};
  }
  return false;
}

unsigned TryNad83ToNad27SideBySide(std::size_t count, unsigned lanes, const double* x,
                                   const double* y, double* outX, double* outY) noexcept {
  unsigned failed = 0;
  unsigned open = 0;
  for (std::size_t k = 0; k < count && k < kSideBySideShifts; ++k) {
    const unsigned bit = 1u << k;
    if ((lanes & bit) == 0) continue;
    Pair f;
    if (!ShiftInside(Pair{x[k], y[k]}, f)) {
      failed |= bit;
      continue;
    }
    outX[k] = 2.0 * x[k] - f.x;
    outY[k] = 2.0 * y[k] - f.y;
    open |= bit;
  }
  // One pass of every point still open, then the next: the same passes as TryNad83ToNad27's
  // loop, a point leaving the set where that loop would return.
  for (int pass = 0; pass < kInsidePasses && open != 0; ++pass) {
    for (std::size_t k = 0; k < count && k < kSideBySideShifts; ++k) {
      const unsigned bit = 1u << k;
      if ((open & bit) == 0) continue;
      Pair g;
      if (!ShiftInside(Pair{outX[k], outY[k]}, g)) {
        failed |= bit;
        open &= ~bit;
        continue;
      }
      const Pair d{x[k] - g.x, y[k] - g.y};
      if (std::fabs(d.x) < kTolerance && std::fabs(d.y) < kTolerance) {
        open &= ~bit;
        continue;
      }
      outX[k] = outX[k] + d.x;
      outY[k] = outY[k] + d.y;
    }
  }
  // Points still open did not settle within the passes: TryNad83ToNad27 refuses them too.
  return failed | open;
}

Pair Nad27ToNad83(Pair nad27) {
  Pair nad83;
  if (ShiftInside(nad27, nad83)) return nad83;
  const ArithmeticScope scope;
  return scope.Check(Shift(nad27, scope));
}

Pair Nad83ToNad27(Pair nad83, std::int32_t& passes) {
  const ArithmeticScope scope;
  const double x = nad83.x;
  const double y = nad83.y;

  // First estimate: the point moved back by the shift found at the point itself.
  const Pair f = Shift(nad83, scope);
  Pair q{2.0 * x - f.x, 2.0 * y - f.y};
  CheckStep(scope, q);

  for (;;) {
    if (passes == std::numeric_limits<std::int32_t>::max()) RaiseRuntime(errc::Overflow);
    ++passes;
    const Pair g = Shift(q, scope);
    const Pair d{x - g.x, y - g.y};
    CheckStep(scope, d);
    if (std::fabs(d.x) < kTolerance && std::fabs(d.y) < kTolerance) return scope.Check(q);
    q = Pair{q.x + d.x, q.y + d.y};
    CheckStep(scope, q);
  }
}

Pair Nad83ToNad27(Pair nad83) {
  Pair nad27;
  if (TryNad83ToNad27(nad83, nad27)) return nad27;
  std::int32_t passes = 0;
  return Nad83ToNad27(nad83, passes);
}

}  // namespace lantrel::detail
