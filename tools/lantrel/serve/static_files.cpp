#include "serve/static_files.hpp"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "serve/problem.hpp"

namespace lantrel::cli::serve {

namespace fs = std::filesystem;

std::optional<std::string> StaticFile(const std::string& root, std::string_view path) {
  if (root.empty() || path.size() > 256) return std::nullopt;
  // Each segment a plain name: letters, digits and - _ . only, not starting with a dot.
  std::size_t from = 0;
  while (from <= path.size()) {
    const std::size_t slash = std::min(path.find('/', from), path.size());
    const std::string_view seg = path.substr(from, slash - from);
    if (seg.empty() || seg.front() == '.') return std::nullopt;
    for (const char c : seg) {
      const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                         c == '-' || c == '_' || c == '.';
      if (!plain) return std::nullopt;
    }
    from = slash + 1;
  }
  std::error_code ec;
  const fs::path base = fs::canonical(root, ec);
  if (ec) return std::nullopt;
  const fs::path file = fs::canonical(base / fs::path(std::string(path)), ec);
  if (ec) return std::nullopt;
  // A link inside the folder may not lead out of it.
  const std::string b = base.string() + "/", f = file.string();
  if (f.compare(0, b.size(), b) != 0) return std::nullopt;
  if (!fs::is_regular_file(file, ec)) return std::nullopt;
  return f;
}

std::string_view MediaType(std::string_view name) {
  const auto dot = name.rfind('.');
  const std::string_view ext = dot == std::string_view::npos ? "" : name.substr(dot + 1);
  if (ext == "html") return "text/html; charset=utf-8";
  if (ext == "css") return "text/css; charset=utf-8";
  if (ext == "js") return "text/javascript; charset=utf-8";
  if (ext == "json") return "application/json";
  if (ext == "png") return "image/png";
  if (ext == "svg") return "image/svg+xml";
  if (ext == "ico") return "image/x-icon";
  return "application/octet-stream";
}

Response StaticRoute(const Context& context, const Request& request) {
  std::string_view path = request.path;
  std::string root = context.settings.webDir;
  constexpr std::string_view kLeaflet = "/leaflet/";
  if (path.substr(0, kLeaflet.size()) == kLeaflet) {
    root = context.settings.leafletDir;
    path.remove_prefix(kLeaflet.size());
  } else {
    path.remove_prefix(1);
    if (path.empty()) path = "index.html";
  }
  const auto file = StaticFile(root, path);
  if (!file) throw Problem(404, "not-found", "nothing is served at this path");
  std::ifstream in(*file, std::ios::binary);
  Response r;
  r.body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) throw Problem(404, "not-found", "nothing is served at this path");
  r.contentType = std::string(MediaType(*file));
  r.headers.emplace_back("Cache-Control", "no-cache");
  r.headers.emplace_back("X-Content-Type-Options", "nosniff");
  return r;
}

}  // namespace lantrel::cli::serve
