#include "serve/job_progress.hpp"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace lantrel::cli::serve {

double ReadShare(pid_t pid, const std::vector<std::string>& inputs) {
  namespace fs = std::filesystem;
  double share = 0.0;
  try {
    const fs::path proc = fs::path("/proc") / std::to_string(pid);
    std::error_code ec;
    for (fs::directory_iterator it(proc / "fd", ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path target = fs::read_symlink(it->path(), ec);
      if (ec) {
        ec.clear();
        continue;
      }
      if (std::find(inputs.begin(), inputs.end(), target.string()) == inputs.end()) continue;
      const auto size = fs::file_size(target, ec);
      if (ec || size == 0) {
        ec.clear();
        continue;
      }
      std::ifstream info(proc / "fdinfo" / it->path().filename());
      std::string line;
      while (std::getline(info, line)) {
        constexpr std::string_view kPos = "pos:";
        if (line.compare(0, kPos.size(), kPos) != 0) continue;
        const auto digits = line.find_first_not_of(" \t", kPos.size());
        unsigned long long pos = 0;
        if (digits != std::string::npos) std::from_chars(line.data() + digits, line.data() + line.size(), pos);
        share = std::max(share, std::min(1.0, static_cast<double>(pos) / static_cast<double>(size)));
        break;
      }
    }
  } catch (...) {
    // The process went away while being looked at: no share to report.
  }
  return share;
}

}  // namespace lantrel::cli::serve
