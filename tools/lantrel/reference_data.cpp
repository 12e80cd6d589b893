#include "reference_data.hpp"

#include "data_files.hpp"
#include "io.hpp"
#include "lantrel/quoted_text.hpp"
#include "point_converter.hpp"

namespace lantrel::cli {

bool LoadReferenceData(ZrGeoPosition& p, const std::optional<std::string>& dataDir, bool verbose) {
  std::string inUse;
  if (dataDir) {
    std::string folder = *dataDir;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    const std::string wanted = folder + kDataFileName;
    const auto found = FindDataFile();
    if (p.DataLoaded()) {
      if (found && *found != wanted) {
        ErrorLine("lantrel: warning: --data " + ShownName(*dataDir) +
                  " ignored: the library already loaded " + ShownName(*found) + "\n");
      }
      inUse = found ? *found : "loaded";
    } else {
      bool loaded = false;
      try {
        loaded = p.SetPath(*dataDir);
      } catch (const Error& e) {
        ErrorLine("lantrel: cannot read " + ShownName(wanted) + ": " + DescribeLibraryError(e) + "\n");
        return false;
      }
      if (!loaded) {
        ErrorLine("lantrel: no reference data file " + ShownName(wanted) + "\n");
        return false;
      }
      inUse = wanted;
    }
  } else if (p.DataLoaded()) {
    const auto found = FindDataFile();
    inUse = found ? *found : "loaded";
  } else {
    ErrorLine(std::string("lantrel: the reference data file ") + kDataFileName +
              " was not found; searched: " + FolderList(DataSearchFolders()) +
              ". Put it in one of those folders or name its folder with --data DIR.\n");
    return false;
  }
  if (verbose) ErrorLine("lantrel: data file: " + ShownName(inUse) + "\n");
  return true;
}

}  // namespace lantrel::cli
