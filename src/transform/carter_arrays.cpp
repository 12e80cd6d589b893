// Geographic points to Carter location strings, array by array, point by point.
#include <string>

#include "core/point_failure.hpp"
#include "core/raise.hpp"
#include "lantrel/carter_arrays.hpp"
#include "lantrel/error.hpp"
#include "transform/carter_points.hpp"

namespace lantrel {

void FormatCarterLocations(zrGeoDatum datum, bool zgsLayout, std::size_t count,
                           const double* lon, const double* lat, std::string* out,
                           std::int32_t* status, PointErrors* errors) {
  detail::CheckCarterDatum(datum);
  if (errors != nullptr) errors->Clear();
  if (count == 0) return;
  if (!lon || !lat || !out || !status) detail::RaiseRuntime(errc::InvalidArgument);
  const auto carter = detail::NewCarter();
  const auto d = static_cast<std::int32_t>(datum);
  for (std::size_t i = 0; i < count; ++i) {
    out[i].clear();
    status[i] = 0;
    try {
      out[i] = detail::CarterLocationOf(*carter, d, lon[i], lat[i], zgsLayout);
    } catch (const Error& e) {
      status[i] = detail::NoteFailure(errors, i, e);
    }
  }
}

}  // namespace lantrel
