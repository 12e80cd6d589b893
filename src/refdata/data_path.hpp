// Where the reference data file is sought.
//
// Candidate folders, in order (every folder string ends in '/'):
//   1. the folder of the loaded library or program that contains this code;
//   2. the data folder of the installed tree holding that library or program (for example
//      <libdir>/../share/lantrel/ or <bindir>/../share/lantrel/), then the data folder of the
//      prefix the library was configured for (so a program with the static library linked in
//      finds a tree installed there from anywhere), /usr/local/share/lantrel/ and
//      /usr/share/lantrel/;
//   3. the entries of PATH that are followed by a ':' (an empty entry means "/");
//   4. /opt/lantrel/;
//   5. the current directory.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lantrel::detail {

inline constexpr const char* kDataFileName = "lantrel.bin";

/// True when an entry named lantrel.bin exists in `folder` (which ends in '/').
bool FileExistsIn(const std::string& folder);
/// The first candidate folder holding the file, with its trailing '/', or "" if none does.
std::string DefaultDataPath();

/// Whether the library code runs from the shared library or linked into the program.
enum class ModuleKind { SharedLibrary, Program };

/// The file that holds the library code: its folder (ending in '/', "" when unknown) and kind.
struct ModuleLocation {
  std::string folder;
  ModuleKind kind = ModuleKind::Program;
};

/// The data folder of the installed tree that holds `module`: its folder followed by the
/// install layout's path from the library folder (for a shared library) or from the program
/// folder (for a program) to <datadir>/lantrel, shortened and ending in '/'; "" when the
/// module folder is unknown.
std::string InstallFolderOf(const ModuleLocation& module);

/// `folder` with '/' appended unless it already ends in one ("" becomes "/").
std::string WithSeparator(std::string_view folder);

/// The folders of the search PATH that are tried, in order: only entries followed by ':'.
std::vector<std::string> PathEntries(std::string_view value);

/// The places the search visits. Empty strings and empty optionals are skipped.
struct SearchPlaces {
  std::string moduleFolder;                      // step 1
  std::optional<std::string> installFolder;      // step 2, absent when unknown
  std::string configuredFolder;                  // step 2, the configured prefix's data folder
  std::string systemFolder;                      // step 2, second candidate
  std::string system32Folder;                    // step 2, third candidate
  std::optional<std::string> pathValue;          // step 3, absent when PATH is unset
  std::string applicationFolder;                 // step 4
  std::function<std::string()> currentFolder;    // step 5, asked only when reached
};

/// The places of this process: module folder, installed folders, PATH, current directory.
SearchPlaces ProcessSearchPlaces();

/// Tests the candidates of `places` in order with `exists` and returns the first that passes,
/// exactly as tested, or "".
std::string FirstDataFolder(const SearchPlaces& places,
                            const std::function<bool(const std::string&)>& exists);

}  // namespace lantrel::detail
