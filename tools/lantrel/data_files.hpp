// Where the library looks for its reference data file, as the tool reports it (the library
// answers; the tool only formats).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lantrel::cli {

inline constexpr const char* kDataFileName = "lantrel.bin";

/// The folders searched for lantrel.bin, in the library's order, each listed once.
std::vector<std::string> DataSearchFolders();
/// The first of those folders that holds the file, as a path to the file.
std::optional<std::string> FindDataFile();
/// "a, b, c" for messages.
std::string FolderList(const std::vector<std::string>& folders);

}  // namespace lantrel::cli
