// Transformer: validates its two systems once, then converts arrays in interleaved blocks,
// with the checked per-point path for the points a block cannot vouch for and for the tail.
#include "lantrel/transformer.hpp"

#include <limits>
#include <string>

#include "lantrel/error.hpp"
#include "lantrel/pair.hpp"
#include "core/parallel_chunks.hpp"
#include "core/raise.hpp"
#include "transform/block_conversion.hpp"
#include "transform/point_conversion.hpp"
#include "transform/route.hpp"
#include "transform/system_validation.hpp"

namespace lantrel {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// One point through the checked path: its result, or NaN and its status (recorded in errors
// as point `index`).
std::int32_t ConvertOne(const detail::Route& r, double px, double py, double& ox, double& oy,
                        PointErrors* errors, std::size_t index) {
  Pair result;
  const std::int32_t s =
      detail::ConvertPoint(r.from, r.to, r.westPositive, px, py, result, errors, index);
  ox = s == 0 ? result.x : kNaN;
  oy = s == 0 ? result.y : kNaN;
  return s;
}

static_assert(detail::kChunkAlignment % detail::kSuperblockWidth == 0,
              "a chunk starts where a one-thread run starts a superblock");

// Points [begin, end) of the arrays: whole superblocks, then whole blocks, side by side; the
// points a block marks go again through the checked path, as does the tail. Every input of a
// superblock or block is read before any of its outputs is written, so the arrays may be the
// same.
void ConvertRange(const detail::Route& r, std::size_t begin, std::size_t end, const double* x,
                  const double* y, double* outX, double* outY, std::int32_t* status,
                  PointErrors* errors) {
  constexpr std::size_t kWidth = detail::kBlockWidth;
  constexpr std::size_t kBlocks = detail::kBlocksPerSuperblock;
  // Block b of a run starting at point i: its marked points through the checked path, then
  // its outputs.
  const auto finish = [&](std::size_t i, detail::Block& bx, detail::Block& by, unsigned marked) {
    std::int32_t s[kWidth] = {};
    for (std::size_t k = 0; k < kWidth; ++k) {
      if (marked & (1u << k)) {
        s[k] = ConvertOne(r, x[i + k], y[i + k], bx[k], by[k], errors, i + k);
      }
    }
    for (std::size_t k = 0; k < kWidth; ++k) {
      outX[i + k] = bx[k];
      outY[i + k] = by[k];
      status[i + k] = s[k];
    }
  };
  std::size_t i = begin;
  for (; i + detail::kSuperblockWidth <= end; i += detail::kSuperblockWidth) {
    detail::Block bx[kBlocks], by[kBlocks];
    unsigned marked[kBlocks];
    detail::ConvertSuperblock(r, x + i, y + i, bx, by, marked);
    for (std::size_t b = 0; b < kBlocks; ++b) finish(i + b * kWidth, bx[b], by[b], marked[b]);
  }
  for (; i + kWidth <= end; i += kWidth) {
    detail::Block bx, by;
    const unsigned marked = detail::ConvertBlock(r, x + i, y + i, bx, by);
    finish(i, bx, by, marked);
  }
  for (; i < end; ++i) {
    double ox, oy;
    const std::int32_t s = ConvertOne(r, x[i], y[i], ox, oy, errors, i);
    outX[i] = ox;
    outY[i] = oy;
    status[i] = s;
  }
}

}  // namespace

Transformer::Transformer(System from, System to, bool westPositive)
    : from_(from), to_(to), westPositive_(westPositive) {
  detail::ValidateSourceSystem(from, detail::kTransformerSource);
  detail::ValidateTargetSystem(to, detail::kTransformerSource);
}

void Transformer::Transform(std::size_t count, const double* x, const double* y, double* outX,
                            double* outY, std::int32_t* status) const {
  Transform(count, x, y, outX, outY, status, nullptr);
}

void Transformer::Transform(std::size_t count, const double* x, const double* y, double* outX,
                            double* outY, std::int32_t* status, PointErrors* errors) const {
  Transform(count, x, y, outX, outY, status, errors, 1);
}

void Transformer::Transform(std::size_t count, const double* x, const double* y, double* outX,
                            double* outY, std::int32_t* status, PointErrors* errors,
                            unsigned threads) const {
  if (errors != nullptr) errors->Clear();
  if (count == 0) return;
  if (!x || !y || !outX || !outY || !status) detail::RaiseRuntime(errc::InvalidArgument);
  const detail::Route route(from_, to_, westPositive_);
  detail::RunInChunks(count, threads, errors,
                      [&](std::size_t begin, std::size_t end, PointErrors* chunkErrors) {
                        ConvertRange(route, begin, end, x, y, outX, outY, status, chunkErrors);
                      });
}

#if __cplusplus >= 202002L
void Transformer::Transform(std::span<const double> x, std::span<const double> y,
                            std::span<double> outX, std::span<double> outY,
                            std::span<std::int32_t> status) const {
  Transform(x, y, outX, outY, status, nullptr);
}

void Transformer::Transform(std::span<const double> x, std::span<const double> y,
                            std::span<double> outX, std::span<double> outY,
                            std::span<std::int32_t> status, PointErrors* errors) const {
  const std::size_t n = x.size();
  if (y.size() != n || outX.size() != n || outY.size() != n || status.size() != n) {
    detail::RaiseRuntime(errc::InvalidArgument);
  }
  Transform(n, x.data(), y.data(), outX.data(), outY.data(), status.data(), errors);
}
#endif

}  // namespace lantrel
