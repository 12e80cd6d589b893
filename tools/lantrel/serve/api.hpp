// The server's request handling, free of any HTTP library: a request in, a response out. The
// HTTP front (http_server.hpp) only translates; tests and the fuzz target call Handle directly.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lantrel {
class Locator;
}

namespace lantrel::cli::serve {

class Metrics;
class Jobs;

/// A file sent as a multipart form field.
struct Upload {
  std::string field;     // the form field's name
  std::string fileName;  // the name the client gave the file
  std::string content;
};

struct Request {
  std::string method;  // "GET", "POST", ...
  std::string path;    // decoded path without the query
  std::multimap<std::string, std::string> query;  // decoded query parameters
  std::string_view body;  // the caller keeps the bytes while the request is answered
  std::string contentType;
  std::vector<Upload> uploads;  // multipart form files
};

struct Response {
  int status = 200;
  std::string contentType = "application/json";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
};

struct Settings {
  std::string host = "127.0.0.1";
  int port = 8080;
  std::optional<std::string> dataDir;  // --data: folder of lantrel.bin when the library finds none
  int threads = 0;                     // connection threads; 0: the default
  std::size_t maxPoints = 1000000;
  std::size_t maxBody = 256u << 20;
  std::string cors;                    // Access-Control-Allow-Origin, empty for none
  std::string tiles;                   // tile URL template for the page, empty for none
  std::string webDir;                  // the page's files
  std::string leafletDir = "/usr/share/javascript/leaflet";
  bool files = true;                   // serve /files (runs the tool on uploads)
  std::size_t maxJobs = 4;             // file jobs running at once
};

/// Everything the handlers share: settings, the loaded outlines, the counters. Immutable after
/// construction except the counters, which are atomic.
struct Context {
  Settings settings;
  std::shared_ptr<const Locator> data;  // null without a data file
  std::string dataFile;
  std::unique_ptr<Metrics> metrics;
  std::unique_ptr<Jobs> jobs;  // file jobs; null where files are not served (the fuzz target)
  std::string program;         // the tool itself, run for file jobs
};

class Api {
 public:
  /// Loads the data file the library finds (or the one in settings.dataDir).
  explicit Api(Settings settings);
  ~Api();
  Api(const Api&) = delete;
  Api& operator=(const Api&) = delete;

  /// Answers one request. Never throws: every failure is a problem document.
  Response Handle(const Request& request) const;

  const Context& context() const { return *context_; }

 private:
  std::unique_ptr<Context> context_;
};

}  // namespace lantrel::cli::serve
