// Writing a JSON answer straight into one string: members and elements in the order they are
// written, commas placed by the writer. Numbers are the shortest text that reads back as the
// same double (null for NaN and infinities, which JSON cannot hold); strings are escaped as
// the tool escapes them (AppendJsonString).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lantrel::cli::serve {

class JsonWriter {
 public:
  /// Appends to out.
  explicit JsonWriter(std::string& out) : out_(out) {}

  /// Opens an object or array as the next value (nesting up to kMaxDepth levels).
  JsonWriter& Object();
  JsonWriter& Array();
  /// Closes the innermost object or array.
  JsonWriter& End();
  /// The name of the next member of the open object.
  JsonWriter& Key(std::string_view name);

  JsonWriter& String(std::string_view text);
  JsonWriter& Number(double v);
  JsonWriter& Integer(std::int64_t v);
  JsonWriter& Bool(bool v);
  JsonWriter& Null();
  /// A value that is already JSON text (another writer's output).
  JsonWriter& Raw(std::string_view json);

  static constexpr int kMaxDepth = 8;

 private:
  void Next();  // the comma before a value, unless it follows its key or opens its container
  JsonWriter& Open(char bracket);

  std::string& out_;
  std::array<bool, kMaxDepth + 1> first_{};
  std::array<char, kMaxDepth + 1> close_{};
  int depth_ = 0;
  bool afterKey_ = false;
};

/// Appends the shortest text that reads back as v, or null when v is not finite.
void AppendJsonNumber(std::string& out, double v);

}  // namespace lantrel::cli::serve
