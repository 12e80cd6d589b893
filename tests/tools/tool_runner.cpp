#include "tool_runner.hpp"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "lantrel/lantrel.hpp"

namespace lantrel::testing {

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Scratch {
  std::string dir;
  Scratch() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/lantrel-cli-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir = pattern;
  }
  ~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

}  // namespace

const std::string& ScratchDir() {
  static Scratch scratch;
  return scratch.dir;
}

std::string WriteFile(const std::string& name, const std::string& text) {
  const std::string path = ScratchDir() + "/" + name;
  std::ofstream out(path, std::ios::binary);
  out << text;
  return path;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto nl = text.find('\n', start);
    if (nl == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  return lines;
}

std::string ToolPath() { return std::string(LANTREL_BINARY_DIR) + "/bin/lantrel"; }

RunResult RunTool(const RunRequest& request) {
  static int counter = 0;
  const std::string base = ScratchDir() + "/run" + std::to_string(++counter);
  const std::string inPath = WriteFile("run" + std::to_string(counter) + ".in", request.input);
  const std::string outPath = base + ".out";
  const std::string errPath = base + ".err";
  const std::string program = request.program.empty() ? ToolPath() : request.program;

  std::vector<std::string> argStore;
  argStore.push_back(program);
  argStore.insert(argStore.end(), request.args.begin(), request.args.end());
  std::vector<char*> argv;
  for (auto& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int in = open(inPath.c_str(), O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    for (const auto& [k, v] : request.env) setenv(k.c_str(), v.c_str(), 1);
    if (!request.cwd.empty() && chdir(request.cwd.c_str()) != 0) _exit(126);
    if (request.fileSizeLimit > 0) {
      const rlimit limit{static_cast<rlim_t>(request.fileSizeLimit), static_cast<rlim_t>(request.fileSizeLimit)};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
    }
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  RunResult r;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out = ReadAll(outPath);
  r.err = ReadAll(errPath);
  return r;
}

bool LibraryProjects() {
  static const bool ok = [] {
    try {
      ZrGeoPosition p;
      p.x(84.5);
      p.y(37.5);
      return p.ConvertTo(zrGeoDatum::zrNAD83, zrGeoProjection::zrNorthZone, zrGeoUnits::zrUSFt) ==
                 0 &&
             p.ConvertTo(zrGeoDatum::zrNAD83, zrGeoProjection::zrUTM16, zrGeoUnits::zrMeters) == 0;
    } catch (const Error&) {
      return false;
    }
  }();
  return ok;
}

bool LibraryShiftsDatum() {
  static const bool ok = [] {
    try {
      ZrGeoPosition p;
      p.Datum(zrGeoDatum::zrNAD27);
      p.x(84.5);
      p.y(37.5);
      return p.ConvertTo(zrGeoDatum::zrNAD83, zrGeoProjection::zrGeographic,
                         zrGeoUnits::zrDecimalDegrees) == 0 &&
             p.x() != 84.5;
    } catch (const Error&) {
      return false;
    }
  }();
  return ok;
}

bool LibraryHasData() {
  static const bool ok = [] {
    try {
      ZrGeoPosition p;
      return p.DataLoaded();
    } catch (const Error&) {
      return false;
    }
  }();
  return ok;
}

}  // namespace lantrel::testing
