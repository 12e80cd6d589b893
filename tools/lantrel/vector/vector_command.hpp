// The vector-file forms of convert and locate: lantrel convert --to DST [--from SRC] -o OUT IN
// and lantrel locate -o OUT IN.
#pragma once

#include "command_line.hpp"

namespace lantrel::cli {

/// Whether a convert or locate command line is about a vector file: it names an output file
/// (-o, --output), a --format, or an input whose extension is that of a format with geometry
/// (.gpkg, .shp, .geojson, .json, .fgb).
bool WantsVectorFiles(const CommandLine& commandLine);

int RunVectorConvert(const CommandLine& commandLine);
int RunVectorLocate(const CommandLine& commandLine);

}  // namespace lantrel::cli
