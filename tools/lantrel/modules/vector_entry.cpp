// The entry table of the vector file module (see vector_module.hpp). Everything else the
// module calls (the tool's code and the library) is the program's own, which exports it.
#include "vector_command.hpp"
#include "vector_module.hpp"

extern "C" __attribute__((visibility("default")))
const lantrel::cli::VectorModule lantrel_vector_module = {
    lantrel::cli::kVectorModuleInterface,
    lantrel::cli::RunVectorConvert,
    lantrel::cli::RunVectorLocate,
    lantrel::cli::ReadFeaturePoints,
};
