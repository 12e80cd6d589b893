// Failures as problem documents (application/problem+json): a type, a title, the HTTP status,
// a detail in words and, when the coordinate library raised the error, its number, source and
// description.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "lantrel/error.hpp"
#include "serve/api.hpp"

namespace lantrel::cli::serve {

/// Thrown by handlers; Api::Handle turns it into the response.
class Problem : public std::runtime_error {
 public:
  Problem(int status, std::string type, std::string detail)
      : std::runtime_error(detail), status_(status), type_(std::move(type)) {}
  Problem(int status, std::string type, std::string detail, const Error& library)
      : Problem(status, std::move(type), std::move(detail)) {
    library_ = library;
  }
  int status() const { return status_; }
  const std::string& type() const { return type_; }
  const std::optional<Error>& library() const { return library_; }

 private:
  int status_;
  std::string type_;  // short name: "unknown-system", "unreadable-text", ...
  std::optional<Error> library_;
};

/// The response for a problem. The detail is the handler's own text; it never holds a path of
/// this machine or a trace.
Response ProblemResponse(const Problem& p);

/// Reason phrase of a status ("Not Found").
const char* StatusTitle(int status);

}  // namespace lantrel::cli::serve
