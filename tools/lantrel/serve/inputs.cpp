#include "serve/inputs.hpp"

#include "lantrel/number_text.hpp"
#include "serve/column_body.hpp"
#include "serve/problem.hpp"

namespace lantrel::cli::serve {

namespace {

const nlohmann::json kNull;

bool JsonType(std::string_view contentType) {
  const auto semi = contentType.find(';');
  std::string type(contentType.substr(0, semi));
  while (!type.empty() && type.back() == ' ') type.pop_back();
  for (auto& c : type) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return type == "application/json" || type.empty() || type == "text/plain";
}

}  // namespace

Inputs::Inputs(const Request& request, bool bodyAllowed) : Inputs(request, bodyAllowed, {}) {}

Inputs::Inputs(const Request& request, bool bodyAllowed, std::initializer_list<std::string_view> columns)
    : request_(request) {
  if (!bodyAllowed || request.body.empty()) return;
  if (!JsonType(request.contentType)) {
    throw Problem(415, "unsupported-media-type", "the body must be JSON (application/json)");
  }
  if (columns.size() > 0) {
    if (auto read = ReadColumnBody(request.body, columns)) {
      body_ = std::move(read->rest);
      columns_ = std::move(read->columns);
      return;
    }
  }
  body_ = nlohmann::json::parse(request.body, nullptr, false);
  if (body_.is_discarded()) throw Problem(400, "malformed-json", "the body is not valid JSON");
  if (!body_.is_object()) throw Problem(400, "malformed-json", "the body must be a JSON object");
}

const nlohmann::json& Inputs::Member(std::string_view name) const {
  if (!body_.is_object()) return kNull;
  const auto it = body_.find(name);
  return it == body_.end() ? kNull : *it;
}

const std::vector<double>* Inputs::Column(std::string_view name) const {
  for (const auto& [n, values] : columns_) {
    if (n == name) return &values;
  }
  return nullptr;
}

std::vector<double> Inputs::TakeColumn(std::string_view name) {
  for (auto& [n, values] : columns_) {
    if (n == name) return std::move(values);
  }
  return {};
}

bool Inputs::Has(std::string_view name) const {
  return Column(name) != nullptr || !Member(name).is_null() || request_.query.count(std::string(name)) != 0;
}

std::optional<std::string> Inputs::Text(std::string_view name) const {
  const auto& m = Member(name);
  if (m.is_string()) return m.get<std::string>();
  if (!m.is_null()) {
    if (m.is_number() || m.is_boolean()) return m.dump();
    throw Problem(400, "invalid-parameter", "'" + std::string(name) + "' must be a text");
  }
  const auto it = request_.query.find(std::string(name));
  if (it == request_.query.end()) return std::nullopt;
  return it->second;
}

bool Inputs::Switch(std::string_view name, bool otherwise) const {
  const auto& m = Member(name);
  if (m.is_boolean()) return m.get<bool>();
  const auto t = Text(name);
  if (!t) return otherwise;
  if (*t == "true" || *t == "1" || *t == "yes" || t->empty()) return true;
  if (*t == "false" || *t == "0" || *t == "no") return false;
  throw Problem(400, "invalid-parameter", "'" + std::string(name) + "' must be true or false");
}

std::optional<long long> Inputs::Whole(std::string_view name, long long min, long long max) const {
  const auto t = Text(name);
  if (!t) return std::nullopt;
  const auto v = ParseDecimal(*t);
  if (!v || *v != static_cast<double>(static_cast<long long>(*v)) || *v < static_cast<double>(min) ||
      *v > static_cast<double>(max)) {
    throw Problem(400, "invalid-parameter", "'" + std::string(name) + "' must be a whole number from " +
                                                std::to_string(min) + " to " + std::to_string(max));
  }
  return static_cast<long long>(*v);
}

std::optional<System> Inputs::SystemNamed(std::string_view name) const {
  const auto t = Text(name);
  if (!t) return std::nullopt;
  auto parsed = ParseSystem(*t);
  if (!parsed.system) throw Problem(400, "unknown-system", std::string(name) + ": " + parsed.error);
  return parsed.system;
}

System Inputs::RequireSystem(std::string_view name) const {
  const auto s = SystemNamed(name);
  if (!s) throw Problem(400, "missing-parameter", "'" + std::string(name) + "' names no system");
  return *s;
}

std::unique_ptr<PointConverter> MakeConverter(const Context& context, const System& from,
                                              const System& to, bool westPositive, bool zgs) {
  auto c = std::make_unique<PointConverter>(from, to, westPositive, zgs);
  ZrGeoPosition& p = c->position();
  if (!p.DataLoaded() && context.settings.dataDir) {
    try {
      p.SetPath(*context.settings.dataDir);
    } catch (const Error&) {
      // Checked at start-up; a file that went away since leaves the lookups to report it.
    }
  }
  return c;
}

std::string ApiMessage(const std::string& message) {
  std::string m = message;
  const std::string_view option = "--accept-distant";
  if (const auto at = m.find(option); at != std::string::npos) m.replace(at, option.size(), "accept_distant");
  return m;
}

std::string Fixed(double v, int decimals) {
  char text[kMaxFixedChars];
  return std::string(text, FormatFixed(text, v, decimals));
}

void AppendShortest(std::string& out, double v) {
  char text[kMaxShortestChars];
  out.append(text, FormatShortest(text, v));
}

}  // namespace lantrel::cli::serve
