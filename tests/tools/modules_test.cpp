// The program opens its vector file and serve modules only for the jobs that need them: other
// commands load neither GDAL nor the HTTP library, and a missing or broken module costs only
// its own jobs, with a message naming it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "tool_runner.hpp"

namespace lantrel::testing {
namespace {

namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

const fs::path kModules = LANTREL_MODULE_BUILD_DIR;

// LD_DEBUG=files names every object the dynamic linker opens, dlopen'ed ones included.
TEST(Modules, TextJobsLoadNoHeavyLibrary) {
  const std::string points = WriteFile("modules_points.txt", "-84.8733 38.2009\n");
  const std::vector<std::vector<std::string>> jobs = {
      {"convert", "--from", "geo", "--to", "north", "--precision", "3", points},
      {"locate", points},
      {"info"},
      {"--help"},
      {"convert", "--help"},
  };
  for (const auto& args : jobs) {
    const RunResult r = RunTool(RunRequest{args, "", {{"LD_DEBUG", "files"}}, {}, {}, 0});
    EXPECT_TRUE(Contains(r.err, "libstdc++")) << args.front() << ": LD_DEBUG said nothing";
    for (const char* heavy : {"libgdal", "httplib", "vector.so", "serve.so"}) {
      EXPECT_FALSE(Contains(r.err, heavy)) << args.front() << " " << args.back() << " loaded " << heavy;
    }
  }
  // The control: a vector job does open its module.
  const std::string csv = WriteFile("modules_points.csv", "x,y\n-84.8733,38.2009\n");
  const std::string out = ScratchDir() + "/modules_control.geojson";
  fs::remove(out);
  const RunResult r = RunTool(RunRequest{{"convert", "--from", "geo", "--to", "north", "-o", out, csv},
                                         "", {{"LD_DEBUG", "files"}}, {}, {}, 0});
  EXPECT_TRUE(Contains(r.err, (kModules / "vector.so").string())) << r.err.substr(0, 2000);
}

// A copy of the program in a tree of its own, with the module absent or not a shared object.
TEST(Modules, MissingOrBrokenModuleFailsOnlyItsJobsWithItsName) {
  const fs::path root = fs::path(ScratchDir()) / "modules_tree";
  const fs::path program = root / "bin" / "lantrel";
  const fs::path folder = (program.parent_path() /
                           fs::path(kModules).lexically_relative(fs::path(ToolPath()).parent_path()))
                              .lexically_normal();
  fs::create_directories(program.parent_path());
  fs::copy_file(ToolPath(), program, fs::copy_options::overwrite_existing);
  const std::string csv = WriteFile("modules_job.csv", "x,y\n-84.8733,38.2009\n");
  const std::string gpkg = ScratchDir() + "/modules_job.gpkg";
  const std::string layer = WriteFile("modules_layer.gpkg", "not read");
  const bool served = kServeBuilt;
  struct Case {
    const char* module;
    std::optional<std::string> content;  // absent when none
    std::vector<std::string> args;
    std::string err;  // what standard error must hold after "lantrel: "
  } cases[] = {
      {"vector.so", std::nullopt, {"convert", "--from", "geo", "--to", "north", "-o", gpkg, csv},
       "the vector file module " + (folder / "vector.so").string() + " is missing"},
      {"vector.so", "not a module", {"locate", "-o", gpkg, csv},
       "cannot load the vector file module " + (folder / "vector.so").string() + ": "},
      {"vector.so", std::nullopt, {"map", "-o", "-", "--data", fs::path(ToolPath()).parent_path().string(), "--from", "north", layer},
       "the vector file module " + (folder / "vector.so").string() + " is missing"},
      {"serve.so", std::nullopt, {"serve", "--help"},
       "the serve module " + (folder / "serve.so").string() + " is missing"},
  };
  for (const auto& c : cases) {
    if (std::string(c.module) == "serve.so" && !served) continue;
    fs::remove_all(folder);
    if (c.content) {
      fs::create_directories(folder);
      std::ofstream(folder / c.module) << *c.content;
    }
    fs::remove(gpkg);
    const RunResult r = RunTool(RunRequest{c.args, "", {}, {}, program.string(), 0});
    EXPECT_EQ(r.status, 1) << c.args.front() << ": " << r.err;
    EXPECT_TRUE(Contains(r.err, "lantrel: " + c.err)) << r.err;
    EXPECT_FALSE(fs::exists(gpkg));
    // Text jobs run as ever.
    const RunResult text = RunTool(RunRequest{{"convert", "--from", "geo", "--to", "north", "--precision", "3"},
                                              "-84.8733 38.2009\n", {}, {}, program.string(), 0});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out, "1461301.588 255846.547\n");
  }
}

}  // namespace
}  // namespace lantrel::testing
