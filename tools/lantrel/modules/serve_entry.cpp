// The entry table of the serve module (see serve_module.hpp). Everything else the module
// calls (the tool's code and the library) is the program's own, which exports it.
#include "commands.hpp"
#include "serve_module.hpp"

extern "C" __attribute__((visibility("default")))
const lantrel::cli::ServeModule lantrel_serve_module = {
    lantrel::cli::kServeModuleInterface,
    lantrel::cli::RunServe,
};
