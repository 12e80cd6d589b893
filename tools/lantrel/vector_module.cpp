#include "vector_module.hpp"

#include "module_loader.hpp"

namespace lantrel::cli {

const VectorModule& Vector() {
  static const VectorModule& module = ModuleTable<VectorModule>(
      kVectorModuleFile, kVectorModuleEntry, "the vector file module", kVectorModuleInterface);
  return module;
}

}  // namespace lantrel::cli
