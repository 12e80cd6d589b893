// /files: an uploaded CSV, GeoPackage, GeoJSON, zipped Shapefile or FlatGeobuf converted or
// located as the tool does it (the tool runs on it), its progress polled, the result fetched.
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "lantrel/number_text.hpp"
#include "serve/inputs.hpp"
#include "serve/jobs.hpp"
#include "serve/problem.hpp"
#include "serve/routes.hpp"

namespace lantrel::cli::serve {

namespace {

std::string Lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s;
}

// The upload's kind by its name: csv, gpkg, geojson, fgb, or zip (a zipped Shapefile).
std::string KindOf(const std::string& name) {
  const auto dot = name.rfind('.');
  const std::string ext = dot == std::string::npos ? "" : Lower(name.substr(dot + 1));
  if (ext == "csv" || ext == "gpkg" || ext == "geojson" || ext == "fgb" || ext == "zip") return ext;
  if (ext == "json") return "geojson";
  throw Problem(415, "unsupported-media-type",
                "send a .csv, .gpkg, .geojson, .fgb or a .zip holding a Shapefile");
}

// A plain base name for the download: the upload's stem, or "points".
std::string Stem(const std::string& name) {
  const auto slash = name.find_last_of("/\\");
  std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
  const auto dot = base.rfind('.');
  if (dot != std::string::npos) base = base.substr(0, dot);
  std::string clean;
  for (const char c : base) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    clean += plain ? c : '_';
  }
  return clean.empty() || clean.size() > 80 ? std::string("points") : clean;
}

Response StateResponse(const JobState& s, int status) {
  nlohmann::ordered_json doc;
  doc["id"] = s.id;
  doc["state"] = s.state;
  doc["input_bytes"] = s.inputBytes;
  doc["output_bytes"] = s.outputBytes;
  doc["progress"] = s.progress;
  doc["seconds"] = s.seconds;
  doc["message"] = s.message;
  doc["result"] = "/api/v1/files/" + s.id + "/result";
  doc["result_name"] = s.resultName;
  Response r;
  r.status = status;
  r.body = doc.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  r.headers.emplace_back("Location", "/api/v1/files/" + s.id);
  return r;
}

}  // namespace

Response FilesRoute(const Context& context, const Request& request, const std::string& id, bool result) {
  if (!context.jobs) throw Problem(404, "not-found", "files are not served here");
  if (!id.empty()) {
    if (result) {
      auto taken = context.jobs->Take(id);
      if (!taken) {
        const auto s = context.jobs->State(id);
        if (!s) throw Problem(404, "not-found", "no such job (results are kept until fetched, or 10 minutes)");
        throw Problem(409, "not-ready", s->state == "running" ? "the job is still running" : "the job failed: " + s->message);
      }
      Response r;
      r.body = std::move(taken->first);
      r.contentType = "application/octet-stream";
      r.headers.emplace_back("Content-Disposition", "attachment; filename=\"" + taken->second + "\"");
      return r;
    }
    const auto s = context.jobs->State(id);
    if (!s) throw Problem(404, "not-found", "no such job");
    return StateResponse(*s, 200);
  }
  const Inputs in(request, false);
  std::string name = in.Text("name").value_or("");
  std::string_view content = request.body;
  for (const auto& u : request.uploads) {
    if (u.field == "file") {
      content = u.content;
      if (name.empty()) name = u.fileName;
      break;
    }
  }
  if (content.empty()) throw Problem(400, "missing-parameter", "send the file as the body (with name=) or as the form field 'file'");
  const std::string kind = KindOf(name);
  const std::string command = in.Text("command").value_or("convert");
  if (command != "convert" && command != "locate") {
    throw Problem(400, "invalid-parameter", "'command' must be convert or locate");
  }
  std::vector<std::string> args{command};
  // A CSV names no coordinate system: its points are longitudes and latitudes unless told.
  if (const auto from = in.SystemNamed("from")) args.insert(args.end(), {"--from", Canonical(*from)});
  else if (kind == "csv") args.insert(args.end(), {"--from", "geographic/nad83/deg"});
  if (command == "convert") {
    args.insert(args.end(), {"--to", Canonical(in.RequireSystem("to"))});
    if (const auto p = in.Whole("precision", 0, kMaxPrecision)) args.insert(args.end(), {"-p", std::to_string(*p)});
  }
  if (in.Switch("zgs", false)) args.push_back("--zgs");
  if (in.Switch("accept_distant", false)) args.push_back("--accept-distant");
  // The result's format: the upload's by default (GeoPackage for a zipped Shapefile); shp is
  // a zipped Shapefile.
  std::string format = Lower(in.Text("format").value_or(kind == "zip" ? "gpkg" : kind));
  if (format.empty()) format = kind == "zip" ? "gpkg" : kind;
  if (format == "json") format = "geojson";
  if (format == "zip" || format == "shapefile") format = "shp";
  if (format != "csv" && format != "gpkg" && format != "geojson" && format != "fgb" && format != "shp") {
    throw Problem(400, "invalid-parameter", "'format' must be csv, gpkg, geojson, fgb or shp (a zipped Shapefile)");
  }
  const std::string stem = Stem(name);
  const std::string output = stem + "_" + command + "." + (format == "shp" ? "zip" : format);
  std::optional<std::string> job;
  try {
    job = context.jobs->Start(args, content, "input." + kind, output);
  } catch (const std::runtime_error& e) {
    throw Problem(422, "job-refused", e.what());
  }
  if (!job) throw Problem(503, "busy", "as many file jobs as the server runs at once are running; try again shortly");
  return StateResponse(*context.jobs->State(*job), 202);
}

}  // namespace lantrel::cli::serve
