#include "projection/zone_driver.hpp"

#include <type_traits>

#include "core/arithmetic_check.hpp"
#include "core/raise.hpp"
#include "core/units.hpp"
#include "lantrel/enums.hpp"
#include "projection/geographic_range.hpp"
#include "projection/lambert_conformal_conic.hpp"
#include "projection/transverse_mercator_series.hpp"
#include "projection/zone_table.hpp"

namespace lantrel::detail {
namespace {

// What marks a record as holding a zone of the kernel's family.
template <typename Kernel>
struct FamilyTraits;
template <>
struct FamilyTraits<LambertConformalConic> {
  static constexpr ProjectionFamily kFamily = ProjectionFamily::Lambert;
  static bool Holds(const ZoneRecord& z) noexcept { return z.n != 0.0; }
};
template <>
struct FamilyTraits<TransverseMercator> {
  static constexpr ProjectionFamily kFamily = ProjectionFamily::TransverseMercator;
  static bool Holds(const ZoneRecord& z) noexcept { return z.k0 != 0.0; }
};

// The zone of (datum, projection). A code outside the tables, a code of another family or an
// empty record is a subscript error: projecting with an all-zero record would otherwise
// quietly give (0, 0) or garbage.
template <typename Kernel>
Kernel KernelOf(std::int32_t datum, std::int32_t projection) {
  const ZoneRecord& z = Zone(datum, projection);
  if (FamilyOf(projection) != FamilyTraits<Kernel>::kFamily || !FamilyTraits<Kernel>::Holds(z)) {
    RaiseRuntime(errc::SubscriptOutOfRange);
  }
  return Kernel(z);
}

// The kernels take their coordinates by reference. Each is handed over as a double of its own:
// a pair handed over whole is copied with one 16-byte load of the two 8-byte halves just
// stored, which waits for both stores to retire (no store forwarding), about 15 ns a point.
template <typename Kernel>
Pair Inverse(Pair plane, std::int32_t datum, std::int32_t projection, std::int32_t units) {
  const Kernel zone = KernelOf<Kernel>(datum, projection);
  return CheckGeographicRange(CheckedStep([&] {
    const Pair metres = ScaleToMetres(plane, units);
    const double east = metres.x, north = metres.y;
    Pair geo;
    zone.Reverse(east, north, geo.x, geo.y);
    return geo;
  }));
}

template <typename Kernel>
Pair Forward(Pair geo, std::int32_t datum, std::int32_t projection, std::int32_t units) {
  const Kernel zone = KernelOf<Kernel>(datum, projection);
  const double lon = geo.x, lat = geo.y;
  return CheckedStep([&] {
    Pair plane;
    zone.Forward(lon, lat, plane.x, plane.y);
    return ScaleFromMetres(plane, units);
  });
}

template <typename Kernel>
double ScaleFactorOf(Pair geo, std::int32_t datum, std::int32_t projection) {
  const Kernel zone = KernelOf<Kernel>(datum, projection);
  return CheckedStep([&] { return zone.ScaleFactor(geo); });
}

template <typename Kernel>
double ConvergenceOf(Pair geo, std::int32_t datum, std::int32_t projection) {
  const Kernel zone = KernelOf<Kernel>(datum, projection);
  return CheckedStep([&] { return zone.Convergence(geo); });
}

// Angular systems (geographic, Carter) have no kernel.
struct Angular {};

// The one choice of a kernel by projection family: calls `f` with a null pointer of the
// kernel's type (Angular for angular systems).
template <typename F>
decltype(auto) WithFamily(std::int32_t projection, F&& f) {
  switch (FamilyOf(projection)) {
    case ProjectionFamily::Lambert: return f(static_cast<const LambertConformalConic*>(nullptr));
    case ProjectionFamily::TransverseMercator: return f(static_cast<const TransverseMercator*>(nullptr));
    case ProjectionFamily::Geographic:
    case ProjectionFamily::Carter: break;
  }
  return f(static_cast<const Angular*>(nullptr));
}

template <typename K>
constexpr bool kAngular = std::is_same_v<K, Angular>;

}  // namespace

Pair ZoneToGeographic(Pair stored, std::int32_t datum, std::int32_t projection, std::int32_t units) {
  return WithFamily(projection, [&](auto* kernel) {
    using K = std::remove_const_t<std::remove_pointer_t<decltype(kernel)>>;
    if constexpr (kAngular<K>) return stored;
    else if constexpr (std::is_same_v<K, LambertConformalConic>) return LambertToGeographic(stored, datum, projection, units);
    else return MercatorToGeographic(stored, datum, projection, units);
  });
}

Pair GeographicToZone(Pair geo, std::int32_t datum, std::int32_t projection, std::int32_t units) {
  return WithFamily(projection, [&](auto* kernel) {
    using K = std::remove_const_t<std::remove_pointer_t<decltype(kernel)>>;
    if constexpr (kAngular<K>) return ArithmeticScope().Check(geo);
    else if constexpr (std::is_same_v<K, LambertConformalConic>) return GeographicToLambert(geo, datum, projection, units);
    else return GeographicToMercator(geo, datum, projection, units);
  });
}

double ScaleFactorAt(Pair geo, std::int32_t datum, std::int32_t projection) {
  return WithFamily(projection, [&](auto* kernel) {
    using K = std::remove_const_t<std::remove_pointer_t<decltype(kernel)>>;
    if constexpr (kAngular<K>) return 1.0;
    else if constexpr (std::is_same_v<K, LambertConformalConic>) return LambertScaleFactor(geo, datum, projection);
    else return MercatorScaleFactor(geo, datum, projection);
  });
}

double ConvergenceAt(Pair geo, std::int32_t datum, std::int32_t projection) {
  return WithFamily(projection, [&](auto* kernel) {
    using K = std::remove_const_t<std::remove_pointer_t<decltype(kernel)>>;
    if constexpr (kAngular<K>) return 0.0;
    else if constexpr (std::is_same_v<K, LambertConformalConic>) return LambertConvergence(geo, datum, projection);
    else return MercatorConvergence(geo, datum, projection);
  });
}

ZoneFactors FactorsAt(Pair geo, std::int32_t datum, std::int32_t projection) {
  const double k = ScaleFactorAt(geo, datum, projection);
  return ZoneFactors{k, ConvergenceAt(geo, datum, projection)};
}

Pair LambertToGeographic(Pair plane, std::int32_t datum, std::int32_t projection, std::int32_t units) {
  return Inverse<LambertConformalConic>(plane, datum, projection, units);
}
Pair GeographicToLambert(Pair geo, std::int32_t datum, std::int32_t projection, std::int32_t units) {
  return Forward<LambertConformalConic>(geo, datum, projection, units);
}
double LambertScaleFactor(Pair geo, std::int32_t datum, std::int32_t projection) {
  return ScaleFactorOf<LambertConformalConic>(geo, datum, projection);
}
double LambertConvergence(Pair geo, std::int32_t datum, std::int32_t projection) {
  return ConvergenceOf<LambertConformalConic>(geo, datum, projection);
}
Pair MercatorToGeographic(Pair plane, std::int32_t datum, std::int32_t projection, std::int32_t units) {
  return Inverse<TransverseMercator>(plane, datum, projection, units);
}
Pair GeographicToMercator(Pair geo, std::int32_t datum, std::int32_t projection, std::int32_t units) {
  return Forward<TransverseMercator>(geo, datum, projection, units);
}
double MercatorScaleFactor(Pair geo, std::int32_t datum, std::int32_t projection) {
  return ScaleFactorOf<TransverseMercator>(geo, datum, projection);
}
double MercatorConvergence(Pair geo, std::int32_t datum, std::int32_t projection) {
  return ConvergenceOf<TransverseMercator>(geo, datum, projection);
}

}  // namespace lantrel::detail
