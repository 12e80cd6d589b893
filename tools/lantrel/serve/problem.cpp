#include "serve/problem.hpp"

#include <nlohmann/json.hpp>

namespace lantrel::cli::serve {

const char* StatusTitle(int status) {
  switch (status) {
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 409: return "Conflict";
    case 413: return "Content Too Large";
    case 414: return "URI Too Long";
    case 415: return "Unsupported Media Type";
    case 422: return "Unprocessable Content";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return status < 500 ? "Bad Request" : "Internal Server Error";
  }
}

Response ProblemResponse(const Problem& p) {
  nlohmann::ordered_json doc;
  doc["type"] = "/api/v1/problems/" + p.type();
  doc["title"] = StatusTitle(p.status());
  doc["status"] = p.status();
  doc["detail"] = p.what();
  if (const auto& e = p.library()) {
    doc["number"] = e->number();
    doc["source"] = e->source();
    doc["description"] = e->description();
  }
  Response r;
  r.status = p.status();
  r.contentType = "application/problem+json";
  r.body = doc.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  return r;
}

}  // namespace lantrel::cli::serve
