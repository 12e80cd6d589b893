// libFuzzer target over the server's request handling (not the HTTP library): the first byte
// picks a route and method, the text up to the first newline is the query string, the rest the
// body. Every answer must be a response with a status, and a JSON body must parse.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "serve/api.hpp"

namespace {

using lantrel::cli::serve::Api;

const Api& Server() {
  static const std::unique_ptr<Api> api = [] {
    lantrel::cli::serve::Settings s;
    s.maxPoints = 64;
    s.maxBody = 8192;
    s.files = false;  // no child processes from the fuzzer
    return std::make_unique<Api>(s);
  }();
  return *api;
}

constexpr const char* kPaths[] = {
    "/api/v1/point", "/api/v1/convert", "/api/v1/locate", "/api/v1/layers/carter.geojson",
    "/api/v1/layers/counties.geojson", "/api/v1/layers/quads.geojson", "/healthz", "/index.html",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  lantrel::cli::serve::Request r;
  r.path = kPaths[data[0] % (sizeof kPaths / sizeof kPaths[0])];
  r.method = (data[0] & 0x80) ? "POST" : "GET";
  r.contentType = "application/json";
  const std::size_t newline = text.find('\n');
  const std::string_view query = text.substr(0, newline);
  if (newline != std::string_view::npos) r.body = text.substr(newline + 1);
  std::size_t from = 0;
  while (from <= query.size()) {
    const std::size_t amp = std::min(query.find('&', from), query.size());
    const std::string_view pair = query.substr(from, amp - from);
    const std::size_t eq = pair.find('=');
    r.query.emplace(std::string(pair.substr(0, eq)),
                    eq == std::string_view::npos ? std::string() : std::string(pair.substr(eq + 1)));
    from = amp + 1;
  }
  const auto answer = Server().Handle(r);
  if (answer.status < 200 || answer.status > 599) __builtin_trap();
  if (answer.contentType.find("json") != std::string::npos &&
      nlohmann::json::parse(answer.body, nullptr, false).is_discarded()) {
    __builtin_trap();
  }
  return 0;
}
