// lantrel convert: reads points line by line (plain or CSV), converts each with one reusable
// position object and writes one output line per input line, in order.
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "commands.hpp"
#include "csv.hpp"
#include "help.hpp"
#include "io.hpp"
#include "json.hpp"
#include "line_fields.hpp"
#include "numbers.hpp"
#include "options.hpp"
#include "point_converter.hpp"
#include "report.hpp"
#include "systems.hpp"

namespace lantrel::cli {

namespace {

enum class ProgressMode { Auto, On, Off };

struct ConvertSettings {
  System from;
  System to;
  bool csv = false;
  bool json = false;
  bool westPositive = false;
  bool zgs = false;
  bool strict = false;
  bool verbose = false;
  int precision = 3;
  std::optional<std::string> xCol;
  std::optional<std::string> yCol;
  ProgressMode progress = ProgressMode::Auto;
  std::vector<std::string> files;
};

System RequireSystem(const Options& o, const char* option) {
  const auto text = o.Value(option);
  if (!text) throw UsageError(std::string("convert needs --") + option + " SYSTEM");
  auto parsed = ParseSystem(*text);
  if (!parsed.system) throw UsageError("--" + std::string(option) + ": " + parsed.error);
  return *parsed.system;
}

ConvertSettings ParseConvertOptions(const std::vector<std::string>& args) {
  const Options o(args, {{"from", 'f', true},
                         {"to", 't', true},
                         {"csv", 0, false},
                         {"x-col", 0, true},
                         {"y-col", 0, true},
                         {"precision", 'p', true},
                         {"json", 0, false},
                         {"west-positive", 0, false},
                         {"zgs", 0, false},
                         {"strict", 0, false},
                         {"progress", 0, false},
                         {"no-progress", 0, false},
                         {"verbose", 'v', false},
                         {"help", 'h', false}});
  ConvertSettings s;
  s.from = RequireSystem(o, "from");
  s.to = RequireSystem(o, "to");
  s.csv = o.Has("csv");
  s.json = o.Has("json");
  s.westPositive = o.Has("west-positive");
  s.zgs = o.Has("zgs");
  s.strict = o.Has("strict");
  s.verbose = o.Has("verbose");
  s.precision = s.to.Angular() ? 9 : 3;
  if (const auto p = o.Value("precision")) s.precision = IntOption("precision", *p, 0, kMaxPrecision);
  s.xCol = o.Value("x-col");
  s.yCol = o.Value("y-col");
  if ((s.xCol || s.yCol) && !s.csv) throw UsageError("--x-col and --y-col need --csv");
  if (s.yCol && s.from.IsCarter()) {
    throw UsageError("--y-col: a Carter location is one column, named by --x-col");
  }
  if (o.Has("progress") && o.Has("no-progress")) {
    throw UsageError("--progress and --no-progress exclude each other");
  }
  if (o.Has("progress")) s.progress = ProgressMode::On;
  if (o.Has("no-progress")) s.progress = ProgressMode::Off;
  s.files = o.operands();
  if (s.files.empty()) s.files.push_back("-");
  return s;
}

// The rest of a plain line without its leading separator, for JSON output.
std::string_view TrimRest(std::string_view rest) {
  std::size_t i = 0;
  while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
  if (i < rest.size() && (rest[i] == ',' || rest[i] == ';')) ++i;
  while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
  return rest.substr(i);
}

class ConvertJob {
 public:
  explicit ConvertJob(ConvertSettings s)
      : s_(std::move(s)),
        converter_(s_.from, s_.to, s_.westPositive, s_.zgs),
        out_(STDOUT_FILENO),
        report_(s_.files.size() > 1) {}

  int Run();

 private:
  void RunPlain(LineReader& in);
  void RunCsv(LineReader& in);

  void Coordinate(std::string& out, double v) const {
    char text[kMaxFixedChars];
    out.append(text, FormatFixed(text, v, s_.precision));
  }
  void JsonStart(std::uint64_t line);
  void JsonPoint(const ConvertedPoint& pt);
  void Failed(std::uint64_t line, const std::string& message);
  // Writes the input's byte-order mark in front of the output, once, before anything else.
  void KeepBom(const LineReader& in) {
    if (bomDecided_) return;
    bomDecided_ = true;
    if (in.bom() && !s_.json) out_.Write(kUtf8Bom);
  }
  void Tick(const LineReader& in) {
    if (bar_ && (in.lineNumber() & 4095) == 0) bar_->Update(in.consumed());
  }

