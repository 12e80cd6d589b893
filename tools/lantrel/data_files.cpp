#include "data_files.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace lantrel::cli {

namespace {

#ifdef LANTREL_INSTALL_DATADIR
constexpr const char* kInstallFolder = LANTREL_INSTALL_DATADIR;
#else
constexpr const char* kInstallFolder = "";
#endif

std::string WithSlash(std::string_view folder) {
  std::string s(folder);
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

// The folder of this program: the library is linked in statically, so the library's own
// "folder of the component" is the program's folder.
std::string ProgramFolder() {
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(n));
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  const auto slash = buffer.rfind('/');
  return slash == std::string::npos ? std::string() : buffer.substr(0, slash + 1);
}

std::string CurrentFolder() {
  std::string buffer(256, '\0');
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
      buffer.resize(std::char_traits<char>::length(buffer.c_str()));
      return WithSlash(buffer);
    }
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

// The library's search order (docs/refdata.md): the program's folder; the installed data
// folder, /usr/local/share/lantrel/, /usr/share/lantrel/; the PATH entries that are followed
// by a ':' (an empty entry meaning "/"); /opt/lantrel/; the current directory.
std::vector<std::string> DataSearchFolders() {
  std::vector<std::string> folders;
  if (auto program = ProgramFolder(); !program.empty()) folders.push_back(program);
  if (kInstallFolder[0] != '\0') folders.push_back(WithSlash(kInstallFolder));
  folders.emplace_back("/usr/local/share/lantrel/");
  folders.emplace_back("/usr/share/lantrel/");
  if (const char* path = std::getenv("PATH")) {
    const std::string_view value = path;
    std::size_t start = 0;
    for (auto colon = value.find(':'); colon != std::string_view::npos;
         colon = value.find(':', start)) {
      folders.push_back(WithSlash(value.substr(start, colon - start)));
      start = colon + 1;
    }
  }
  folders.emplace_back("/opt/lantrel/");
  if (auto current = CurrentFolder(); !current.empty()) folders.push_back(current);
  // A folder met twice is searched once as far as anyone can tell: list it once.
  std::vector<std::string> unique;
  for (auto& f : folders) {
    bool seen = false;
    for (const auto& u : unique) seen = seen || u == f;
    if (!seen) unique.push_back(std::move(f));
  }
  return unique;
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
