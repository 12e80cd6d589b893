// Geographic points to Carter location strings, array by array, point by point.
#include <string>

#include "core/parallel_chunks.hpp"
#include "core/point_failure.hpp"
#include "core/raise.hpp"
#include "lantrel/carter_arrays.hpp"
#include "lantrel/error.hpp"
#include "transform/carter_points.hpp"

namespace lantrel {

void FormatCarterLocations(zrGeoDatum datum, bool zgsLayout, std::size_t count,
                           const double* lon, const double* lat, std::string* out,
                           std::int32_t* status, PointErrors* errors) {
  FormatCarterLocations(datum, zgsLayout, count, lon, lat, out, status, errors, 1);
}

void FormatCarterLocations(zrGeoDatum datum, bool zgsLayout, std::size_t count,
                           const double* lon, const double* lat, std::string* out,
                           std::int32_t* status, PointErrors* errors, unsigned threads) {
  detail::CheckCarterDatum(datum);
  if (errors != nullptr) errors->Clear();
  if (count == 0) return;
  if (!lon || !lat || !out || !status) detail::RaiseRuntime(errc::InvalidArgument);
  const auto d = static_cast<std::int32_t>(datum);
  detail::RunInChunks(count, threads, errors,
                      [&](std::size_t begin, std::size_t end, PointErrors* chunkErrors) {
    // Scratch space of the chunk's own.
    const auto carter = detail::NewCarter();
    for (std::size_t i = begin; i < end; ++i) {
      out[i].clear();
      status[i] = 0;
      try {
        out[i] = detail::CarterLocationOf(*carter, d, lon[i], lat[i], zgsLayout);
      } catch (const Error& e) {
        status[i] = detail::NoteFailure(chunkErrors, i, e);
      }
    }
  });
}

}  // namespace lantrel
