#include "csv.hpp"

namespace lantrel::cli {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool SplitCsv(std::string_view record, std::vector<std::string_view>& fields) {
  fields.clear();
  std::size_t start = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < record.size(); ++i) {
    const char c = record[i];
    if (c == '"') {
      // A quote toggles the quoted state; "" inside quotes toggles twice and stays quoted.
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.push_back(record.substr(start, i - start));
      start = i + 1;
    }
  }
  fields.push_back(record.substr(start));
  return !quoted;
}

std::string CsvValue(std::string_view raw) {
  std::size_t b = 0;
  std::size_t e = raw.size();
  while (b < e && IsBlank(raw[b])) ++b;
  while (e > b && IsBlank(raw[e - 1])) --e;
  raw = raw.substr(b, e - b);
  if (raw.empty() || raw.front() != '"') return std::string(raw);
  std::string value;
  value.reserve(raw.size());
  bool quoted = false;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '"') {
      if (quoted && i + 1 < raw.size() && raw[i + 1] == '"') {
        value += '"';
        ++i;
      } else {
        quoted = !quoted;
      }
    } else {
      value += c;
    }
  }
  return value;
}

void AppendCsvField(std::string& out, std::string_view value) {
  bool quote = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
  for (const char c : value) {
    if (c == ',' || c == '"' || c == '\n' || c == '\r') {
      quote = true;
      break;
    }
  }
  if (!quote) {
    out.append(value);
    return;
  }
  out += '"';
  for (const char c : value) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace lantrel::cli
