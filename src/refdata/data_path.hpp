// Where the reference data file is sought.
#pragma once

#include <string>

namespace lantrel::detail {

inline constexpr const char* kDataFileName = "lantrel.bin";

/// True when an entry named lantrel.bin exists in `folder` (which ends in '/').
bool FileExistsIn(const std::string& folder);
/// The first candidate folder holding the file, with its trailing '/', or "" if none does.
std::string DefaultDataPath();

}  // namespace lantrel::detail
