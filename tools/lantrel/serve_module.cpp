#include "serve_module.hpp"

#include "module_loader.hpp"

namespace lantrel::cli {

const ServeModule& Serve() {
  static const ServeModule& module = ModuleTable<ServeModule>(
      kServeModuleFile, kServeModuleEntry, "the serve module", kServeModuleInterface);
  return module;
}

}  // namespace lantrel::cli
