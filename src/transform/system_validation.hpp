// Checking the two coordinate systems of an array conversion before any point is read.
//
// A position accepts any code in range and quietly fits the others to it (decimal degrees
// become the zone's default unit, the single zone forces NAD 83). An array conversion refuses
// such combinations instead, so that the systems a caller names are the systems it gets.
#pragma once

#include <string>

#include "lantrel/transformer.hpp"

namespace lantrel::detail {

/// Validates a system that points are read in, in the order of the position's lets
/// (projection, datum, units), then the combination. Raises lantrel::Error with `source`.
void ValidateSourceSystem(System system, const std::string& source);
/// Validates a target system in Convert's order (datum, units, projection), then the
/// combination. Raises lantrel::Error with `source`.
void ValidateTargetSystem(System system, const std::string& source);

}  // namespace lantrel::detail
