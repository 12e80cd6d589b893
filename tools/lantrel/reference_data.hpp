// Loading the reference data file for the commands that look points up.
#pragma once

#include <optional>
#include <string>

#include "lantrel/lantrel.hpp"

namespace lantrel::cli {

/// Makes sure the position has its reference data: the file the library found, or the one in
/// dataDir (--data) when it found none. Says on standard error which file is in use (verbose)
/// or, when there is none, which folders were searched; false then.
bool LoadReferenceData(ZrGeoPosition& position, const std::optional<std::string>& dataDir,
                       bool verbose);

}  // namespace lantrel::cli
