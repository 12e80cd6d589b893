// The tool's commands. Each returns the process exit status: 0 success, 1 when a point or the
// job failed, 2 for a wrong command line (raised as UsageError and turned into 2 by main).
// Each command's options are declared once, by its *CommandLine function, which both parses
// the arguments and writes the command's --help.
#pragma once

#include <string>
#include <vector>

#include "command_line.hpp"

namespace lantrel::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

CommandLine ConvertCommandLine();
CommandLine LocateCommandLine();

/// convert and locate on text input (plain lines or CSV); RunVectorConvert and
/// RunVectorLocate take the same command lines for vector files.
int RunConvert(const CommandLine& commandLine);
int RunLocate(const CommandLine& commandLine);
/// Parses the arguments and runs the text form of convert (or prints its help).
int RunConvert(const std::vector<std::string>& args);

int RunInfo(const std::vector<std::string>& args);
int RunSystems(const std::vector<std::string>& args);
int RunMap(const std::vector<std::string>& args);
int RunServe(const std::vector<std::string>& args);

}  // namespace lantrel::cli
