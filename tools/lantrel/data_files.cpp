#include "data_files.hpp"

#include <utility>

#include "lantrel/data_file.hpp"

namespace lantrel::cli {

std::vector<std::string> DataSearchFolders() {
  // A folder met twice is searched once as far as anyone can tell: list it once.
  std::vector<std::string> unique;
  for (auto& f : lantrel::DataSearchFolders()) {
    bool seen = false;
    for (const auto& u : unique) seen = seen || u == f;
    if (!seen) unique.push_back(std::move(f));
  }
  return unique;
}

std::optional<std::string> FindDataFile() {
  std::string file = lantrel::DefaultDataFile();
  if (file.empty()) return std::nullopt;
  return file;
}

std::string FolderList(const std::vector<std::string>& folders) {
  std::string list;
  for (const auto& f : folders) list += (list.empty() ? "" : ", ") + f;
  return list.empty() ? "(no folders)" : list;
}

}  // namespace lantrel::cli
