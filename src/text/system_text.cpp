#include "lantrel/system_text.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string>

namespace lantrel {

namespace {

using P = zrGeoProjection;
using D = zrGeoDatum;
using U = zrGeoUnits;

struct ProjectionName {
  P projection;
  std::string_view shortName;
  std::string_view member;
  std::string_view longName;
};

constexpr std::array<ProjectionName, 16> kProjections{{
    {P::zrSingleZone, "single", "zrSingleZone", "Kentucky single zone"},
    {P::zrNorthZone, "north", "zrNorthZone", "Kentucky North zone"},
    {P::zrSouthZone, "south", "zrSouthZone", "Kentucky South zone"},
    {P::zrUTM16, "utm16", "zrUTM16", "UTM zone 16 north"},
    {P::zrUTM17, "utm17", "zrUTM17", "UTM zone 17 north"},
    {P::zrGeographic, "geographic", "zrGeographic", "geographic longitude/latitude"},
    {P::zrCarter, "carter", "zrCarter", "Carter location"},
    {P::moEastZone, "mo-east", "moEastZone", "Missouri East zone"},
    {P::ilWestZone, "il-west", "ilWestZone", "Illinois West zone"},
    {P::ilEastZone, "il-east", "ilEastZone", "Illinois East zone"},
    {P::inWestZone, "in-west", "inWestZone", "Indiana West zone"},
    {P::inEastZone, "in-east", "inEastZone", "Indiana East zone"},
    {P::ohSouthZone, "oh-south", "ohSouthZone", "Ohio South zone"},
    {P::wvSouthZone, "wv-south", "wvSouthZone", "West Virginia South zone"},
    {P::vaSouthZone, "va-south", "vaSouthZone", "Virginia South zone"},
    {P::tnSingleZone, "tn", "tnSingleZone", "Tennessee zone"},
}};

struct UnitName {
  U units;
  std::string_view shortName;
  std::string_view member;
  std::string_view longName;
};

constexpr std::array<UnitName, 6> kUnits{{
    {U::zrDecimalDegrees, "deg", "zrDecimalDegrees", "decimal degrees"},
    {U::zrUSFt, "usft", "zrUSFt", "US survey feet"},
    {U::zrMeters, "m", "zrMeters", "metres"},
    {U::zrIntlFt, "ft", "zrIntlFt", "international feet"},
    {U::zrMiles, "mi", "zrMiles", "US survey miles"},
    {U::zrKilometers, "km", "zrKilometers", "kilometres"},
}};

// Codes checked against the EPSG registry's definitions: same ellipsoid, origin, parallels,
// scale and false origin as the library's zone table. NAD 27 plane zones exist there in US
// survey feet only; the NAD 27 Tennessee zone has no exact EPSG twin (the registry's versions
// use a different false origin), and Missouri East has no NAD 83 US-foot code.
constexpr std::array<EpsgEntry, 39> kAllEpsg{{
    {2205, P::zrNorthZone, D::zrNAD83, U::zrMeters},
    {2246, P::zrNorthZone, D::zrNAD83, U::zrUSFt},
    {2247, P::zrSouthZone, D::zrNAD83, U::zrUSFt},
    {2274, P::tnSingleZone, D::zrNAD83, U::zrUSFt},
    {2284, P::vaSouthZone, D::zrNAD83, U::zrUSFt},
    {2965, P::inEastZone, D::zrNAD83, U::zrUSFt},
    {2966, P::inWestZone, D::zrNAD83, U::zrUSFt},
    {3088, P::zrSingleZone, D::zrNAD83, U::zrMeters},
    {3089, P::zrSingleZone, D::zrNAD83, U::zrUSFt},
    {3435, P::ilEastZone, D::zrNAD83, U::zrUSFt},
    {3436, P::ilWestZone, D::zrNAD83, U::zrUSFt},
    {3735, P::ohSouthZone, D::zrNAD83, U::zrUSFt},
    {4267, P::zrGeographic, D::zrNAD27, U::zrDecimalDegrees},
    {4269, P::zrGeographic, D::zrNAD83, U::zrDecimalDegrees},
    {26716, P::zrUTM16, D::zrNAD27, U::zrMeters},
    {26717, P::zrUTM17, D::zrNAD27, U::zrMeters},
    {26771, P::ilEastZone, D::zrNAD27, U::zrUSFt},
    {26772, P::ilWestZone, D::zrNAD27, U::zrUSFt},
    {26773, P::inEastZone, D::zrNAD27, U::zrUSFt},
    {26774, P::inWestZone, D::zrNAD27, U::zrUSFt},
    {26779, P::zrNorthZone, D::zrNAD27, U::zrUSFt},
    {26780, P::zrSouthZone, D::zrNAD27, U::zrUSFt},
    {26796, P::moEastZone, D::zrNAD27, U::zrUSFt},
    {26854, P::wvSouthZone, D::zrNAD83, U::zrUSFt},
    {26916, P::zrUTM16, D::zrNAD83, U::zrMeters},
    {26917, P::zrUTM17, D::zrNAD83, U::zrMeters},
    {26971, P::ilEastZone, D::zrNAD83, U::zrMeters},
    {26972, P::ilWestZone, D::zrNAD83, U::zrMeters},
    {26973, P::inEastZone, D::zrNAD83, U::zrMeters},
    {26974, P::inWestZone, D::zrNAD83, U::zrMeters},
    {26980, P::zrSouthZone, D::zrNAD83, U::zrMeters},
    {26996, P::moEastZone, D::zrNAD83, U::zrMeters},
    {32023, P::ohSouthZone, D::zrNAD27, U::zrUSFt},
    {32047, P::vaSouthZone, D::zrNAD27, U::zrUSFt},
    {32051, P::wvSouthZone, D::zrNAD27, U::zrUSFt},
    {32123, P::ohSouthZone, D::zrNAD83, U::zrMeters},
    {32136, P::tnSingleZone, D::zrNAD83, U::zrMeters},
    {32147, P::vaSouthZone, D::zrNAD83, U::zrMeters},
    {32151, P::wvSouthZone, D::zrNAD83, U::zrMeters},
}};

// A whole-string decimal integer, or nothing.
std::optional<std::int32_t> WholeNumber(std::string_view s) {
  std::int32_t v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
  return v;
}

std::optional<P> FindProjection(std::string_view s) {
  if (EqualsIgnoreCase(s, "geo")) return P::zrGeographic;
  for (const auto& p : kProjections) {
    if (EqualsIgnoreCase(s, p.shortName) || EqualsIgnoreCase(s, p.member)) return p.projection;
  }
  if (auto n = WholeNumber(s); n && *n >= 0 && *n <= 15) return static_cast<P>(*n);
  return std::nullopt;
}

std::optional<D> FindDatum(std::string_view s) {
  if (EqualsIgnoreCase(s, "nad83") || EqualsIgnoreCase(s, "zrNAD83") || s == "0") {
    return D::zrNAD83;
  }
  if (EqualsIgnoreCase(s, "nad27") || EqualsIgnoreCase(s, "zrNAD27") || s == "1") {
    return D::zrNAD27;
  }
  return std::nullopt;
}

std::optional<U> FindUnits(std::string_view s) {
  for (const auto& u : kUnits) {
    if (EqualsIgnoreCase(s, u.shortName) || EqualsIgnoreCase(s, u.member)) return u.units;
  }
  if (auto n = WholeNumber(s); n && *n >= 0 && *n <= 5) return static_cast<U>(*n);
  return std::nullopt;
}

// WGS 84 longitudes and latitudes are read as NAD 83 ones: the two datums differ by a few
// metres in the served region, which the null transformation ignores.
System Wgs84AsNad83() { return System{P::zrGeographic, D::zrNAD83, U::zrDecimalDegrees, kWgs84Epsg}; }

SystemParse Fail(std::string message) { return SystemParse{std::nullopt, std::move(message)}; }

SystemParse ParseEpsg(std::string_view text, std::string_view digits) {
  const auto code = WholeNumber(digits);
  if (!code) return Fail("'" + std::string(text) + "': EPSG code must be a number");
  if (*code == kWgs84Epsg) return SystemParse{Wgs84AsNad83(), {}};
  for (const auto& e : kAllEpsg) {
    if (e.code == *code) return SystemParse{System{e.projection, e.datum, e.units, e.code}, {}};
  }
  return Fail("'" + std::string(text) +
              "' is not one of the EPSG codes lantrel serves (see 'lantrel systems')");
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

zrGeoUnits DefaultUnits(zrGeoProjection projection) {
  switch (projection) {
    case P::zrGeographic:
    case P::zrCarter:
      return U::zrDecimalDegrees;
    case P::zrUTM16:
    case P::zrUTM17:
      return U::zrMeters;
    default:
      return U::zrUSFt;
  }
}

SystemParse ParseSystem(std::string_view text) {
  if (text.size() > 5 && EqualsIgnoreCase(text.substr(0, 5), "epsg:")) {
    return ParseEpsg(text, text.substr(5));
  }
  if (EqualsIgnoreCase(text, "OGC:CRS84")) return SystemParse{Wgs84AsNad83(), {}};
  std::array<std::string_view, 3> parts{};
  std::size_t count = 0;
  std::string_view rest = text;
  while (true) {
    const auto slash = rest.find('/');
    if (count == parts.size()) {
      return Fail("'" + std::string(text) + "': expected PROJECTION[/DATUM[/UNITS]]");
    }
    parts[count++] = rest.substr(0, slash);
    if (slash == std::string_view::npos) break;
    rest = rest.substr(slash + 1);
  }
  System s;
  const auto projection = FindProjection(parts[0]);
  if (!projection) {
    return Fail("'" + std::string(parts[0]) + "' is not a projection (see 'lantrel systems')");
  }
  s.projection = *projection;
  if (s.projection == P::zrCarter) s.datum = kCarterDefaultDatum;
  if (count >= 2) {
    const auto datum = FindDatum(parts[1]);
    if (!datum) return Fail("'" + std::string(parts[1]) + "' is not a datum (nad83 or nad27)");
    s.datum = *datum;
  }
  s.units = DefaultUnits(s.projection);
  if (count == 3) {
    const auto units = FindUnits(parts[2]);
    if (!units) {
      return Fail("'" + std::string(parts[2]) + "' is not a unit (deg, usft, m, ft, mi, km)");
    }
    s.units = *units;
  }
  if (s.projection == P::zrSingleZone && s.datum == D::zrNAD27) {
    return Fail("'" + std::string(text) + "': the Kentucky single zone exists on NAD 83 only");
  }
  if (s.Angular() && s.units != U::zrDecimalDegrees) {
    return Fail("'" + std::string(text) + "': " + std::string(ShortName(s.projection)) +
                " coordinates are always in decimal degrees");
  }
  if (!s.Angular() && s.units == U::zrDecimalDegrees) {
    return Fail("'" + std::string(text) + "': plane coordinates need a linear unit");
  }
  return SystemParse{s, {}};
}

std::string_view ShortName(zrGeoProjection p) {
  return kProjections[static_cast<std::size_t>(p)].shortName;
}
std::string_view ShortName(zrGeoDatum d) { return d == D::zrNAD27 ? "nad27" : "nad83"; }
std::string_view ShortName(zrGeoUnits u) { return kUnits[static_cast<std::size_t>(u)].shortName; }
std::string_view MemberName(zrGeoProjection p) {
  return kProjections[static_cast<std::size_t>(p)].member;
}
std::string_view LongName(zrGeoProjection p) {
  return kProjections[static_cast<std::size_t>(p)].longName;
}
std::string_view LongName(zrGeoDatum d) { return d == D::zrNAD27 ? "NAD 27" : "NAD 83"; }
std::string_view LongName(zrGeoUnits u) { return kUnits[static_cast<std::size_t>(u)].longName; }

std::string Canonical(const System& s) {
  return std::string(ShortName(s.projection)) + "/" + std::string(ShortName(s.datum)) + "/" +
         std::string(ShortName(s.units));
}

std::string Describe(const System& s) {
  std::string text;
  if (s.epsg != 0) text = "EPSG:" + std::to_string(s.epsg) + " = ";
  return text + Canonical(s) + " (" + std::string(LongName(s.projection)) + ", " +
         std::string(LongName(s.datum)) + ", " + std::string(LongName(s.units)) + ")";
}

EpsgEntries EpsgTable() { return EpsgEntries{kAllEpsg.data(), kAllEpsg.size()}; }

std::int32_t EpsgOf(const System& s) {
  for (const auto& e : kAllEpsg) {
    if (e.projection == s.projection && e.datum == s.datum && e.units == s.units) return e.code;
  }
  return 0;
}

}  // namespace lantrel