  ConvertSettings s_;
  PointConverter converter_;
  OutputSink out_;
  Reporter report_;
  std::optional<ProgressBar> bar_;
  std::string scratch_;
  std::string fileName_;
  bool stopped_ = false;
  bool bomDecided_ = false;
  // One output cell of a CSV record.
  struct Cell {
    enum Kind { Raw, Number, Text, Empty } kind;
    std::string_view raw;  // Raw: the field as written
    double number;         // Number: a coordinate
    std::string_view text; // Text: a value to quote as needed
  };
  std::vector<Cell> cells_;
  // CSV: the header written for the previous file, to skip an identical one.
  std::string lastHeader_;
};

void ConvertJob::JsonStart(std::uint64_t line) {
  scratch_ += "{";
  if (s_.files.size() > 1) {
    scratch_ += "\"file\":";
    AppendJsonString(scratch_, fileName_);
    scratch_ += ',';
  }
  scratch_ += "\"line\":";
  scratch_ += std::to_string(line);
}

void ConvertJob::JsonPoint(const ConvertedPoint& pt) {
  if (s_.to.IsCarter()) {
    scratch_ += ",\"location\":";
    AppendJsonString(scratch_, pt.location);
  }
  scratch_ += s_.to.Angular() ? ",\"lon\":" : ",\"x\":";
  Coordinate(scratch_, pt.x);
  scratch_ += s_.to.Angular() ? ",\"lat\":" : ",\"y\":";
  Coordinate(scratch_, pt.y);
}

void ConvertJob::Failed(std::uint64_t line, const std::string& message) {
  report_.Fail(line, message);
  if (s_.strict) stopped_ = true;
}

void ConvertJob::RunPlain(LineReader& in) {
  std::string_view line;
  ConvertedPoint pt;
  std::string error;
  while (!stopped_ && in.Next(line)) {
    Tick(in);
    KeepBom(in);
    const LineKind kind = Classify(line);
    if (kind != LineKind::Data) {
      if (!s_.json) {
        out_.Write(line);
        out_.Write(in.outputEnding());
      }
      continue;
    }
    std::string_view separator;
    std::string_view rest;
    const bool ok = converter_.PlaceLine(line, separator, rest) && converter_.Convert(pt);
    if (!ok) {
      error = converter_.error();
      Failed(in.lineNumber(), error);
      if (stopped_) break;
    }
    if (s_.json) {
      scratch_.clear();
      JsonStart(in.lineNumber());
      if (ok) {
        JsonPoint(pt);
        if (const auto r = TrimRest(rest); !r.empty()) {
          scratch_ += ",\"rest\":";
          AppendJsonString(scratch_, r);
        }
      } else {
        scratch_ += ",\"error\":";
        AppendJsonString(scratch_, error);
      }
      scratch_ += "}\n";
      out_.Write(scratch_);
      continue;
    }
    if (ok) {
      if (s_.to.IsCarter()) {
        out_.Write(pt.location);
      } else {
        out_.Fixed(pt.x, s_.precision);
        out_.Write(separator);
        out_.Fixed(pt.y, s_.precision);
      }
      out_.Write(rest);
    }
    out_.Write(in.outputEnding());
  }
}

// Columns of one CSV header: where the coordinates are and what the output calls them.
struct CsvLayout {
  std::size_t x = 0;          // x, or the Carter location column
  std::ptrdiff_t y = -1;      // y column; -1 when the source is Carter
  std::vector<std::string> names;  // output column names, in output order
  std::string header;         // the output header line
};

std::optional<std::size_t> FindColumn(const std::vector<std::string>& names,
                                      std::initializer_list<std::string_view> wanted) {
  for (const auto w : wanted) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i] == w) return i;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (EqualsIgnoreCase(names[i], w)) return i;
    }
  }
  return std::nullopt;
}

std::string ColumnList(const std::vector<std::string>& names) {
  std::string list;
  for (const auto& n : names) list += (list.empty() ? "" : ", ") + n;
  return list;
}

