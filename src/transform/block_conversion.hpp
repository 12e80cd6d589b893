// A block of points converted side by side.
//
// The block runs the per-point conversion's operations on kBlockWidth points at once (the
// projection formulas over Lanes, the datum shift point by point without checks) and reads the
// floating-point status once at the end. A point whose step left the grid, the geographic range
// or the shift window, or whose result is not finite, is marked; when a floating-point flag was
// raised, every point is marked, since the flags do not say which point raised them. Marked
// points are then converted again by the checked per-point path, which finds their status.
//
// A superblock is kBlocksPerSuperblock blocks run one after the other with a single read of
// the status at the end. Flags rarely rise, so that one read usually vouches for all of them;
// when one did rise, the superblock runs again block by block as above, each block judged on
// its own flags, so the marks are those the blocks give alone.
#pragma once

#include <cstddef>
#include <cstdint>

#include "projection/lanes.hpp"
#include "transform/route.hpp"

namespace lantrel::detail {

/// Converts the kBlockWidth points x[0..), y[0..) into outX, outY. Returns a bit mask of the
/// points that need the per-point path; their outputs are left undefined.
unsigned ConvertBlock(const Route& route, const double* x, const double* y, Block& outX,
                      Block& outY) noexcept;

/// Blocks in a superblock, and the points they hold.
inline constexpr std::size_t kBlocksPerSuperblock = 8;
inline constexpr std::size_t kSuperblockWidth = kBlocksPerSuperblock * kBlockWidth;

/// Converts the kSuperblockWidth points x[0..), y[0..) into outX[b], outY[b] (block b holding
/// points b * kBlockWidth on), and sets marked[b] to block b's mask as ConvertBlock gives it.
void ConvertSuperblock(const Route& route, const double* x, const double* y,
                       Block (&outX)[kBlocksPerSuperblock], Block (&outY)[kBlocksPerSuperblock],
                       unsigned (&marked)[kBlocksPerSuperblock]) noexcept;

}  // namespace lantrel::detail
