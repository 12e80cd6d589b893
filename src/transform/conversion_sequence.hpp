// The conversion every face of the library makes, one point at a time: the source's
// geographic pair (the refresh) -> shift window -> datum shift -> projection onto the target.
// A position's Convert, the arrays' per-point path and the factors run these steps; the
// block path (transform/block_conversion.hpp) runs the same steps lane by lane.
#pragma once

#include <cstdint>

#include "lantrel/pair.hpp"

namespace lantrel::detail {

/// The refresh: the geographic pair on the source datum of a stored pair of (datum,
/// projection, units). A geographic source pair must be a point of the globe (error 5 from
/// `source` otherwise, naming the coordinate); a plane pair raises what its inverse raises.
/// A Carter source's pair comes from its location (carter/); given here, it is read as the
/// geographic pair it was taken to.
Pair RefreshGeographic(Pair stored, std::int32_t datum, std::int32_t projection,
                       std::int32_t units, const char* source);

/// The outcome of ShiftAndProject that is no error: the point lies outside the shift window,
/// so the datum cannot change.
inline constexpr std::int32_t kOutsideShiftWindow = 4;

/// From the geographic pair `geo` on `fromDatum` to (toDatum, toProjection, toUnits): the
/// datum shift when the datums differ, only inside the shift window, then the projection.
/// Returns 0 with `shifted` (geo on toDatum) and `out` (the target's stored pair; for a
/// geographic or Carter target the shifted pair), or kOutsideShiftWindow leaving both alone.
/// Raises the errors of the shift and of the projection.
std::int32_t ShiftAndProject(Pair geo, std::int32_t fromDatum, std::int32_t toDatum,
                             std::int32_t toProjection, std::int32_t toUnits, Pair& shifted,
                             Pair& out);

}  // namespace lantrel::detail
