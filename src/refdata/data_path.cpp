#include "refdata/data_path.hpp"

namespace lantrel::detail {
bool FileExistsIn(const std::string&) { return false; }
std::string DefaultDataPath() { return {}; }
}  // namespace lantrel::detail
