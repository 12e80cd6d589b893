/// \file
/// lantrel — where a new position looks for the reference data file lantrel.bin.
#pragma once

#include <string>
#include <vector>

namespace lantrel {

/// The folders a new ZrGeoPosition searches for lantrel.bin, in the order it tries them; each
/// ends in '/'. The first one that holds the file is the one loaded. Any thread; throws only
/// std::bad_alloc.
std::vector<std::string> DataSearchFolders();

/// Full name of the data file a new ZrGeoPosition would load, or "" when no folder holds one.
/// Any thread; throws only std::bad_alloc.
std::string DefaultDataFile();

}  // namespace lantrel
