// The vector-file forms of convert and locate: lantrel convert --to DST [--from SRC] -o OUT IN
// and lantrel locate -o OUT IN.
#pragma once

#include <string>
#include <vector>

namespace lantrel::cli {

/// Whether a convert or locate command line is about a vector file: it names an output file
/// (-o, --output), a --format, or an input whose extension is that of a format with geometry
/// (.gpkg, .shp, .geojson, .json, .fgb).
bool WantsVectorFiles(const std::vector<std::string>& args);

int RunVectorConvert(const std::vector<std::string>& args);
int RunVectorLocate(const std::vector<std::string>& args);

}  // namespace lantrel::cli
