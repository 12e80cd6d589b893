// A Shapefile packed as one zip file for a download: the .shp and the sidecar files beside it
// (.shx, .dbf, .prj, .cpg, ...), stored under their plain names.
#pragma once

#include <string>

namespace lantrel::cli::serve {

/// Writes the zip `zip` holding the Shapefile `shp` and its sidecars. False (and no zip left
/// behind) when a file cannot be read or the zip cannot be written, or without GDAL.
bool ZipShapefile(const std::string& shp, const std::string& zip);

}  // namespace lantrel::cli::serve
