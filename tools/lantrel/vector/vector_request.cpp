#include "vector_request.hpp"

#include "vector_format.hpp"

namespace lantrel::cli {

bool WantsVectorFiles(const CommandLine& o) {
  if (o.Has("output") || o.Has("format")) return true;
  for (const auto& file : o.operands()) {
    if (IsGeometryFilePath(file)) return true;
  }
  return false;
}

}  // namespace lantrel::cli
