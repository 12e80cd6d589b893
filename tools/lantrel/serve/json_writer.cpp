#include "serve/json_writer.hpp"

#include <charconv>
#include <cmath>
#include <stdexcept>

#include "json.hpp"
#include "lantrel/number_text.hpp"

namespace lantrel::cli::serve {

void AppendJsonNumber(std::string& out, double v) {
  if (!std::isfinite(v)) {
    out += "null";
    return;
  }
  char text[kMaxShortestChars];
  out.append(text, FormatShortest(text, v));
}

void JsonWriter::Next() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (depth_ == 0) return;
  if (!first_[depth_]) out_ += ',';
  first_[depth_] = false;
}

JsonWriter& JsonWriter::Open(char bracket) {
  Next();
  // The answers nest a few levels; one past kMaxDepth is a fault of the route that writes it.
  if (depth_ == kMaxDepth) throw std::logic_error("JSON answer nested too deeply");
  out_ += bracket;
  ++depth_;
  first_[depth_] = true;
  close_[depth_] = bracket == '{' ? '}' : ']';
  return *this;
}

JsonWriter& JsonWriter::Object() { return Open('{'); }
JsonWriter& JsonWriter::Array() { return Open('['); }

JsonWriter& JsonWriter::End() {
  if (depth_ == 0) return *this;
  if (afterKey_) {
    out_ += "null";  // a key left without its value
    afterKey_ = false;
  }
  out_ += close_[depth_];
  --depth_;
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
  Next();
  AppendJsonString(out_, name);
  out_ += ':';
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
  Next();
  AppendJsonString(out_, text);
  return *this;
}

JsonWriter& JsonWriter::Number(double v) {
  Next();
  AppendJsonNumber(out_, v);
  return *this;
}

JsonWriter& JsonWriter::Integer(std::int64_t v) {
  Next();
  char text[24];
  out_.append(text, std::to_chars(text, text + sizeof text, v).ptr);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool v) {
  Next();
  out_ += v ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  Next();
  out_ += "null";
  return *this;
}

JsonWriter& JsonWriter::Raw(std::string_view json) {
  Next();
  out_ += json;
  return *this;
}

}  // namespace lantrel::cli::serve
