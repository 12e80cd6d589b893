// The tool's modules: the parts that need heavy libraries (GDAL for vector files, the HTTP
// library for serve) are shared objects beside the program, opened only by the jobs that use
// them, so the other commands start without loading those libraries at all.
#pragma once

#include <string>

namespace lantrel::cli {

/// The folder of the modules: LANTREL_MODULE_DIR taken from the folder of the running program
/// (PREFIX/bin -> PREFIX/lib/<multiarch>/lantrel; the build tree mirrors that layout).
std::string ModuleFolder();

/// Opens the module file `file` of ModuleFolder() (once per process) and returns the address
/// of its entry table `symbol`. `what` names the module in messages ("the vector file
/// module"). Raises IoError naming the missing file, or the library or symbol that could not
/// be loaded, when it cannot.
const void* ModuleEntry(const std::string& file, const char* symbol, const char* what);

}  // namespace lantrel::cli