CsvLayout MakeLayout(const ConvertSettings& s, const std::vector<std::string>& names,
                     const std::string& file) {
  CsvLayout layout;
  auto locate = [&](const std::optional<std::string>& given,
                    std::initializer_list<std::string_view> defaults, const char* what) {
    const auto at = given ? FindColumn(names, {*given}) : FindColumn(names, defaults);
    if (!at) {
      std::string wanted = given ? "'" + *given + "'" : "";
      if (!given) {
        for (const auto d : defaults) wanted += (wanted.empty() ? "'" : " or '") + std::string(d) + "'";
      }
      throw UsageError(file + ": the CSV header has no " + what + " column " + wanted +
                       " (columns: " + ColumnList(names) + ")");
    }
    return *at;
  };
  if (s.from.IsCarter()) {
    layout.x = locate(s.xCol, {"carter", "location"}, "Carter location");
  } else {
    layout.x = locate(s.xCol, {"x", "lon"}, "x");
    layout.y = static_cast<std::ptrdiff_t>(locate(s.yCol, {"y", "lat"}, "y"));
    if (layout.y == static_cast<std::ptrdiff_t>(layout.x)) {
      throw UsageError(file + ": x and y name the same CSV column");
    }
  }
  const bool autoNamed = !s.xCol;
  const std::string xName = s.to.Angular() ? "lon" : "x";
  const std::string yName = s.to.Angular() ? "lat" : "y";
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i == layout.x) {
      if (s.to.IsCarter()) {
        layout.names.push_back(autoNamed ? "carter" : names[i]);
      } else if (s.from.IsCarter()) {
        layout.names.push_back(xName);
        layout.names.push_back(yName);
      } else {
        layout.names.push_back(autoNamed ? xName : names[i]);
      }
    } else if (static_cast<std::ptrdiff_t>(i) == layout.y) {
      if (!s.to.IsCarter()) layout.names.push_back(s.yCol ? names[i] : yName);
    } else {
      layout.names.push_back(names[i]);
    }
  }
  for (std::size_t i = 0; i < layout.names.size(); ++i) {
    if (i > 0) layout.header += ',';
    AppendCsvField(layout.header, layout.names[i]);
  }
  return layout;
}

