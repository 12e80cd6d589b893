#include "serve_module.hpp"

#include "io.hpp"
#include "module_loader.hpp"

namespace lantrel::cli {

const ServeModule& Serve() {
  static const ServeModule* const module = [] {
    const char* what = "the serve module";
    const auto* m = static_cast<const ServeModule*>(ModuleEntry(kServeModuleFile, kServeModuleEntry, what));
    if (m->interface != kServeModuleInterface) {
      throw IoError(std::string(what) + " " + ModuleFolder() + "/" + kServeModuleFile +
                    " belongs to another build of lantrel");
    }
    return m;
  }();
  return *module;
}

}  // namespace lantrel::cli
