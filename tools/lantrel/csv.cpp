#include "csv.hpp"

#include <cstring>

namespace lantrel::cli {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
// Blanks around a field: a tab is none when it separates the fields.
bool IsPad(char c, char delimiter) { return c == ' ' || (c == '\t' && delimiter != '\t'); }

std::string FieldProblem(const char* what, std::size_t field) {
  return std::string(what) + std::to_string(field);
}

}  // namespace

CsvSplit SplitCsvRecord(std::string_view record, std::vector<std::string_view>& fields,
                        std::string* problem, char delimiter) {
  fields.clear();
  const std::size_t n = record.size();
  std::size_t start = 0;
  while (true) {
    std::size_t i = start;
    while (i < n && IsPad(record[i], delimiter)) ++i;
    std::size_t end;  // where the field ends: the comma after it, or n
    if (i < n && record[i] == '"') {
      std::size_t k = i + 1;
      while (true) {
        const void* q = k < n ? std::memchr(record.data() + k, '"', n - k) : nullptr;
        if (q == nullptr) return CsvSplit::Open;
        k = static_cast<std::size_t>(static_cast<const char*>(q) - record.data());
        if (k + 1 < n && record[k + 1] == '"') {
          k += 2;  // a doubled quote stands for one quote
          continue;
        }
        break;
      }
      end = k + 1;
      while (end < n && IsPad(record[end], delimiter)) ++end;
      if (end < n && record[end] != delimiter) {
        if (problem) *problem = FieldProblem("text after the closing quote of field ", fields.size() + 1);
        fields.clear();
        return CsvSplit::Malformed;
      }
    } else {
      const void* at = i < n ? std::memchr(record.data() + i, delimiter, n - i) : nullptr;
      end = at ? static_cast<std::size_t>(static_cast<const char*>(at) - record.data()) : n;
      if (std::memchr(record.data() + i, '"', end - i) != nullptr) {
        if (problem) *problem = FieldProblem("a quote inside the unquoted field ", fields.size() + 1);
        fields.clear();
        return CsvSplit::Malformed;
      }
    }
    fields.push_back(record.substr(start, end - start));
    if (end >= n) return CsvSplit::Complete;
    start = end + 1;
  }
}

bool SplitCsv(std::string_view record, std::vector<std::string_view>& fields, char delimiter) {
  return SplitCsvRecord(record, fields, nullptr, delimiter) == CsvSplit::Complete;
}

char SniffDelimiter(std::string_view header, char preferred) {
  std::size_t counts[kCsvDelimiters.size()] = {};
  bool quoted = false;
  for (const char c : header) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    const std::size_t k = kCsvDelimiters.find(c);
    if (k != std::string_view::npos) ++counts[k];
  }
  std::size_t best = 0;
  for (std::size_t k = 1; k < kCsvDelimiters.size(); ++k) {
    if (counts[k] > counts[best]) best = k;
  }
  const std::size_t p = kCsvDelimiters.find(preferred);
  if (p != std::string_view::npos && counts[p] == counts[best]) return preferred;
  return kCsvDelimiters[best];
}

