#include "vector_module.hpp"

#include "io.hpp"
#include "module_loader.hpp"

namespace lantrel::cli {

const VectorModule& Vector() {
  static const VectorModule* const module = [] {
    const char* what = "the vector file module";
    const auto* m = static_cast<const VectorModule*>(ModuleEntry(kVectorModuleFile, kVectorModuleEntry, what));
    if (m->interface != kVectorModuleInterface) {
      throw IoError(std::string(what) + " " + ModuleFolder() + "/" + kVectorModuleFile +
                    " belongs to another build of lantrel");
    }
    return m;
  }();
  return *module;
}

}  // namespace lantrel::cli
