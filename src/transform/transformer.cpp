// Transformer: validates its two systems once, then converts arrays point by point.
#include "lantrel/transformer.hpp"

#include <limits>
#include <string>

#include "lantrel/error.hpp"
#include "lantrel/pair.hpp"
#include "position/raise.hpp"
#include "transform/point_conversion.hpp"
#include "transform/system_validation.hpp"

namespace lantrel {

namespace {

const std::string kTransformerSource = "lantrel:Transformer:";

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

Transformer::Transformer(CoordinateSystem from, CoordinateSystem to, bool westPositive)
    : from_(from), to_(to), westPositive_(westPositive) {
  detail::ValidateSourceSystem(from, kTransformerSource);
  detail::ValidateTargetSystem(to, kTransformerSource);
}

void Transformer::Transform(std::size_t count, const double* x, const double* y, double* outX,
                            double* outY, std::int32_t* status) const {
  if (count == 0) return;
  if (!x || !y || !outX || !outY || !status) detail::RaiseRuntime(errc::InvalidArgument);
  for (std::size_t i = 0; i < count; ++i) {
    // Inputs are read before any output is written, so the arrays may be the same.
    Pair result;
    const std::int32_t s = detail::ConvertPoint(from_, to_, westPositive_, x[i], y[i], result);
    outX[i] = s == 0 ? result.x : kNaN;
    outY[i] = s == 0 ? result.y : kNaN;
    status[i] = s;
  }
}

#if __cplusplus >= 202002L
void Transformer::Transform(std::span<const double> x, std::span<const double> y,
                            std::span<double> outX, std::span<double> outY,
                            std::span<std::int32_t> status) const {
  const std::size_t n = x.size();
  if (y.size() != n || outX.size() != n || outY.size() != n || status.size() != n) {
    detail::RaiseRuntime(errc::InvalidArgument);
  }
  Transform(n, x.data(), y.data(), outX.data(), outY.data(), status.data());
}
#endif

}  // namespace lantrel
