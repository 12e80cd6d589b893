#include "vector_format.hpp"

#include <array>
#include <utility>

#include "systems.hpp"

namespace lantrel::cli {

namespace {

constexpr std::array<std::pair<std::string_view, VectorFormat>, 9> kNames{{
    {"gpkg", VectorFormat::GeoPackage},
    {"geopackage", VectorFormat::GeoPackage},
    {"shp", VectorFormat::Shapefile},
    {"shapefile", VectorFormat::Shapefile},
    {"geojson", VectorFormat::GeoJson},
    {"json", VectorFormat::GeoJson},
    {"fgb", VectorFormat::FlatGeobuf},
    {"flatgeobuf", VectorFormat::FlatGeobuf},
    {"csv", VectorFormat::Csv},
}};

}  // namespace

std::optional<VectorFormat> FormatFromName(std::string_view name) {
  for (const auto& [n, f] : kNames) {
    if (EqualsIgnoreCase(name, n)) return f;
  }
  return std::nullopt;
}

std::optional<VectorFormat> FormatFromPath(std::string_view path) {
  const auto slash = path.find_last_of('/');
  const auto base = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const auto dot = base.find_last_of('.');
  if (dot == std::string_view::npos || dot == 0) return std::nullopt;
  const auto ext = base.substr(dot + 1);
  if (EqualsIgnoreCase(ext, "geopackage") || EqualsIgnoreCase(ext, "shapefile") ||
      EqualsIgnoreCase(ext, "flatgeobuf")) {
    return std::nullopt;  // format names, not extensions
  }
  return FormatFromName(ext);
}

bool IsGeometryFilePath(std::string_view path) {
  const auto f = FormatFromPath(path);
  return f && HasGeometry(*f);
}

const char* DriverName(VectorFormat format) {
  switch (format) {
    case VectorFormat::GeoPackage: return "GPKG";
    case VectorFormat::Shapefile: return "ESRI Shapefile";
    case VectorFormat::GeoJson: return "GeoJSON";
    case VectorFormat::FlatGeobuf: return "FlatGeobuf";
    case VectorFormat::Csv: break;
  }
  return "CSV";
}

}  // namespace lantrel::cli
