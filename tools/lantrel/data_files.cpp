#include "data_files.hpp"

#include <sys/stat.h>

namespace lantrel::cli {

std::vector<std::string> DataSearchFolders() {
  // TODO(refdata): the library's search list.
  return {};
}

std::optional<std::string> FindDataFile() {
  for (const auto& folder : DataSearchFolders()) {
    const std::string path = folder + kDataFileName;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return path;
  }
  return std::nullopt;
}

std::string FolderList(const std::vector<std::string>& folders) {
  std::string list;
  for (const auto& f : folders) list += (list.empty() ? "" : ", ") + f;
  return list.empty() ? "(no folders)" : list;
}

}  // namespace lantrel::cli