void ConvertJob::RunCsv(LineReader& in) {
  std::optional<CsvLayout> layout;
  CsvReader reader(in);
  reader.CommentsAllowed(true);
  CsvRecord record;
  ConvertedPoint pt;
  std::string error;
  while (!stopped_ && reader.Next(record)) {
    Tick(in);
    KeepBom(in);
    const std::uint64_t first = record.line;
    const std::vector<std::string_view>& fields = record.fields;
    if (record.kind != LineKind::Data) {
      if (!s_.json) {
        out_.Write(record.text);
        out_.Write(record.ending);
      }
      continue;
    }
    if (!layout) {
      if (!record.error.empty()) {
        throw UsageError(in.name() + ":" + std::to_string(first) +
                         ": malformed CSV header: " + record.error);
      }
      std::vector<std::string> names;
      names.reserve(fields.size());
      for (const auto f : fields) names.push_back(CsvValue(f));
      layout = MakeLayout(s_, names, in.name());
      reader.CommentsAllowed(false);
      if (!s_.json && layout->header != lastHeader_) {
        out_.Write(layout->header);
        out_.Write(record.ending);
      }
      lastHeader_ = layout->header;
      continue;
    }
    if (!record.error.empty()) {
      // The fields of a damaged record are not known: it is written as a record of empty
      // fields, one per output column, so the records stay aligned.
      Failed(first, "malformed CSV: " + record.error);
      if (stopped_) break;
      if (s_.json) {
        scratch_.clear();
        JsonStart(first);
        scratch_ += ",\"error\":";
        AppendJsonString(scratch_, "malformed CSV: " + record.error);
        scratch_ += "}\n";
        out_.Write(scratch_);
      } else {
        scratch_.assign(layout->names.empty() ? 0 : layout->names.size() - 1, ',');
        out_.Write(scratch_);
        out_.Write(record.ending);
      }
      continue;
    }
    bool ok = true;
    const std::size_t need =
        std::max<std::size_t>(layout->x, layout->y < 0 ? 0 : static_cast<std::size_t>(layout->y)) + 1;
    if (fields.size() < need) {
      ok = false;
      error = "the record has " + std::to_string(fields.size()) + " fields, the coordinates need " +
              std::to_string(need);
    } else {
      ok = (s_.from.IsCarter()
                ? converter_.PlaceLocation(CsvValue(fields[layout->x]))
                : converter_.PlaceValues(CsvValue(fields[layout->x]),
                                         CsvValue(fields[static_cast<std::size_t>(layout->y)]))) &&
           converter_.Convert(pt);
      if (!ok) error = converter_.error();
    }
    if (!ok) {
      Failed(first, error);
      if (stopped_) break;
    }
    // The output cells in order: the coordinates in place of the input's, others as written.
    cells_.clear();
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i == layout->x) {
        if (s_.to.IsCarter()) {
          cells_.push_back({Cell::Text, {}, 0.0, ok ? std::string_view(pt.location) : ""});
        } else {
          cells_.push_back({ok ? Cell::Number : Cell::Empty, {}, pt.x, {}});
          if (s_.from.IsCarter()) cells_.push_back({ok ? Cell::Number : Cell::Empty, {}, pt.y, {}});
        }
      } else if (static_cast<std::ptrdiff_t>(i) == layout->y) {
        if (!s_.to.IsCarter()) cells_.push_back({ok ? Cell::Number : Cell::Empty, {}, pt.y, {}});
      } else {
        cells_.push_back({Cell::Raw, fields[i], 0.0, {}});
      }
    }
    scratch_.clear();
    if (s_.json) {
      JsonStart(first);
      if (!ok) {
        scratch_ += ",\"error\":";
        AppendJsonString(scratch_, error);
      } else {
        for (std::size_t c = 0; c < cells_.size(); ++c) {
          scratch_ += ',';
          AppendJsonString(scratch_, c < layout->names.size() ? layout->names[c]
                                                              : "column" + std::to_string(c + 1));
          scratch_ += ':';
          const Cell& cell = cells_[c];
          if (cell.kind == Cell::Number) Coordinate(scratch_, cell.number);
          else if (cell.kind == Cell::Text) AppendJsonString(scratch_, cell.text);
          else AppendJsonString(scratch_, CsvValue(cell.raw));
        }
      }
      scratch_ += "}\n";
    } else {
      for (std::size_t c = 0; c < cells_.size(); ++c) {
        if (c > 0) scratch_ += ',';
        const Cell& cell = cells_[c];
        if (cell.kind == Cell::Number) Coordinate(scratch_, cell.number);
        else if (cell.kind == Cell::Text) AppendCsvField(scratch_, cell.text);
        else if (cell.kind == Cell::Raw) scratch_.append(cell.raw);
      }
      scratch_ += record.ending;
    }
    out_.Write(scratch_);
  }
}

int ConvertJob::Run() {
  if (!CheckInputs(s_.files)) return kExitUsage;
  if (s_.verbose) {
    ErrorLine("lantrel: from " + Describe(s_.from) + "\n");
    ErrorLine("lantrel: to   " + Describe(s_.to) + "\n");
  }
  for (const auto& f : s_.files) {
    if (stopped_) break;
    LineReader in(f);
    report_.SetFile(in.name());
    fileName_ = in.name();
    const bool wantBar = s_.progress == ProgressMode::On
                             ? in.regular()
                             : s_.progress == ProgressMode::Auto && WantProgress(in);
    if (wantBar) {
      bar_.emplace("lantrel: " + in.name(), in.size());
      report_.SetProgress(&*bar_);
    }
    if (s_.csv) RunCsv(in);
    else RunPlain(in);
    if (bar_) bar_->Update(in.consumed());
    out_.Flush();
    report_.SetProgress(nullptr);
    bar_.reset();
  }
  out_.Flush();
  return report_.failures() > 0 ? kExitFailed : kExitOk;
}

}  // namespace

int RunConvert(const std::vector<std::string>& args) {
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") {
      PrintHelp(HelpTopic::Convert);
      return kExitOk;
    }
    if (a == "--") break;
  }
  ConvertJob job(ParseConvertOptions(args));
  return job.Run();
}

}  // namespace lantrel::cli
