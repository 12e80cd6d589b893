// One point to and from the Carter system, as a position converts it: the refresh, window,
// shift and project steps of every conversion, with the Carter location at the Carter end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "lantrel/carter.hpp"
#include "lantrel/enums.hpp"
#include "lantrel/pair.hpp"

namespace lantrel::detail {

/// Source of the errors the Carter arrays raise for a point on their own.
inline constexpr const char* kCarterLocationsSource = "lantrel:CarterLocations:";

/// Raises the position's datum error (1001) for a datum other than NAD 83 and NAD 27.
void CheckCarterDatum(zrGeoDatum datum);

/// A zrCarter of its own for a caller that converts without a position.
std::shared_ptr<zrCarter> NewCarter();

/// The location string (the ZGS layout when `zgs`) of geographic (lon, lat) on `datum`, as a
/// geographic position holding the pair writes it after a Convert to the Carter system. Raises
/// error 5 with the reason for a latitude beyond 90, a longitude beyond 180 and a point outside
/// the Carter grid, and what the conversion raises. `carter` is scratch space.
std::string CarterLocationOf(zrCarter& carter, std::int32_t datum, double lon, double lat,
                             bool zgs);

/// The geographic pair (west-positive longitude, latitude) on `datum` of the location held in
/// `carter`, as a Carter position converted to the geographic system gives it. Raises what
/// the conversion raises (5 for footages reaching beyond the globe).
Pair CarterLocationPoint(zrCarter& carter, std::int32_t datum);

}  // namespace lantrel::detail
