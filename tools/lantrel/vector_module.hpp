// The vector file module (vector.so): convert and locate on vector files, and the features
// map reads from them, all through GDAL. The program opens it on the first vector job.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "command_line.hpp"
#include "vector/feature_records.hpp"

namespace lantrel::cli {

struct VectorModule {
  unsigned interface;  // kVectorModuleInterface of the build that made the module
  int (*runConvert)(const CommandLine& commandLine);
  int (*runLocate)(const CommandLine& commandLine);
  void (*readFeaturePoints)(const FeatureInput& input, const std::optional<std::string>& labelField,
                            const std::function<PointConverter&(const System&)>& converterFor,
                            const std::function<bool(FeaturePoint&)>& each);
};

/// Changes whenever VectorModule does.
inline constexpr unsigned kVectorModuleInterface = 1;
inline constexpr char kVectorModuleFile[] = "vector.so";
inline constexpr char kVectorModuleEntry[] = "lantrel_vector_module";

/// The module's functions, opening it on first use; IoError when it cannot be loaded.
const VectorModule& Vector();

}  // namespace lantrel::cli
