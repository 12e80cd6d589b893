// lantrel serve: the JSON API and the page on one address, until SIGINT or SIGTERM.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "command_line.hpp"
#include "commands.hpp"
#include "io.hpp"
#include "lantrel/number_text.hpp"
#include "serve/api.hpp"
#include "serve/http_server.hpp"

#ifndef LANTREL_WEB_SOURCE_DIR
#define LANTREL_WEB_SOURCE_DIR ""
#endif

namespace lantrel::cli {

namespace {

std::size_t SizeOption(const char* option, const std::string& text, double max) {
  const auto v = ParseDecimal(text);
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

CommandLine ServeCommandLine() {
  CommandLine c("serve",
      "usage: lantrel serve [--host ADDRESS] [--port N] [OPTIONS]\n"
      "\n"
      "Serves the JSON API under /api/v1 (point, convert, locate, layers; its OpenAPI document at\n"
      "/api/v1/openapi.json), /healthz, /metrics and the interactive page at /. Prints the URL it\n"
      "serves; stops on SIGINT or SIGTERM once the requests in flight are answered.\n"
      "\n",
      "Examples:\n"
      "  lantrel serve\n"
      "  lantrel serve --host 0.0.0.0 --port 8000 --tiles 'https://tile.openstreetmap.org/{z}/{x}/{y}.png'\n"
      "  curl 'http://127.0.0.1:8080/api/v1/point?text=-84.8733%2038.2009'\n");
  c.Option("--host", "ADDRESS",
           "address to listen on (default 127.0.0.1: this machine only)");
  c.Option("--port", "N",
           "port (default 8080; 0 picks a free one)");
  c.Option("--data", "DIR",
           "folder of lantrel.bin when the library finds none");
  c.Option("--threads", "N",
           "most connection threads (default 256; an open connection holds one)");
  c.Option("--max-points", "N",
           "most points one request may hold (default 1000000)");
  c.Option("--max-body", "BYTES",
           "largest request body (default 268435456)");
  c.Option("--cors", "ORIGIN",
           "allow pages from ORIGIN to call the API (Access-Control-Allow-Origin)");
  c.Option("--tiles", "URL",
           "background tile layer for the page's map, as {z}/{x}/{y} URL\n"
           "(none by default: the page then needs no internet)");
  c.Option("--web", "DIR",
           "folder of the page's files (default PREFIX/share/lantrel/web)");
  return c;
}

int RunServe(const std::vector<std::string>& args) {
  CommandLine o = ServeCommandLine();
  if (!o.Parse(args)) {
    o.PrintHelp();
    return kExitOk;
  }
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
