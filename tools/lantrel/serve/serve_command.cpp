// lantrel serve: the JSON API and the page on one address, until SIGINT or SIGTERM.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "commands.hpp"
#include "help.hpp"
#include "io.hpp"
#include "numbers.hpp"
#include "options.hpp"
#include "serve/api.hpp"
#include "serve/http_server.hpp"

#ifndef LANTREL_WEB_SOURCE_DIR
#define LANTREL_WEB_SOURCE_DIR ""
#endif

namespace lantrel::cli {

namespace {

std::size_t SizeOption(const char* option, const std::string& text, double max) {
  const auto v = ParseNumber(text);
  if (!v || *v < 1.0 || *v > max || *v != static_cast<double>(static_cast<std::size_t>(*v))) {
    throw UsageError(std::string("--") + option + ": '" + text + "' is not a whole number from 1 to " +
                     std::to_string(static_cast<unsigned long long>(max)));
  }
  return static_cast<std::size_t>(*v);
}

// The page's folder: beside the installed program (PREFIX/share/lantrel/web), else the
// source tree's when run from a build tree.
std::string FindWebDir() {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const fs::path installed = exe.parent_path().parent_path() / "share" / "lantrel" / "web";
    if (fs::is_regular_file(installed / "index.html", ec)) return installed.string();
  }
  const fs::path source = LANTREL_WEB_SOURCE_DIR;
  if (!source.empty() && fs::is_regular_file(source / "index.html", ec)) return source.string();
  return {};
}

}  // namespace

int RunServe(const std::vector<std::string>& args) {
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") {
      PrintHelp(HelpTopic::Serve);
      return kExitOk;
    }
  }
  const Options o(args, {{"host", 0, true},
                         {"port", 0, true},
                         {"data", 0, true},
                         {"threads", 0, true},
                         {"max-points", 0, true},
                         {"max-body", 0, true},
                         {"cors", 0, true},
                         {"tiles", 0, true},
                         {"web", 0, true},
                         {"help", 'h', false}});
  if (!o.operands().empty()) throw UsageError("serve takes no operands");
  serve::Settings s;
  if (const auto v = o.Value("host")) s.host = *v;
  if (const auto v = o.Value("port")) s.port = IntOption("port", *v, 0, 65535);
  s.dataDir = o.Value("data");
  if (const auto v = o.Value("threads")) s.threads = IntOption("threads", *v, 1, 4096);
  if (const auto v = o.Value("max-points")) s.maxPoints = SizeOption("max-points", *v, 1e9);
  if (const auto v = o.Value("max-body")) s.maxBody = SizeOption("max-body", *v, 1e12);
  if (const auto v = o.Value("cors")) s.cors = *v;
  if (const auto v = o.Value("tiles")) {
    if (v->rfind("http://", 0) != 0 && v->rfind("https://", 0) != 0) {
      throw UsageError("--tiles: the tile URL must start with http:// or https://");
    }
    s.tiles = *v;
  }
  s.webDir = o.Value("web").value_or(FindWebDir());
  if (s.webDir.empty()) ErrorLine("lantrel: warning: the page's files were not found; serving the API only\n");
  const serve::Api api(s);
  if (!api.context().data) {
    ErrorLine("lantrel: warning: no reference data file; counties, quadrangles and locate are not served\n");
  }
  const bool ok = serve::Serve(api, [](const std::string& url) {
    OutputSink out(STDOUT_FILENO, 256);
    out.Write("lantrel: serving " + url + "\n");
    out.Flush();
  });
  if (!ok) {
    ErrorLine("lantrel: cannot listen on " + s.host + ":" + std::to_string(s.port) + "\n");
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace lantrel::cli
