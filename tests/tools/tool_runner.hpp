// Runs the built lantrel program with given arguments, standard input and environment, and
// collects its exit status and both output streams.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace lantrel::testing {

struct RunResult {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
};

struct RunRequest {
  std::vector<std::string> args;
  std::string input;
  std::vector<std::pair<std::string, std::string>> env;  // added to the inherited environment
  std::string cwd;                                       // empty: inherit
  std::string program;                                   // empty: the built lantrel
  long long fileSizeLimit = 0;                           // RLIMIT_FSIZE in bytes; 0: none
};

RunResult RunTool(const RunRequest& request);
inline RunResult RunTool(std::vector<std::string> args, std::string input = {}) {
  return RunTool(RunRequest{std::move(args), std::move(input), {}, {}, {}, 0});
}

/// A fresh folder for this test program's files (removed at exit).
const std::string& ScratchDir();
/// Writes a file under ScratchDir() and returns its path.
std::string WriteFile(const std::string& name, const std::string& text);

/// Lines of a text (the last line feed does not start an empty line).
std::vector<std::string> Lines(const std::string& text);

/// The built program.
std::string ToolPath();

/// Whether the built program has `lantrel serve` (whatever serve.so an earlier configuration
/// left in the tree).
#ifdef LANTREL_HAVE_SERVE
inline constexpr bool kServeBuilt = true;
#else
inline constexpr bool kServeBuilt = false;
#endif

// Capabilities of the library this build carries, probed in-process: end-to-end tests whose
// results depend on them fail early, naming the part, when one is missing (the data file is
// built from data/ in every build).
bool LibraryProjects();
bool LibraryShiftsDatum();
bool LibraryHasData();

}  // namespace lantrel::testing

#define LANTREL_REQUIRE(capability, what)                                  \
  do {                                                                     \
    if (!(capability)) FAIL() << what << " not available in this build";   \
  } while (0)
