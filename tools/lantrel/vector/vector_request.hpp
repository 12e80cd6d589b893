// Telling a vector file job from a text one by its command line alone, before anything of
// the vector file module is loaded.
#pragma once

#include "command_line.hpp"

namespace lantrel::cli {

/// Whether a convert or locate command line is about a vector file: it names an output file
/// (-o, --output), a --format, or an input whose extension is that of a format with geometry
/// (.gpkg, .shp, .geojson, .json, .fgb).
bool WantsVectorFiles(const CommandLine& commandLine);

}  // namespace lantrel::cli
