// The serve module (serve.so): lantrel serve over the HTTP library. The program opens it only
// for that command.
#pragma once

#include <string>
#include <vector>

namespace lantrel::cli {

struct ServeModule {
  unsigned interface;  // kServeModuleInterface of the build that made the module
  int (*run)(const std::vector<std::string>& args);
};

/// Changes whenever ServeModule does.
inline constexpr unsigned kServeModuleInterface = 1;
inline constexpr char kServeModuleFile[] = "serve.so";
inline constexpr char kServeModuleEntry[] = "lantrel_serve_module";

/// The module's functions, opening it on first use; IoError when it cannot be loaded.
const ServeModule& Serve();

}  // namespace lantrel::cli
