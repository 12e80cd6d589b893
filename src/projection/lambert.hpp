// Lambert conformal conic zones (two-parallel, mapping-radius form).
#pragma once

#include <cstdint>

#include "lantrel/pair.hpp"

namespace lantrel::detail {

/// Plane pair in `units` -> geographic (west-positive longitude, latitude) in degrees.
Pair LambertToGeographic(Pair plane, std::int32_t datum, std::int32_t projection,
                         std::int32_t units);
/// Geographic degrees -> plane pair in `units`.
Pair GeographicToLambert(Pair geo, std::int32_t datum, std::int32_t projection,
                         std::int32_t units);
/// Point scale factor k and meridian convergence (degrees) at a geographic point.
double LambertScaleFactor(Pair geo, std::int32_t datum, std::int32_t projection);
double LambertConvergence(Pair geo, std::int32_t datum, std::int32_t projection);

}  // namespace lantrel::detail