std::optional<char> ParseDelimiter(std::string_view text) {
  if (text == "tab" || text == "\\t") return '\t';
  if (text.size() == 1 && kCsvDelimiters.find(text[0]) != std::string_view::npos) return text[0];
  return std::nullopt;
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

void AppendCsvField(std::string& out, std::string_view value, char delimiter) {
  bool quote = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
  for (const char c : value) {
    if (c == delimiter || c == '"' || c == '\n' || c == '\r') {
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

std::string RecordDamage(const CsvRecord& record, std::size_t columns) {
  if (!record.error.empty()) return "malformed CSV: " + record.error;
  if (record.fields.size() > columns) {
    return "the record has " + std::to_string(record.fields.size()) + " fields, the header " +
           std::to_string(columns);
  }
  return {};
}

void EmptyCsvRecord(std::string& out, std::size_t columns, char delimiter) {
  if (columns <= 1) out += "\"\"";
  else out.append(columns - 1, delimiter);
}

bool CsvReader::NextLine(std::string_view& line, std::string_view& ending,
                         std::string_view& outputEnding) {
  if (!held_.empty()) {
    current_ = std::move(held_.front().text);
    ending = held_.front().ending;
    outputEnding = held_.front().outputEnding;
    held_.pop_front();
    line = current_;
  } else {
    if (!in_.Next(line)) return false;
    ending = in_.ending();
    outputEnding = in_.outputEnding();
  }
  ++lineNumber_;
  return true;
}

bool CsvReader::Next(CsvRecord& r) {
  std::string_view line;
  std::string_view ending;
  std::string_view outputEnding;
  if (!NextLine(line, ending, outputEnding)) return false;
  r.line = lineNumber_;
  r.lines = 1;
  r.text = line;
  r.ending = outputEnding;
  r.fields.clear();
  r.error.clear();
  r.kind = Classify(line);
  if (r.kind == LineKind::Blank || (r.kind == LineKind::Comment && comments_)) return true;
  r.kind = LineKind::Data;
  if (sniff_) {
    delimiter_ = cli::SniffDelimiter(line, delimiter_);
    sniff_ = false;
  }
  const CsvSplit first = SplitCsvRecord(line, r.fields, &r.error, delimiter_);
  if (first != CsvSplit::Open) return true;

  // A quoted field goes on over the line end: gather lines until the quotes balance.
  record_.assign(line);
  const std::string_view firstEnding = outputEnding;
  gathered_.clear();
  gathered_.push_back({std::string(line), ending, outputEnding});
  std::string_view lastEnding = ending;
  const std::uint64_t firstLine = lineNumber_;
  while (true) {
    if (gathered_.size() >= kMaxRecordLines) {
      r.error = "a quoted field is still open after " + std::to_string(kMaxRecordLines) + " lines";
      break;
    }
    if (lastEnding.empty() || !NextLine(line, ending, outputEnding)) {
      r.error = "a quoted field is not closed by the end of the input";
      break;
    }
    record_.append(lastEnding);
    record_.append(line);
    gathered_.push_back({std::string(line), ending, outputEnding});
    lastEnding = ending;
    const CsvSplit s = SplitCsvRecord(record_, r.fields, &r.error, delimiter_);
    if (s == CsvSplit::Complete) {
      r.text = record_;
      r.ending = outputEnding;
      r.lines = gathered_.size();
      return true;
    }
    if (s == CsvSplit::Malformed) break;
  }
  // Malformed: the record is its first line; the lines gathered after it are read again.
  for (std::size_t i = gathered_.size(); i-- > 1;) held_.push_front(std::move(gathered_[i]));
  lineNumber_ = firstLine;
  current_ = std::move(gathered_.front().text);
  r.text = current_;
  r.ending = firstEnding;
  r.fields.clear();
  if (!held_.empty()) r.error += "; reading resumes at line " + std::to_string(firstLine + 1);
  return true;
}

namespace {

// Whether the file is named *.EXT (EXT in lower case, three letters), any case.
bool NamedAs(std::string_view file, std::string_view ext) {
  if (file.size() < 5) return false;
  const std::string_view end = file.substr(file.size() - 4);
  if (end[0] != '.') return false;
  for (std::size_t k = 0; k < 3; ++k) {
    if ((end[k + 1] | 0x20) != ext[k]) return false;
  }
  return true;
}

}  // namespace

bool NamedCsv(const std::vector<std::string>& files) {
  if (files.empty()) return false;
  for (const auto& f : files) {
    if (!NamedAs(f, "csv") && !NamedAs(f, "tsv")) return false;
  }
  return true;
}

char NamedDelimiter(std::string_view file) { return NamedAs(file, "tsv") ? '\t' : ','; }

}  // namespace lantrel::cli
