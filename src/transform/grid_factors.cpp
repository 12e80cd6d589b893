// Scale factor and convergence of arrays of points in one system.
#include <limits>
#include <string>

#include "lantrel/error.hpp"
#include "lantrel/transformer.hpp"
#include "core/parallel_chunks.hpp"
#include "core/raise.hpp"
#include "transform/point_conversion.hpp"
#include "transform/system_validation.hpp"

namespace lantrel {

void GridFactors(System system, bool westPositive, std::size_t count, const double* x,
                 const double* y, double* scaleFactor, double* convergence,
                 std::int32_t* status) {
  GridFactors(system, westPositive, count, x, y, scaleFactor, convergence, status, nullptr);
}

void GridFactors(System system, bool westPositive, std::size_t count, const double* x,
                 const double* y, double* scaleFactor, double* convergence,
                 std::int32_t* status, PointErrors* errors) {
  GridFactors(system, westPositive, count, x, y, scaleFactor, convergence, status, errors, 1);
}

void GridFactors(System system, bool /*westPositive*/, std::size_t count, const double* x,
                 const double* y, double* scaleFactor, double* convergence,
                 std::int32_t* status, PointErrors* errors, unsigned threads) {
  // The sign convention changes only how a geographic x reads back, never a factor.
  detail::ValidateSourceSystem(system, "lantrel:GridFactors:");
  if (errors != nullptr) errors->Clear();
  if (count == 0) return;
  if (!x || !y || !scaleFactor || !convergence || !status) {
    detail::RaiseRuntime(errc::InvalidArgument);
  }
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  detail::RunInChunks(count, threads, errors,
                      [&](std::size_t begin, std::size_t end, PointErrors* chunkErrors) {
    for (std::size_t i = begin; i < end; ++i) {
      double k = kNaN;
      double gamma = kNaN;
      const std::int32_t s =
          detail::PointFactors(system, x[i], y[i], k, gamma, chunkErrors, i);
      scaleFactor[i] = s == 0 ? k : kNaN;
      convergence[i] = s == 0 ? gamma : kNaN;
      status[i] = s;
    }
  });
}

}  // namespace lantrel
