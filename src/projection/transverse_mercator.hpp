// Transverse Mercator zones (rectifying-latitude series with U and V coefficients).
#pragma once

#include <cstdint>

#include "lantrel/pair.hpp"

namespace lantrel::detail {

Pair MercatorToGeographic(Pair plane, std::int32_t datum, std::int32_t projection,
                          std::int32_t units);
Pair GeographicToMercator(Pair geo, std::int32_t datum, std::int32_t projection,
                          std::int32_t units);
double MercatorScaleFactor(Pair geo, std::int32_t datum, std::int32_t projection);
double MercatorConvergence(Pair geo, std::int32_t datum, std::int32_t projection);

}  // namespace lantrel::detail
