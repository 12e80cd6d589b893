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

/// Raises IoError saying that module `file` belongs to another build of lantrel.
[[noreturn]] void ForeignModule(const std::string& file, const char* what);

/// The entry table of a module, opened as ModuleEntry opens it, once its `interface` is the
/// one this program was built with (`expected`).
template <typename Table>
const Table& ModuleTable(const std::string& file, const char* symbol, const char* what,
                         unsigned expected) {
  const auto* table = static_cast<const Table*>(ModuleEntry(file, symbol, what));
  if (table->interface != expected) ForeignModule(file, what);
  return *table;
}

}  // namespace lantrel::cli
