// The vector file formats the tool reads and writes through GDAL, told apart by the file name's
// extension or named with --format.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lantrel::cli {

enum class VectorFormat { GeoPackage, Shapefile, GeoJson, FlatGeobuf, Csv };

/// The format named on the command line: gpkg, shp (shapefile), geojson (json), fgb
/// (flatgeobuf) or csv, ignoring case.
std::optional<VectorFormat> FormatFromName(std::string_view name);
/// The format a file name's extension stands for (.gpkg, .shp, .geojson/.json, .fgb, .csv).
std::optional<VectorFormat> FormatFromPath(std::string_view path);
/// Whether the file name has the extension of a format with geometry (any but CSV): such an
/// input is always read through GDAL.
bool IsGeometryFilePath(std::string_view path);
/// GDAL's name for the format's driver.
const char* DriverName(VectorFormat format);
/// Whether the format stores geometry (CSV stores coordinates as columns).
inline bool HasGeometry(VectorFormat format) { return format != VectorFormat::Csv; }

}  // namespace lantrel::cli
