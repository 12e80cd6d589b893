#include "serve/api.hpp"

#include <chrono>
#include <filesystem>
#include <new>

#include <nlohmann/json.hpp>

#include "data_files.hpp"
#include "lantrel/lantrel.hpp"
#include "lantrel/locator.hpp"
#include "serve/jobs.hpp"
#include "serve/metrics.hpp"
#include "serve/problem.hpp"
#include "serve/routes.hpp"
#include "serve/static_files.hpp"

namespace lantrel::cli::serve {

namespace {

constexpr std::string_view kApi = "/api/v1/";

struct RouteMatch {
  Route route = Route::Other;
  const char* allowed = nullptr;  // methods the path answers; nullptr: no such path
  std::string layer;  // the layer's name, or the file job's id
};

bool Starts(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

RouteMatch Match(std::string_view path) {
  if (path == "/healthz" || path == "/api/v1/healthz") return {Route::Health, "GET", {}};
  if (path == "/metrics") return {Route::Metrics, "GET", {}};
  if (!Starts(path, kApi)) {
    if (Starts(path, "/api/")) return {};
    return {Route::Static, "GET", {}};
  }
  const std::string_view rest = path.substr(kApi.size());
  if (rest == "point") return {Route::Point, "GET", {}};
  if (rest == "convert") return {Route::Convert, "GET, POST", {}};
  if (rest == "locate") return {Route::Locate, "POST", {}};
  if (rest == "openapi.json") return {Route::OpenApi, "GET", {}};
  if (rest == "config") return {Route::Other, "GET", {}};
  if (rest == "files") return {Route::Files, "POST", {}};
  if (Starts(rest, "files/")) {
    // files/ID or files/ID/result; the id is the job's hex name.
    std::string_view id = rest.substr(6);
    const bool result = id.size() > 7 && id.substr(id.size() - 7) == "/result";
    if (result) id.remove_suffix(7);
    if (id.empty() || id.size() > 64 || id.find_first_not_of("0123456789abcdef") != std::string_view::npos) return {};
    return {Route::Files, "GET", std::string(id) + (result ? "/result" : "")};
  }
  for (const char* layer : {"states", "counties", "quads", "carter"}) {
    if (rest == std::string("layers/") + layer + ".geojson") return {Route::Layers, "GET", layer};
  }
  return {};
}

bool Allows(const char* allowed, std::string_view method) {
  const std::string_view list = allowed;
  std::size_t from = 0;
  while (from < list.size()) {
    const std::size_t comma = std::min(list.find(',', from), list.size());
    if (list.substr(from, comma - from) == method) return true;
    from = comma + 2;
  }
  return false;
}

Response Health(const Context& context) {
  nlohmann::ordered_json doc;
  doc["status"] = "ok";
  doc["version"] = ZrGeoPosition().Version();
  doc["reference_data"] = context.data != nullptr;
  Response r;
  r.body = doc.dump();
  return r;
}

Response Dispatch(const Context& context, const Request& request, const RouteMatch& m) {
  if (!m.allowed) throw Problem(404, "not-found", "no such resource");
  std::string_view method = request.method;
  if (method == "HEAD") method = "GET";
  if (method == "OPTIONS" && !context.settings.cors.empty()) {
    // A browser's preflight for a page served elsewhere.
    Response r;
    r.status = 204;
    r.contentType.clear();
    r.headers.emplace_back("Access-Control-Allow-Methods", m.allowed);
    r.headers.emplace_back("Access-Control-Allow-Headers", "Content-Type");
    r.headers.emplace_back("Access-Control-Max-Age", "600");
    return r;
  }
  if (!Allows(m.allowed, method)) {
    Problem p(405, "method-not-allowed", request.method + " is not answered here; use " + m.allowed);
    Response r = ProblemResponse(p);
    r.headers.emplace_back("Allow", m.allowed);
    return r;
  }
  if (request.body.size() > context.settings.maxBody) {
    throw Problem(413, "body-too-large", "the body is larger than the " +
                                             std::to_string(context.settings.maxBody) + " bytes allowed");
  }
  switch (m.route) {
    case Route::Point: return PointRoute(context, request);
    case Route::Convert: return ConvertRoute(context, request);
    case Route::Locate: return LocateRoute(context, request);
    case Route::Layers: return LayerRoute(context, request, m.layer);
    case Route::OpenApi: return OpenApiRoute(context);
    case Route::Health: return Health(context);
    case Route::Metrics: {
      Response r;
      r.contentType = "text/plain; version=0.0.4; charset=utf-8";
      r.body = context.metrics->Text();
      return r;
    }
    case Route::Static: return StaticRoute(context, request);
    case Route::Files: {
      const bool result = m.layer.size() > 7 && m.layer.compare(m.layer.size() - 7, 7, "/result") == 0;
      return FilesRoute(context, request, result ? m.layer.substr(0, m.layer.size() - 7) : m.layer, result);
    }
    case Route::Other: break;
  }
  return ConfigRoute(context);
}

}  // namespace

Api::Api(Settings settings) : context_(std::make_unique<Context>()) {
  context_->settings = std::move(settings);
  context_->metrics = std::make_unique<Metrics>();
  if (context_->settings.files) {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
      context_->program = self.string();
      context_->jobs = std::make_unique<Jobs>(context_->program, context_->settings.maxJobs,
                                              std::chrono::seconds(600));
    }
  }
  ZrGeoPosition position;
  if (!position.DataLoaded() && context_->settings.dataDir) position.SetPath(*context_->settings.dataDir);
  if (position.DataLoaded()) {
    std::string file;
    if (const auto found = FindDataFile()) {
      file = *found;
    } else if (context_->settings.dataDir) {
      file = *context_->settings.dataDir;
      if (!file.empty() && file.back() != '/') file += '/';
      file += kDataFileName;
    }
    if (!file.empty()) {
      context_->dataFile = file;
      context_->data = std::make_shared<const Locator>(file);
    }
  }
}

Api::~Api() = default;

Response Api::Handle(const Request& request) const {
  const auto start = std::chrono::steady_clock::now();
  const RouteMatch m = Match(request.path);
  Response r;
  try {
    r = Dispatch(*context_, request, m);
  } catch (const Problem& p) {
    r = ProblemResponse(p);
  } catch (const nlohmann::json::exception&) {
    r = ProblemResponse(Problem(400, "invalid-parameter", "a value of the body has the wrong type"));
  } catch (const std::bad_alloc&) {
    r = ProblemResponse(Problem(503, "out-of-memory", "the server has no memory for this request"));
  } catch (const Error& e) {
    r = ProblemResponse(Problem(500, "library-error", "the coordinate library failed", e));
  } catch (...) {
    r = ProblemResponse(Problem(500, "internal-error", "the request could not be answered"));
  }
  if (!context_->settings.cors.empty()) {
    r.headers.emplace_back("Access-Control-Allow-Origin", context_->settings.cors);
    r.headers.emplace_back("Vary", "Origin");
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  context_->metrics->Record(m.route, r.status, seconds);
  return r;
}

Response ConfigRoute(const Context& context) {
  nlohmann::ordered_json doc;
  doc["tiles"] = context.settings.tiles.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(context.settings.tiles);
  doc["max_points"] = context.settings.maxPoints;
  doc["max_body"] = context.settings.maxBody;
  doc["reference_data"] = context.data != nullptr;
  Response r;
  r.body = doc.dump();
  return r;
}

}  // namespace lantrel::cli::serve
