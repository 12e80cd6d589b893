/// \file
/// lantrel — Carter locations for arrays of points, both ways.
//
// Each point's answer is the one a position gives it: geographic (lon, lat) on `datum`
// converted to the Carter system and written as LocationString, or a location string read,
// stored in the position's Carter object and converted to geographic coordinates. Failures are
// reported per point (status and, when asked for, the whole error record), so one bad point
// never stops the others. Pure functions: any number of threads, nothing shared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "lantrel/array_threads.hpp"
#include "lantrel/enums.hpp"
#include "lantrel/point_errors.hpp"

namespace lantrel {

/// Carter location strings of `count` geographic points on `datum`, in the default layout
/// (D45-07 1200-FNL 350-FWL) or, with `zgsLayout`, the other (1200 FNL  350 FWL 07- D-45).
/// lon[i] is read as a west longitude whatever its sign; lat[i] must lie within -90..90 and
/// the point inside the Carter grid (81.916667-89.583333 W, 36.5-39.25 N). out[i] is the
/// location, empty where status[i] is not 0 (5 for a point out of range or outside the grid,
/// with the reason, or the error the conversion raised). `errors`, when not null, is emptied
/// and receives the record of every failed point, in input order.
///
/// Errors (lantrel::Error): 5 when an array is a null pointer and `count` is not 0; a count of
/// 0 does nothing.
void FormatCarterLocations(zrGeoDatum datum, bool zgsLayout, std::size_t count,
                           const double* lon, const double* lat, std::string* out,
                           std::int32_t* status, PointErrors* errors = nullptr);

/// Geographic longitude and latitude on `datum` of `count` Carter location strings (either
/// layout, blanks around allowed, nothing else after). Longitudes come out negative west
/// unless `westPositive`. lon[i] and lat[i] are NaN where status[i] is not 0: 5 for a text
/// that is no location (with what is wrong), the Carter object's errors (1011-1013) for parts
/// out of range, 5 for footages reaching beyond the globe. `errors` as for
/// FormatCarterLocations.
///
/// Errors (lantrel::Error): 5 when an array is a null pointer and `count` is not 0.
void ReadCarterLocations(zrGeoDatum datum, bool westPositive, std::size_t count,
                         const std::string_view* text, double* lon, double* lat,
                         std::int32_t* status, PointErrors* errors = nullptr);

/// FormatCarterLocations on up to `threads` threads (1 the caller's
/// thread alone, 0 every core, N at most N; arrays below kArrayThreadThreshold points stay
/// on the caller's thread). The outcome, `errors` included, is the same whatever the count.
void FormatCarterLocations(zrGeoDatum datum, bool zgsLayout, std::size_t count,
                           const double* lon, const double* lat, std::string* out,
                           std::int32_t* status, PointErrors* errors, unsigned threads);
/// ReadCarterLocations on up to `threads` threads, counted as for FormatCarterLocations.
void ReadCarterLocations(zrGeoDatum datum, bool westPositive, std::size_t count,
                         const std::string_view* text, double* lon, double* lat,
                         std::int32_t* status, PointErrors* errors, unsigned threads);

}  // namespace lantrel
