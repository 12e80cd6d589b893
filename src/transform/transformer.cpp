// Transformer: validates its two systems once, then converts arrays in interleaved blocks,
// with the checked per-point path for the points a block cannot vouch for and for the tail.
#include "lantrel/transformer.hpp"

#include <limits>
#include <string>

#include "lantrel/error.hpp"
#include "lantrel/pair.hpp"
#include "core/raise.hpp"
#include "transform/block_conversion.hpp"
#include "transform/point_conversion.hpp"
#include "transform/route.hpp"
#include "transform/system_validation.hpp"

namespace lantrel {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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
  if (errors != nullptr) errors->Clear();
  if (count == 0) return;
  if (!x || !y || !outX || !outY || !status) detail::RaiseRuntime(errc::InvalidArgument);
  const detail::Route route(from_, to_, westPositive_);
  // One point through the checked path: its result, or NaN and its status (recorded in
  // errors as point `index`).
  const auto convertPoint = [&](double px, double py, double& ox, double& oy,
                                std::size_t index) {
    Pair result;
    const std::int32_t s =
        detail::ConvertPoint(from_, to_, westPositive_, px, py, result, errors, index);
    ox = s == 0 ? result.x : kNaN;
    oy = s == 0 ? result.y : kNaN;
    return s;
  };
  // Whole blocks side by side; the points a block marks go again through the checked path.
  // Every input of a block is read before any of its outputs is written, so the arrays may be
  // the same.
  constexpr std::size_t kWidth = detail::kBlockWidth;
  std::size_t i = 0;
  for (; i + kWidth <= count; i += kWidth) {
    detail::Block bx, by;
    const unsigned marked = detail::ConvertBlock(route, x + i, y + i, bx, by);
    std::int32_t s[kWidth] = {};
    for (std::size_t k = 0; k < kWidth; ++k) {
      if (marked & (1u << k)) s[k] = convertPoint(x[i + k], y[i + k], bx[k], by[k], i + k);
    }
    for (std::size_t k = 0; k < kWidth; ++k) {
      outX[i + k] = bx[k];
      outY[i + k] = by[k];
      status[i + k] = s[k];
    }
  }
  for (; i < count; ++i) {
    double ox, oy;
    const std::int32_t s = convertPoint(x[i], y[i], ox, oy, i);
    outX[i] = ox;
    outY[i] = oy;
    status[i] = s;
  }
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
