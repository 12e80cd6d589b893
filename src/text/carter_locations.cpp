// Carter location strings to geographic points, array by array: each text read by the Carter
// text reader, stored in a Carter object and converted as a Carter position converts it.
#include <limits>
#include <string>

#include "core/parallel_chunks.hpp"
#include "core/point_failure.hpp"
#include "core/raise.hpp"
#include "lantrel/carter_arrays.hpp"
#include "lantrel/carter_text.hpp"
#include "lantrel/error.hpp"
#include "transform/carter_points.hpp"

namespace lantrel {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The location a whole text names; raises error 5 with what is wrong otherwise.
CarterText WholeLocation(std::string_view text) {
  const CarterParse parsed = ParseCarter(text);
  if (!parsed.location) {
    throw Error(errc::InvalidArgument, detail::kCarterLocationsSource, parsed.error);
  }
  std::size_t end = parsed.length;
  while (end < text.size() && IsBlank(text[end])) ++end;
  if (end != text.size()) {
    throw Error(errc::InvalidArgument, detail::kCarterLocationsSource,
                "unexpected text after the Carter location");
  }
  return *parsed.location;
}

}  // namespace

void ReadCarterLocations(zrGeoDatum datum, bool westPositive, std::size_t count,
                         const std::string_view* text, double* lon, double* lat,
                         std::int32_t* status, PointErrors* errors) {
  ReadCarterLocations(datum, westPositive, count, text, lon, lat, status, errors, 1);
}

void ReadCarterLocations(zrGeoDatum datum, bool westPositive, std::size_t count,
                         const std::string_view* text, double* lon, double* lat,
                         std::int32_t* status, PointErrors* errors, unsigned threads) {
  detail::CheckCarterDatum(datum);
  if (errors != nullptr) errors->Clear();
  if (count == 0) return;
  if (!text || !lon || !lat || !status) detail::RaiseRuntime(errc::InvalidArgument);
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const auto d = static_cast<std::int32_t>(datum);
  detail::RunInChunks(count, threads, errors,
                      [&](std::size_t begin, std::size_t end, PointErrors* chunkErrors) {
    // Scratch space of the chunk's own.
    const auto carter = detail::NewCarter();
    for (std::size_t i = begin; i < end; ++i) {
      lon[i] = kNaN;
      lat[i] = kNaN;
      status[i] = 0;
      try {
        StoreCarterText(*carter, WholeLocation(text[i]));
        const Pair geo = detail::CarterLocationPoint(*carter, d);  // west-positive
        lon[i] = westPositive ? geo.x : -geo.x;
        lat[i] = geo.y;
      } catch (const Error& e) {
        status[i] = detail::NoteFailure(chunkErrors, i, e);
      }
    }
  });
}

}  // namespace lantrel
