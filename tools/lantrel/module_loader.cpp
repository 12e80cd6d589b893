#include "module_loader.hpp"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "io.hpp"

#ifndef LANTREL_MODULE_DIR
#define LANTREL_MODULE_DIR "../lib/lantrel"
#endif

namespace lantrel::cli {

std::string ModuleFolder() {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return LANTREL_MODULE_DIR;
  return (exe.parent_path() / LANTREL_MODULE_DIR).lexically_normal().string();
}

const void* ModuleEntry(const std::string& file, const char* symbol, const char* what) {
  const std::string path = ModuleFolder() + "/" + file;
  // Opened for the life of the process: the tool calls into it until it exits.
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
      throw IoError(std::string(what) + " " + path + " is missing: this installation of lantrel is incomplete");
    }
    const char* why = ::dlerror();
    throw IoError(std::string("cannot load ") + what + " " + path + ": " + (why ? why : "unknown error"));
  }
  ::dlerror();
  const void* entry = ::dlsym(handle, symbol);
  if (entry == nullptr) {
    throw IoError(std::string(what) + " " + path + " does not belong to this lantrel (it has no " +
                  symbol + ")");
  }
  return entry;
}

void ForeignModule(const std::string& file, const char* what) {
  throw IoError(std::string(what) + " " + ModuleFolder() + "/" + file +
                " belongs to another build of lantrel");
}

}  // namespace lantrel::cli
