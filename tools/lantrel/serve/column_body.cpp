#include "serve/column_body.hpp"

#include <algorithm>
#include <charconv>
#include <system_error>

#include "serve/workers.hpp"

namespace lantrel::cli::serve {

namespace {

class Scanner {
 public:
  explicit Scanner(std::string_view text) : s_(text) {}

  void Blanks() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r')) ++i_;
  }
  bool Take(char c) {
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  bool Peek(char c) const { return i_ < s_.size() && s_[i_] == c; }
  bool AtEnd() const { return i_ == s_.size(); }
  std::size_t at() const { return i_; }
  void Skip(std::size_t n) { i_ += n; }

  // A member name without escapes or control characters; its text between the quotes.
  std::optional<std::string_view> Name() {
    if (!Take('"')) return std::nullopt;
    const std::size_t start = i_;
    while (i_ < s_.size() && s_[i_] != '"') {
      if (s_[i_] == '\\' || static_cast<unsigned char>(s_[i_]) < 0x20) return std::nullopt;
      ++i_;
    }
    if (i_ == s_.size()) return std::nullopt;
    return s_.substr(start, i_++ - start);
  }

  // A JSON number (-?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?) as a double.
  std::optional<double> Number() {
    const std::size_t start = i_;
    Take('-');
    if (Take('0')) {
    } else if (Digit()) {
      while (Digit()) {
      }
    } else {
      return std::nullopt;
    }
    if (Take('.')) {
      if (!Digit()) return std::nullopt;
      while (Digit()) {
      }
    }
    if (Take('e') || Take('E')) {
      if (!Take('+')) Take('-');
      if (!Digit()) return std::nullopt;
      while (Digit()) {
      }
    }
    double v = 0.0;
    const char* first = s_.data() + start;
    const char* last = s_.data() + i_;
    const auto [end, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || end != last) return std::nullopt;
    return v;
  }

  // Skips one JSON value of any kind, roughly: strings with their escapes and nesting are
  // followed; the JSON library checks the text afterwards.
  bool SkipValue() {
    int depth = 0;
    const std::size_t start = i_;
    while (i_ < s_.size()) {
      const char c = s_[i_];
      if (c == '"') {
        ++i_;
        while (i_ < s_.size() && s_[i_] != '"') i_ += s_[i_] == '\\' ? 2 : 1;
        if (i_ >= s_.size()) return false;
        ++i_;
      } else if (c == '{' || c == '[') {
        ++depth;
        ++i_;
      } else if (c == '}' || c == ']') {
        if (depth == 0) break;
        --depth;
        ++i_;
      } else if (c == ',' && depth == 0) {
        break;
      } else {
        ++i_;
      }
      if (depth == 0 && (c == '"' || c == '}' || c == ']')) break;
    }
    return depth == 0 && i_ > start;
  }

  std::string_view Since(std::size_t start) const { return s_.substr(start, i_ - start); }

 private:
  bool Digit() {
    if (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9') {
      ++i_;
      return true;
    }
    return false;
  }

  std::string_view s_;
  std::size_t i_ = 0;
};

// Numbers separated by commas, the whole text; `last` when the text ends the array (else it
// ends with the comma after its last number), `whole` when it is all of the array's text.
bool ReadList(std::string_view text, bool last, bool whole, std::vector<double>& values) {
  Scanner in(text);
  in.Blanks();
  if (whole && in.AtEnd()) return true;  // an empty array
  for (;;) {
    in.Blanks();
    const auto v = in.Number();
    if (!v) return false;
    values.push_back(*v);
    in.Blanks();
    if (in.AtEnd()) return last;
    if (!in.Take(',')) return false;
    if (in.AtEnd()) return !last;
  }
}

// Above this many bytes an array's numbers are read by several workers.
constexpr std::size_t kBytesPerWorker = 1u << 20;

// The array at the scanner: the text up to its ']' (a number holds none), cut after commas
// into one range per worker.
bool ReadArray(Scanner& in, std::string_view body, std::vector<double>& values) {
  if (!in.Take('[')) return false;
  const std::size_t open = in.at();
  const std::size_t close = body.find(']', open);
  if (close == std::string_view::npos) return false;
  const std::string_view list = body.substr(open, close - open);
  const std::size_t workers = WorkersFor(list.size(), kBytesPerWorker);
  std::vector<std::size_t> cut{0};
  for (std::size_t w = 1; w < workers; ++w) {
    const std::size_t comma = list.find(',', std::max(cut.back(), RangeBegin(list.size(), w, workers)));
    if (comma == std::string_view::npos) break;
    cut.push_back(comma + 1);
  }
  cut.push_back(list.size());
  const std::size_t ranges = cut.size() - 1;
  std::vector<std::vector<double>> parts(ranges);
  std::vector<unsigned char> ok(ranges, 0);
  OnWorkers(ranges, [&](std::size_t w) {
    auto& part = parts[w];
    part.reserve((cut[w + 1] - cut[w]) / 8 + 1);
    ok[w] = ReadList(list.substr(cut[w], cut[w + 1] - cut[w]), w + 1 == ranges, ranges == 1, part);
  });
  std::size_t total = 0;
  for (std::size_t w = 0; w < ranges; ++w) {
    if (!ok[w]) return false;
    total += parts[w].size();
  }
  values.reserve(total);
  for (const auto& part : parts) values.insert(values.end(), part.begin(), part.end());
  in.Skip(close + 1 - open);
  return true;
}

}  // namespace

std::optional<ColumnBody> ReadColumnBody(std::string_view body, std::initializer_list<std::string_view> names) {
  Scanner in(body);
  ColumnBody out;
  std::string rest = "{";
  in.Blanks();
  if (!in.Take('{')) return std::nullopt;
  in.Blanks();
  if (!in.Take('}')) {
    for (;;) {
      in.Blanks();
      const std::size_t start = in.at();
      const auto name = in.Name();
      if (!name) return std::nullopt;
      in.Blanks();
      if (!in.Take(':')) return std::nullopt;
      in.Blanks();
      const bool column = std::find(names.begin(), names.end(), *name) != names.end();
      if (column && in.Peek('[')) {
        for (const auto& c : out.columns) {
          if (c.first == *name) return std::nullopt;
        }
        std::vector<double> values;
        if (!ReadArray(in, body, values)) return std::nullopt;
        out.columns.emplace_back(std::string(*name), std::move(values));
      } else {
        if (column) {
          // Given twice, once as a column: the JSON library decides which one counts.
          for (const auto& c : out.columns) {
            if (c.first == *name) return std::nullopt;
          }
        }
        if (!in.SkipValue()) return std::nullopt;
        if (rest.size() > 1) rest += ',';
        rest += in.Since(start);
      }
      in.Blanks();
      if (in.Take('}')) break;
      if (!in.Take(',')) return std::nullopt;
    }
  }
  in.Blanks();
  if (!in.AtEnd()) return std::nullopt;
  rest += '}';
  out.rest = nlohmann::json::parse(rest, nullptr, false);
  if (out.rest.is_discarded() || !out.rest.is_object()) return std::nullopt;
  // A name given both as a column and as another member of the rest: leave it to the library.
  for (const auto& c : out.columns) {
    if (out.rest.contains(c.first)) return std::nullopt;
  }
  return out;
}

}  // namespace lantrel::cli::serve
