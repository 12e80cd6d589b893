#include "refdata/data_path.hpp"

#include "lantrel/data_file.hpp"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <utility>

namespace lantrel::detail {

namespace {

// Where an installed tree keeps the data file, relative to the folder of the library and to
// the folder of a program that has the library linked in (set by the build from the install
// folders; "../share/lantrel" for the usual layout).
#ifdef LANTREL_LIBDIR_TO_DATA
constexpr const char* kLibraryToData = LANTREL_LIBDIR_TO_DATA;
#else
constexpr const char* kLibraryToData = "../share/lantrel";
#endif
#ifdef LANTREL_BINDIR_TO_DATA
constexpr const char* kProgramToData = LANTREL_BINDIR_TO_DATA;
#else
constexpr const char* kProgramToData = "../share/lantrel";
#endif
// The data folder of the prefix the build was configured for (CMAKE_INSTALL_PREFIX).
#ifdef LANTREL_CONFIGURED_DATA_FOLDER
constexpr const char* kConfiguredData = LANTREL_CONFIGURED_DATA_FOLDER;
#else
constexpr const char* kConfiguredData = "";
#endif

std::string FolderOf(const std::string& file) {
  const auto slash = file.rfind('/');
  return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

std::string ExecutableFile() {
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(n));
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// The folder of the shared library that holds this function, or of the program when the
// library is linked in statically. The answer cannot change while the process runs.
ModuleLocation ComputeModuleLocation() {
  Dl_info info{};
  link_map* map = nullptr;
  if (::dladdr1(reinterpret_cast<void*>(&ComputeModuleLocation), &info,
                reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 ||
      map == nullptr) {
    return {FolderOf(ExecutableFile()), ModuleKind::Program};
  }
  // The main program's link map has an empty name.
  if (map->l_name == nullptr || map->l_name[0] == '\0') {
    return {FolderOf(ExecutableFile()), ModuleKind::Program};
  }
  std::string file = map->l_name;
  if (char* resolved = ::realpath(file.c_str(), nullptr)) {
    file = resolved;
    std::free(resolved);
  }
  return {FolderOf(file), ModuleKind::SharedLibrary};
}

const ModuleLocation& Module() {
  static const ModuleLocation module = ComputeModuleLocation();
  return module;
}

std::string CurrentFolder() {
  std::string buffer(256, '\0');
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
      buffer.resize(std::char_traits<char>::length(buffer.c_str()));
      return WithSeparator(buffer);
    }
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::string InstallFolderOf(const ModuleLocation& module) {
  if (module.folder.empty()) return {};
  const char* relative =
      module.kind == ModuleKind::SharedLibrary ? kLibraryToData : kProgramToData;
  // The module folder is absolute and free of symbolic links, so "lib/../share" may be
  // shortened to "share" without changing which folder is meant.
  const std::filesystem::path folder =
      (std::filesystem::path(module.folder) / relative).lexically_normal();
  return WithSeparator(folder.string());
}

std::string WithSeparator(std::string_view folder) {
  std::string result(folder);
  if (result.empty() || result.back() != '/') result += '/';
  return result;
}

std::vector<std::string> PathEntries(std::string_view value) {
  std::vector<std::string> entries;
  std::size_t start = 0;
  for (;;) {
    const auto separator = value.find(':', start);
    if (separator == std::string_view::npos) break;
    entries.push_back(WithSeparator(value.substr(start, separator - start)));
    start = separator + 1;
  }
  return entries;
}

bool FileExistsIn(const std::string& folder) {
  if (folder.empty()) return false;
  struct stat status {};
  return ::stat((folder + kDataFileName).c_str(), &status) == 0;
}

SearchPlaces ProcessSearchPlaces() {
  SearchPlaces places;
  const ModuleLocation& module = Module();
  places.moduleFolder = module.folder;
  if (std::string install = InstallFolderOf(module); !install.empty()) {
    places.installFolder = std::move(install);
  }
  places.systemFolder = "/usr/local/share/lantrel/";
  places.system32Folder = "/usr/share/lantrel/";
  // Listed once: the usual prefixes are tried as the system folders anyway.
  if (const std::string configured = WithSeparator(kConfiguredData);
      *kConfiguredData != '\0' && configured != places.systemFolder && configured != places.system32Folder &&
      (!places.installFolder || configured != *places.installFolder)) {
    places.configuredFolder = configured;
  }
  if (const char* path = std::getenv("PATH")) places.pathValue = path;
  places.applicationFolder = "/opt/lantrel/";
  places.currentFolder = CurrentFolder;
  return places;
}

std::string FirstDataFolder(const SearchPlaces& places,
                            const std::function<bool(const std::string&)>& exists) {
  const auto passes = [&](const std::string& folder) { return !folder.empty() && exists(folder); };
  if (passes(places.moduleFolder)) return places.moduleFolder;
  if (places.installFolder) {
    const std::string w = WithSeparator(*places.installFolder);
    for (const std::string* candidate :
         {&w, &places.configuredFolder, &places.systemFolder, &places.system32Folder}) {
      if (passes(*candidate)) return *candidate;
    }
  }
  if (places.pathValue && !places.pathValue->empty()) {
    for (const auto& entry : PathEntries(*places.pathValue)) {
      if (passes(entry)) return entry;
    }
  }
  if (passes(places.applicationFolder)) return places.applicationFolder;
  if (places.currentFolder) {
    const std::string current = places.currentFolder();
    if (passes(current)) return current;
  }
  return {};
}

std::string DefaultDataPath() { return FirstDataFolder(ProcessSearchPlaces(), FileExistsIn); }

}  // namespace lantrel::detail

namespace lantrel {

std::vector<std::string> DataSearchFolders() {
  // Walk the same search, recording every folder it would test.
  std::vector<std::string> folders;
  detail::FirstDataFolder(detail::ProcessSearchPlaces(), [&](const std::string& folder) {
    folders.push_back(folder);
    return false;
  });
  return folders;
}

std::string DefaultDataFile() {
  const std::string folder = detail::DefaultDataPath();
  return folder.empty() ? std::string() : folder + detail::kDataFileName;
}

}  // namespace lantrel
