// The tool's commands. Each returns the process exit status: 0 success, 1 when a point or the
// job failed, 2 for a wrong command line (raised as UsageError and turned into 2 by main).
#pragma once

#include <string>
#include <vector>

namespace lantrel::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

int RunConvert(const std::vector<std::string>& args);
int RunLocate(const std::vector<std::string>& args);
int RunInfo(const std::vector<std::string>& args);
int RunSystems(const std::vector<std::string>& args);
int RunMap(const std::vector<std::string>& args);
int RunServe(const std::vector<std::string>& args);

}  // namespace lantrel::cli
