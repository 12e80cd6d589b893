// lantrel convert: reads points line by line (plain or CSV), converts them in blocks through the
// library's transformer where it can and with one reusable position object otherwise, and
// writes one output line per input line, in order.
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "block_converter.hpp"
#include "command_line.hpp"
#include "commands.hpp"
#include "coordinate_style.hpp"
#include "csv.hpp"
#include "input_records.hpp"
#include "io.hpp"
#include "json.hpp"
#include "lantrel/angle_text.hpp"
#include "lantrel/coordinate_columns.hpp"
#include "lantrel/number_text.hpp"
#include "lantrel/quoted_text.hpp"
#include "line_fields.hpp"
#include "point_converter.hpp"
#include "point_factors.hpp"
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
  bool dms = false;     // geographic output in degrees, minutes and seconds
  bool strict = false;
  bool acceptDistant = false;
  bool verbose = false;
  bool bareCarter = false;  // a system named "carter" without a datum
  bool keep = false;     // CSV: keep the source coordinate columns beside the new ones
  bool factors = false;  // add the target system's scale factor and convergence
  int precision = 3;
  unsigned threads = 0;  // blocks: 0 every core (large inputs only), 1 one thread
  std::optional<std::string> xCol;
  std::optional<std::string> yCol;
  std::optional<std::string> xName;  // CSV: names of the new coordinate columns
  std::optional<std::string> yName;
  std::optional<char> delimiter;     // CSV: --delimiter; sniffed from each header without it
  ProgressMode progress = ProgressMode::Auto;
  std::vector<std::string> files;
};

System RequireSystem(const CommandLine& o, const char* option) {
  const auto text = o.Value(option);
  if (!text) throw UsageError(std::string("convert needs --") + option + " SYSTEM");
  auto parsed = ParseSystem(*text);
  if (!parsed.system) throw UsageError("--" + std::string(option) + ": " + OneLine(parsed.error));
  return *parsed.system;
}

ConvertSettings ParseConvertOptions(const CommandLine& o) {
  ConvertSettings s;
  s.xCol = o.Value("x-col");
  s.yCol = o.Value("y-col");
  if (const auto c = o.Value("carter-col")) {
    if (s.xCol || s.yCol) throw UsageError("--carter-col excludes --x-col and --y-col");
    s.xCol = c;
    s.csv = true;
  }
  const bool carterColumn = o.Has("carter-col");
  if (carterColumn && !o.Has("from")) {
    s.from = *ParseSystem("carter").system;
    s.bareCarter = true;
  } else {
    s.from = RequireSystem(o, "from");
  }
  s.to = RequireSystem(o, "to");
  for (const char* option : {"from", "to"}) {
    if (const auto text = o.Value(option)) s.bareCarter = s.bareCarter || IsBareCarter(*text);
  }
  // -I: the systems swap roles, so a command line converts back what it converted.
  if (o.Has("inverse")) std::swap(s.from, s.to);
  if (carterColumn && !s.from.IsCarter()) {
    throw UsageError("--carter-col reads Carter locations: the source system must be carter");
  }
  if (const auto d = o.Value("delimiter")) {
    s.delimiter = ParseDelimiter(*d);
    if (!s.delimiter) throw UsageError("--delimiter takes , ; | or tab, not " + Excerpt(*d));
  }
  s.csv = s.csv || o.Has("csv") || s.delimiter || NamedCsv(o.operands());
  s.json = o.Has("json");
  s.westPositive = o.Has("west-positive");
  s.zgs = o.Has("zgs");
  s.strict = o.Has("strict");
  s.acceptDistant = o.Has("accept-distant");
  s.verbose = o.Has("verbose");
  const CoordinateStyle style = ReadCoordinateStyle(o, s.to);
  s.dms = style.dms;
  s.precision = style.precision;
  s.keep = o.Has("keep");
  s.factors = o.Has("factors");
  s.xName = o.Value("x-name");
  s.yName = o.Value("y-name");
  if ((s.xCol || s.yCol) && !s.csv) throw UsageError("--x-col and --y-col need --csv");
  if ((s.xName || s.yName || s.keep) && !s.csv) {
    throw UsageError("--x-name, --y-name and --keep need --csv");
  }
  if (s.yName && s.to.IsCarter()) {
    throw UsageError("--y-name: a Carter location is one column, named by --x-name");
  }
  if (s.yCol && s.from.IsCarter()) {
    throw UsageError("--y-col: a Carter location is one column, named by --x-col");
  }
  if (o.Has("progress") && o.Has("no-progress")) {
    throw UsageError("--progress and --no-progress exclude each other");
  }
  if (o.Has("progress")) s.progress = ProgressMode::On;
  if (o.Has("no-progress")) s.progress = ProgressMode::Off;
  if (const auto t = o.Value("threads")) {
    s.threads = static_cast<unsigned>(IntOption("threads", *t, 0, 256));
  }
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

// Columns of one CSV header: where the coordinates are and what the output holds.
struct CsvLayout {
  std::size_t x = 0;          // x, or the Carter location column
  std::ptrdiff_t y = -1;      // y column; -1 when the source is Carter
  // One output column: an input column copied, or a new value.
  struct Column {
    enum Kind { Input, X, Y, Location, ScaleFactor, Convergence } kind;
    std::size_t input = 0;    // the input column it copies or stands for; a record too short
                              // to hold that column gets no cell for it
  };
  std::vector<Column> columns;     // in output order
  std::vector<std::string> names;  // output column names, in output order
  std::string header;              // the output header line
  std::size_t inputs = 0;          // columns of the input header
};

// The new coordinate columns take the places of the source's (x for x, y for y; a Carter
// location and a pair replace each other at the x column), or with --keep follow them;
// they are named after the target system (lon/lat, x/y, carter) unless --x-name/--y-name say
// otherwise. Factor columns come last.
CsvLayout MakeLayout(const ConvertSettings& s, const std::vector<std::string>& names,
                     const CoordinateColumns& found, const std::string& file, char delimiter) {
  CsvLayout layout;
  layout.inputs = names.size();
  layout.x = found.x;
  layout.y = found.y ? static_cast<std::ptrdiff_t>(*found.y) : -1;
  using Column = CsvLayout::Column;
  const std::size_t x = layout.x;
  const std::size_t y = layout.y < 0 ? x : static_cast<std::size_t>(layout.y);
  const std::size_t last = std::max(x, y);
  const std::string xName = s.xName.value_or(s.to.IsCarter() ? "carter" : s.to.Angular() ? "lon" : "x");
  const std::string yName = s.yName.value_or(s.to.Angular() ? "lat" : "y");
  auto add = [&](Column::Kind kind, std::size_t source, const std::string& name) {
    layout.columns.push_back({kind, source});
    layout.names.push_back(name);
  };
  // Both new columns at one place (Carter involved, or --keep).
  auto addNew = [&] {
    if (s.to.IsCarter()) {
      add(Column::Location, x, xName);
    } else {
      add(Column::X, x, xName);
      add(Column::Y, y, yName);
    }
  };
  const bool inPlace = !s.keep && !s.to.IsCarter() && !s.from.IsCarter();
  for (std::size_t i = 0; i < names.size(); ++i) {
    const bool coordinate = i == x || i == y;
    if (inPlace && coordinate) {
      if (i == x) add(Column::X, x, xName);
      else add(Column::Y, y, yName);
      continue;
    }
    if (coordinate && !s.keep) {
      if (i == x) addNew();
      continue;
    }
    add(Column::Input, i, names[i]);
    if (s.keep && i == last) addNew();
  }
  if (s.factors) {
    add(Column::ScaleFactor, last, std::string(kFactorFieldNames[0]));
    add(Column::Convergence, last, std::string(kFactorFieldNames[1]));
  }
  // A name written twice would make the output ambiguous to every reader.
  for (std::size_t a = 0; a < layout.names.size(); ++a) {
    for (std::size_t b = a + 1; b < layout.names.size(); ++b) {
      if (EqualsIgnoreCase(layout.names[a], layout.names[b]) &&
          (layout.columns[a].kind != Column::Input || layout.columns[b].kind != Column::Input)) {
        throw UsageError(file + ": the output would have two columns named " +
                         Excerpt(layout.names[b]) + "; name the new ones with --x-name and --y-name");
      }
    }
  }
  for (std::size_t i = 0; i < layout.names.size(); ++i) {
    if (i > 0) layout.header += delimiter;
    AppendCsvField(layout.header, layout.names[i], delimiter);
  }
  return layout;
}

// Records per block: the first block small, so a short input stays on one thread and its first
// answers come at once; the later ones large enough for the library to spread them over threads
// (unless --threads 1).
struct BlockLines {
  static constexpr std::size_t kFirst = 4096;
  explicit BlockLines(unsigned threads)
      : most(threads == 1 ? kFirst : 2 * kArrayThreadThreshold) {}
  std::size_t most;         // the largest block
  std::size_t now = kFirst;  // the current block's size
  void Filled() { now = most; }
};

class ConvertJob {
 public:
  explicit ConvertJob(ConvertSettings s)
      : s_(std::move(s)),
        converter_(s_.from, s_.to, s_.westPositive, s_.zgs),
        out_(STDOUT_FILENO),
        report_(s_.files.size() > 1) {
    rules_.csv = s_.csv;
    rules_.delimiter = s_.delimiter;
    rules_.columns = ColumnRequest{s_.xCol, s_.yCol, s_.from.IsCarter()};
    converter_.AcceptDistant(s_.acceptDistant);
    // Plain lines and CSV records between pair systems go through the transformer in blocks
    // (plain lines not for JSON output).
    if ((s_.csv || !s_.json) && !s_.factors && !s_.dms &&
        BlockConverter::Supports(s_.from, s_.to)) {
      try {
        blocks_.emplace(s_.from, s_.to, s_.westPositive, s_.acceptDistant, s_.threads);
      } catch (const Error&) {
        // The library refuses the pair of systems for arrays: stay line by line.
      }
    }
  }

  int Run();

 private:
  void RunPlain(LineReader& in, InputRecords& records);
  void RunPlainBlocks(LineReader& in, InputRecords& records);
  void PlainLine(const InputRecord& record);
  void RunCsv(LineReader& in, InputRecords& records);
  void RunCsvBlocks(LineReader& in, InputRecords& records);
  // Handles a blank, comment or header record; false when it is a data record.
  bool CsvFrame(const LineReader& in, const InputRecord& record, InputRecords& records);
  // Writes a CSV data record: damaged, failed (ok false, error saying why) or converted to pt.
  void WriteCsvRecord(const InputRecord& record, const std::string_view* fields, std::size_t count,
                 char delimiter, bool ok, const ConvertedPoint& pt, const std::string& error);

  void Coordinate(std::string& out, double v) const {
    char text[kMaxFixedChars];
    out.append(text, FormatFixed(text, v, s_.precision));
  }
  // A geographic coordinate as 84°52′23.88000″W (--dms): the letter gives the sign, whatever
  // the west convention of decimal output.
  std::string_view Dms(std::string& buffer, double v, bool longitude) const {
    if (longitude && s_.westPositive) v = -v;
    char text[kMaxDmsChars];
    buffer.assign(text, FormatDms(text, v, longitude, s_.precision));
    return buffer;
  }
  void Shortest(std::string& out, double v) const {
    char text[kMaxShortestChars];
    out.append(text, FormatShortest(text, v));
  }
  // Converts the placed point; with --factors also reads the target system's factors.
  bool ConvertPlaced(ConvertedPoint& pt, std::string& error);
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
  TextInputRules rules_;
  PointConverter converter_;
  std::optional<BlockConverter> blocks_;  // plain text between pair systems
  ConvertedPoint point_;
  OutputSink out_;
  Reporter report_;
  std::optional<ProgressBar> bar_;
  std::string scratch_;
  std::string fileName_;
  bool stopped_ = false;
  bool bomDecided_ = false;
  // One output cell of a CSV record.
  struct Cell {
    enum Kind { Raw, Number, Factor, Text, Empty, Missing } kind;  // Missing: beyond a short record
    std::string_view raw;  // Raw: the field as written
    double number;         // Number: a coordinate
    std::string_view text; // Text: a value to quote as needed
  };
  std::vector<Cell> cells_;
  // --dms: the texts of the current point's longitude and latitude.
  std::string dmsX_, dmsY_;
  std::optional<PointFactors> factors_;  // of the point last converted, with --factors
  // CSV: the header written for the previous file, to skip an identical one.
  std::string lastHeader_;
  // CSV: the output columns of the current header.
  std::optional<CsvLayout> layout_;
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
  if (s_.dms) AppendJsonString(scratch_, Dms(dmsX_, pt.x, true));
  else Coordinate(scratch_, pt.x);
  scratch_ += s_.to.Angular() ? ",\"lat\":" : ",\"y\":";
  if (s_.dms) AppendJsonString(scratch_, Dms(dmsY_, pt.y, false));
  else Coordinate(scratch_, pt.y);
  if (factors_) {
    scratch_ += ",\"scale_factor\":";
    Shortest(scratch_, factors_->scaleFactor);
    scratch_ += ",\"convergence\":";
    Shortest(scratch_, factors_->convergence);
  }
}

bool ConvertJob::ConvertPlaced(ConvertedPoint& pt, std::string& error) {
  factors_.reset();
  if (!converter_.Convert(pt)) {
    error = converter_.error();
    return false;
  }
  if (s_.factors) {
    try {
      factors_ = ReadFactors(converter_.position());
    } catch (const Error& e) {
      error = DescribeLibraryError(e);
      return false;
    }
  }
  return true;
}

void ConvertJob::Failed(std::uint64_t line, const std::string& message) {
  report_.Fail(line, message);
  if (s_.strict) stopped_ = true;
}

void ConvertJob::RunPlain(LineReader& in, InputRecords& records) {
  if (blocks_ && !s_.json) {
    RunPlainBlocks(in, records);
    return;
  }
  InputRecord record;
  while (!stopped_ && records.Next(record)) {
    Tick(in);
    KeepBom(in);
    PlainLine(record);
  }
}

void ConvertJob::PlainLine(const InputRecord& record) {
  const std::string_view ending = record.ending;
  const std::uint64_t number = record.line;
  if (record.kind != InputRecord::Kind::Point) {
    if (!s_.json) {
      out_.Write(record.text);
      out_.Write(ending);
    }
    return;
  }
  const std::string_view separator = record.separator;
  const std::string_view rest = record.rest;
  ConvertedPoint& pt = point_;
  std::string error = record.error;
  bool ok = record.placed && ConvertPlaced(pt, error);
  if (!ok) {
    Failed(number, error);
    if (stopped_) return;
  }
  if (s_.json) {
    scratch_.clear();
    JsonStart(number);
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
    return;
  }
  if (ok) {
    if (s_.to.IsCarter()) {
      out_.Write(pt.location);
    } else if (s_.dms) {
      out_.Write(Dms(dmsX_, pt.x, true));
      out_.Write(separator);
      out_.Write(Dms(dmsY_, pt.y, false));
    } else {
      out_.Fixed(pt.x, s_.precision);
      out_.Write(separator);
      out_.Fixed(pt.y, s_.precision);
    }
    if (factors_) {
      // The factors follow the coordinates, separated as they are.
      const std::string_view between = s_.to.IsCarter() ? std::string_view(" ") : separator;
      scratch_.clear();
      scratch_.append(between);
      Shortest(scratch_, factors_->scaleFactor);
      scratch_.append(between);
      Shortest(scratch_, factors_->convergence);
      out_.Write(scratch_);
    }
    out_.Write(rest);
    out_.Write(ending);
  } else {
    out_.EndEmptyLine(ending);
  }
}

// Plain lines in blocks: the lines of a block are copied, their pairs read and converted
// together, and the lines written in order. A line the block does not convert (unreadable,
// refused, failing) goes through PlainLine, so output and messages are those of the
// line-by-line path. An input that fills its first block goes on in blocks large enough for
// the library to spread them over threads (unless --threads 1).
void ConvertJob::RunPlainBlocks(LineReader& in, InputRecords& records) {
  BlockLines lines(s_.threads);
  struct Entry {
    std::size_t offset, length;  // the line in text
    std::string_view ending;
    std::uint64_t number;
    bool data;       // a data line whose pair was read
    std::size_t sepOffset, sepLength, restOffset, restLength;
    std::size_t point;  // index into the block's arrays
  };
  std::vector<Entry> entries;
  std::string text;
  std::vector<double> xs, ys, outX, outY;
  std::unique_ptr<bool[]> done(new bool[lines.most]);
  entries.reserve(lines.most);
  InputRecord record;
  std::string_view line;
  bool more = true;
  while (more && !stopped_) {
    entries.clear();
    text.clear();
    xs.clear();
    ys.clear();
    while (entries.size() < lines.now && (more = in.Next(line))) {
      KeepBom(in);
      Entry e{text.size(), line.size(), in.outputEnding(), in.lineNumber(), false, 0, 0, 0, 0, 0};
      if (Classify(line) == LineKind::Data) {
        PairFields f;
        if (SplitPair(line, f) == nullptr) {
          const auto x = ParseDecimal(f.x);
          const auto y = ParseDecimal(f.y);
          if (x && y) {
            e.data = true;
            e.sepOffset = text.size() + static_cast<std::size_t>(f.separator.data() - line.data());
            e.sepLength = f.separator.size();
            e.restOffset = text.size() + static_cast<std::size_t>(f.rest.data() - line.data());
            e.restLength = f.rest.size();
            e.point = xs.size();
            xs.push_back(*x);
            ys.push_back(*y);
          }
        }
      }
      text.append(line);
      entries.push_back(e);
    }
    if (bar_) bar_->Update(in.consumed());
    outX.resize(xs.size());
    outY.resize(xs.size());
    blocks_->Convert(xs.size(), xs.data(), ys.data(), outX.data(), outY.data(), done.get());
    lines.Filled();
    for (const Entry& e : entries) {
      if (stopped_) break;
      if (e.data && done[e.point]) {
        out_.Fixed(outX[e.point], s_.precision);
        out_.Write(std::string_view(text).substr(e.sepOffset, e.sepLength));
        out_.Fixed(outY[e.point], s_.precision);
        if (e.restLength > 0) out_.Write(std::string_view(text).substr(e.restOffset, e.restLength));
        out_.Write(e.ending);
      } else {
        records.ReadLine(std::string_view(text).substr(e.offset, e.length), e.ending, e.number, record);
        PlainLine(record);
      }
    }
  }
}

bool ConvertJob::CsvFrame(const LineReader& in, const InputRecord& record,
                          InputRecords& records) {
  if (record.kind == InputRecord::Kind::Other) {
    if (!s_.json) {
      out_.Write(record.text);
      out_.Write(record.ending);
    }
    return true;
  }
  if (record.kind != InputRecord::Kind::Header) return false;
  std::optional<CsvLayout>& layout = layout_;
  layout = MakeLayout(s_, records.names(), records.columns(), ShownName(in.name()),
                      records.delimiter());
  if (!s_.json && layout->header != lastHeader_) {
    out_.Write(layout->header);
    out_.Write(record.ending);
  }
  lastHeader_ = layout->header;
  return true;
}

void ConvertJob::WriteCsvRecord(const InputRecord& record, const std::string_view* fields,
                           std::size_t count, char delimiter, bool ok, const ConvertedPoint& pt,
                           const std::string& error) {
  const CsvLayout& layout = *layout_;
  const std::uint64_t first = record.line;
  scratch_.clear();
  if (record.damaged) {
    // Which value belongs to which column is not known: the record is written as a record
    // of empty fields, one per output column, so the records stay aligned.
    if (s_.json) {
      JsonStart(first);
      scratch_ += ",\"error\":";
      AppendJsonString(scratch_, error);
      scratch_ += "}\n";
    } else {
      EmptyCsvRecord(scratch_, layout.names.size(), delimiter);
      scratch_ += record.ending;
    }
    out_.Write(scratch_);
    return;
  }
  // The output cells in layout order.
  cells_.clear();
  using Column = CsvLayout::Column;
  for (const Column& column : layout.columns) {
    if (column.input >= count) {
      cells_.push_back({Cell::Missing, {}, 0.0, {}});
      continue;
    }
    switch (column.kind) {
      case Column::Input:
        cells_.push_back({Cell::Raw, fields[column.input], 0.0, {}});
        break;
      case Column::X:
      case Column::Y: {
        const bool x = column.kind == Column::X;
        const double v = x ? pt.x : pt.y;
        if (!ok) cells_.push_back({Cell::Empty, {}, 0.0, {}});
        else if (s_.dms) cells_.push_back({Cell::Text, {}, 0.0, Dms(x ? dmsX_ : dmsY_, v, x)});
        else cells_.push_back({Cell::Number, {}, v, {}});
        break;
      }
      case Column::Location:
        cells_.push_back({Cell::Text, {}, 0.0, ok ? std::string_view(pt.location) : ""});
        break;
      case Column::ScaleFactor:
      case Column::Convergence:
        cells_.push_back({ok ? Cell::Factor : Cell::Empty, {}, !factors_ ? 0.0
                          : column.kind == Column::ScaleFactor ? factors_->scaleFactor
                                                               : factors_->convergence, {}});
        break;
    }
  }
  if (s_.json) {
    JsonStart(first);
    if (!ok) {
      scratch_ += ",\"error\":";
      AppendJsonString(scratch_, error);
    } else {
      for (std::size_t c = 0; c < cells_.size(); ++c) {
        const Cell& cell = cells_[c];
        if (cell.kind == Cell::Missing) continue;
        scratch_ += ',';
        AppendJsonString(scratch_, layout.names[c]);
        scratch_ += ':';
        if (cell.kind == Cell::Number) Coordinate(scratch_, cell.number);
        else if (cell.kind == Cell::Factor) Shortest(scratch_, cell.number);
        else if (cell.kind == Cell::Text) AppendJsonString(scratch_, cell.text);
        else AppendJsonString(scratch_, CsvValue(cell.raw));
      }
    }
    scratch_ += "}\n";
  } else {
    bool lead = true;
    for (const Cell& cell : cells_) {
      if (cell.kind == Cell::Missing) continue;
      if (!lead) scratch_ += delimiter;
      lead = false;
      if (cell.kind == Cell::Number) Coordinate(scratch_, cell.number);
      else if (cell.kind == Cell::Factor) Shortest(scratch_, cell.number);
      else if (cell.kind == Cell::Text) AppendCsvField(scratch_, cell.text, delimiter);
      else if (cell.kind == Cell::Raw) scratch_.append(cell.raw);
    }
    // A failed record too short to hold any other cell is written as empty fields, one per
    // output column ("" for one column): an empty line is no record to CSV readers.
    if (scratch_.empty()) EmptyCsvRecord(scratch_, layout.names.size(), delimiter);
    scratch_ += record.ending;
  }
  out_.Write(scratch_);
}

void ConvertJob::RunCsv(LineReader& in, InputRecords& records) {
  layout_.reset();
  if (blocks_) {
    RunCsvBlocks(in, records);
    return;
  }
  InputRecord record;
  ConvertedPoint pt;
  std::string error;
  while (!stopped_ && records.Next(record)) {
    Tick(in);
    KeepBom(in);
    if (CsvFrame(in, record, records)) continue;
    error = record.error;
    const bool ok = !record.damaged && record.placed && ConvertPlaced(pt, error);
    if (!ok) {
      Failed(record.line, error);
      if (stopped_) break;
    }
    WriteCsvRecord(record, record.fields->data(), record.fields->size(), records.delimiter(), ok, pt,
              error);
  }
}

namespace {

// A CSV field's value when it is written without quotes (blanks around it dropped); a quoted
// one is unquoted into `buffer`.
std::string_view FieldValue(std::string_view raw, std::string& buffer) {
  while (!raw.empty() && (raw.front() == ' ' || raw.front() == '\t')) raw.remove_prefix(1);
  while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\t')) raw.remove_suffix(1);
  if (raw.empty() || raw.front() != '"') return raw;
  buffer = CsvValue(raw);
  return buffer;
}

// A coordinate the block reads as the record-by-record path would: a decimal number; for a
// geographic source only the plain form [-]digits[.digits], which the angle reader takes as
// that same number (exponents, '+' and the like are left to the angle reader).
std::optional<double> BlockValue(std::string_view value, bool geographic) {
  if (geographic) {
    std::size_t i = !value.empty() && value[0] == '-' ? 1 : 0;
    bool digits = false, point = false;
    for (; i < value.size(); ++i) {
      const char c = value[i];
      if (c >= '0' && c <= '9') digits = true;
      else if (c == '.' && !point) point = true;
      else return std::nullopt;
    }
    if (!digits) return std::nullopt;
  }
  return ParseDecimal(value);
}

}  // namespace

// CSV records in blocks: the data records of a block are copied, their coordinates read and
// converted together, and the records written in order. A record the block does not convert
// (damaged, too short, unreadable, refused, failing) is placed and converted on its own, so
// output and messages are those of the record-by-record path. A blank line or the header
// ends the block before it is handled.
void ConvertJob::RunCsvBlocks(LineReader& in, InputRecords& records) {
  BlockLines lines(s_.threads);
  struct Entry {
    InputRecord record;               // text, fields and error refer to the block's copies
    std::size_t textOffset, fieldOffset, fieldCount;
    std::size_t point;                // index into the block's arrays, or kNone
  };
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  records.PlaceLater(true);
  std::vector<Entry> entries;
  std::string text;                   // the records' texts, one after the other
  std::vector<std::size_t> fieldSpans;  // per field: offset in text, length
  std::vector<std::string_view> fields;
  std::vector<double> xs, ys, outX, outY;
  std::unique_ptr<bool[]> done(new bool[lines.most]);
  std::string xBuffer, yBuffer;
  ConvertedPoint pt;
  std::string error;
  InputRecord record;
  entries.reserve(lines.most);
  const bool geographic = s_.from.Angular();

  auto flush = [&] {
    if (entries.empty()) return;
    if (bar_) bar_->Update(in.consumed());
    outX.resize(xs.size());
    outY.resize(xs.size());
    blocks_->Convert(xs.size(), xs.data(), ys.data(), outX.data(), outY.data(), done.get());
    lines.Filled();
    fields.resize(fieldSpans.size() / 2);
    for (std::size_t f = 0; f < fields.size(); ++f) {
      fields[f] = std::string_view(text).substr(fieldSpans[2 * f], fieldSpans[2 * f + 1]);
    }
    const char delimiter = records.delimiter();
    for (Entry& e : entries) {
      if (stopped_) break;
      InputRecord& r = e.record;
      r.text = std::string_view(text).substr(e.textOffset, r.text.size());
      const std::string_view* f = fields.data() + e.fieldOffset;
      bool ok;
      if (e.point != kNone && done[e.point]) {
        if (!s_.json) {
          // Straight into the output: the record holds every coordinate column (it was
          // read), and the layout has only input and coordinate columns.
          bool lead = true;
          for (const CsvLayout::Column& column : layout_->columns) {
            if (column.input >= e.fieldCount) continue;
            if (!lead) out_.Put(delimiter);
            lead = false;
            if (column.kind == CsvLayout::Column::Input) out_.Write(f[column.input]);
            else out_.Fixed(column.kind == CsvLayout::Column::X ? outX[e.point] : outY[e.point],
                            s_.precision);
          }
          out_.Write(r.ending);
          continue;
        }
        pt.x = outX[e.point];
        pt.y = outY[e.point];
        ok = true;
        factors_.reset();
      } else {
        if (!r.damaged && r.error.empty()) records.PlaceCsvPoint(f, r);
        error = r.error;
        ok = !r.damaged && r.placed && ConvertPlaced(pt, error);
      }
      if (!ok) {
        Failed(r.line, error);
        if (stopped_) break;
      }
      WriteCsvRecord(r, f, e.fieldCount, delimiter, ok, pt, error);
    }
    entries.clear();
    text.clear();
    fieldSpans.clear();
    xs.clear();
    ys.clear();
  };

  while (!stopped_ && records.Next(record)) {
    KeepBom(in);
    if (record.kind != InputRecord::Kind::Point) {
      flush();
      if (stopped_) break;
      CsvFrame(in, record, records);
      continue;
    }
    Entry e{record, text.size(), fieldSpans.size() / 2, record.fields->size(), kNone};
    e.record.fields = nullptr;
    const std::string_view base = record.text;
    for (const std::string_view field : *record.fields) {
      fieldSpans.push_back(text.size() + static_cast<std::size_t>(field.data() - base.data()));
      fieldSpans.push_back(field.size());
    }
    text.append(base);
    // A record that fits the header with both values plain decimals goes into the block.
    if (!record.damaged && record.error.empty()) {
      const auto& columns = records.columns();
      const auto x = BlockValue(FieldValue((*record.fields)[columns.x], xBuffer), geographic);
      const auto y = x ? BlockValue(FieldValue((*record.fields)[*columns.y], yBuffer), geographic)
                       : std::nullopt;
      if (x && y) {
        e.point = xs.size();
        xs.push_back(*x);
        ys.push_back(*y);
      }
    }
    entries.push_back(std::move(e));
    if (entries.size() == lines.now) flush();
  }
  flush();
  records.PlaceLater(false);
}

int ConvertJob::Run() {
  if (!CheckInputs(s_.files)) return kExitUsage;
  if (s_.verbose) {
    ErrorLine("lantrel: from " + Describe(s_.from) + "\n");
    ErrorLine("lantrel: to   " + Describe(s_.to) + "\n");
    if (s_.bareCarter) ErrorLine(std::string(kBareCarterNote));
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
      bar_.emplace("lantrel: " + ShownName(in.name()), in.size());
      report_.SetProgress(&*bar_);
    }
    InputRecords records(in, rules_, converter_);
    if (s_.csv) RunCsv(in, records);
    else RunPlain(in, records);
    if (bar_) bar_->Update(in.consumed());
    out_.Flush();
    report_.SetProgress(nullptr);
    bar_.reset();
  }
  out_.Flush();
  return report_.failures() > 0 ? kExitFailed : kExitOk;
}

// The vector-file options; a plain-text job refuses them.
void RefuseVectorOptions(const CommandLine& o) {
  for (const char* n : {"layer", "output-layer", "overwrite", "append"}) {
    if (o.Has(n)) throw UsageError(std::string("--") + n + " belongs to a vector file job (-o OUT IN)");
  }
}

}  // namespace

CommandLine ConvertCommandLine() {
  CommandLine c("convert",
      "usage: lantrel convert --from SYSTEM --to SYSTEM [OPTIONS] [FILE ...]\n"
      "       lantrel convert --to SYSTEM [--from SYSTEM] [OPTIONS] -o OUT IN\n"
      "\n"
      "Reads points from the files (or standard input, also given as -) and writes the converted\n"
      "points to standard output: one line in, one line out, in order.\n"
      "\n"
      "SYSTEM is PROJECTION[/DATUM[/UNITS]] or EPSG:CODE ('lantrel systems' lists them; EPSG:4326\n"
      "and OGC:CRS84 are read as geographic NAD 83, good to a few metres):\n"
      "  projections  single north south utm16 utm17 geographic (geo) carter mo-east il-west\n"
      "               il-east in-west in-east oh-south wv-south va-south tn, the enumeration\n"
      "               names (zrNorthZone, moEastZone, ...) or the codes 0-15\n"
      "  datums       nad83 (default) nad27; carter alone means carter/nad27 (the state's\n"
      "               definition of a Carter location)\n"
      "  units        deg usft m ft (international foot) mi km; default: US survey feet for the\n"
      "               state-plane zones, metres for UTM, degrees for geographic and Carter\n"
      "\n"
      "Input lines hold x and y separated by blanks, a comma or a semicolon; further columns are\n"
      "copied unchanged. Blank lines and lines starting with # are copied. Geographic input is\n"
      "longitude then latitude; west longitudes may be written negative or positive, and degrees,\n"
      "minutes and seconds with hemisphere letters are read: 84d52'23.88\"W, 84°52′23.88″ W,\n"
      "84:52:23.88W, N38 12 03.24. Numbers separated by blanks need the letter: a line such as\n"
      "-84 52 23.88 38 12 3.24 is refused as ambiguous rather than read as -84, 52. Carter input\n"
      "is a location string such as D45-07 1200-FNL 350-FWL (either layout is read).\n"
      "\n",
      "Vector files (GeoPackage, Shapefile, GeoJSON, FlatGeobuf, CSV; read and written through\n"
      "GDAL): the point layer of IN is written to OUT with every attribute. The geometry is\n"
      "written in the target system, with its EPSG code as the layer's coordinate system where\n"
      "one exists; CSV output and layers whose coordinates are attribute fields get new\n"
      "coordinate columns as with --csv. GeoJSON is RFC 7946 for geo/nad83 targets and carries\n"
      "a crs member otherwise. A feature that fails keeps its attributes, gets an empty geometry\n"
      "and is reported as IN:FID: message; other geometry than points is such a failure.\n"
      "CSV input is read as by --csv, one feature per record. An existing GeoPackage OUT gains a\n"
      "layer (refused when it has one of that name, unless --overwrite or --append); another\n"
      "existing OUT is refused unless --overwrite; OUT may not be a file of IN, a link, a device\n"
      "or a folder. A job that fails (damaged input, a failed write) leaves OUT as it was; what\n"
      "the format cannot hold (M values in GeoJSON, text over 254 bytes in a Shapefile field) is\n"
      "counted and the exit status is 1.\n"
      "\n"
      "A line that fails (unreadable numbers, values out of range, a datum change outside the\n"
      "NAD 27/NAD 83 shift window 81.5-90 W, 36-39.5 N, a point outside the Carter grid, an\n"
      "arithmetic error) is reported on standard error as LINE: message (FILE:LINE: message with\n"
      "several files), with the library's error number and description where there is one; its\n"
      "output line is left empty, and the exit status is 1.\n"
      "\n"
      "Examples:\n"
      "  echo \"-84.8733 38.2009\" | lantrel convert --from geo --to north\n"
      "  lantrel convert -f north/nad27/usft -t utm16/nad83/m survey.txt\n"
      "  lantrel convert -f EPSG:4269 -t EPSG:2246 -p 2 points.txt\n"
      "  lantrel convert -f geo -t carter --zgs wells.txt\n"
      "  lantrel convert --csv -f geo -t south/nad83/m --x-col LONG --y-col LAT sites.csv\n"
      "  lantrel convert --csv -f geo -t north --keep --factors wells.csv\n"
      "  lantrel convert -t north -o wells_north.gpkg wells.gpkg\n"
      "  lantrel convert -f north/nad27 -t geo/nad27 --dms -p 2 survey.txt\n");
  c.Option("-f,--from", "SYSTEM",
           "system of the input points (required, except for a vector layer\n"
           "whose coordinate system is one of the EPSG codes served)");
  c.Option("-t,--to", "SYSTEM",
           "system to convert to (required)");
  c.Flag("-I,--inverse",
         "swap --from and --to");
  c.Option("-p,--precision", "N",
           "decimals written (default 3 for linear units, 9 for degrees)");
  c.Flag("--west-positive",
         "write west longitudes positive (default: negative)");
  c.Flag("--zgs",
         "write Carter locations in the ZGS layout (1200 FNL  350 FWL 07- D-45)");
  c.Flag("--dms",
         "write longitudes and latitudes as 84°52′23.88000″W 38°12′03.24000″N\n"
         "(geographic targets; -p counts the decimals of the seconds, default 5,\n"
         "at most 12; vector files get them as text fields beside the geometry)");
  c.Flag("--csv",
         "read and write CSV with a header row; other columns are kept\n"
         "(implied when every input file is named *.csv or *.tsv)");
  c.Option("--delimiter", "CHAR",
           "CSV field delimiter: , ; | or tab (implies --csv); without it\n"
           "the header line decides (the one found most often; on a tie tab\n"
           "for *.tsv, else comma); output keeps the input's");
  c.Option("--x-col", "NAME",
           "CSV column of x (default x, else lon; for Carter input: carter,\n"
           "else location)");
  c.Option("--y-col", "NAME",
           "CSV column of y; without them the first usual pair found is used:\n"
           "x/y, lon/lat, long/lat, lng/lat, longitude/latitude,\n"
           "easting/northing, east/north (ignoring case)");
  c.Option("--carter-col", "NAME",
           "CSV column or field holding Carter locations (implies --csv and\n"
           "--from carter)");
  c.Option("--x-name", "NAME",
           "name of the new x column (default: lon for geographic targets,\n"
           "x for plane ones, carter for Carter)");
  c.Option("--y-name", "NAME",
           "name of the new y column (default lat or y)");
  c.Flag("--keep",
         "keep the source coordinate columns beside the new ones");
  c.Flag("--factors",
         "add scale_factor and convergence (degrees) of each point in the\n"
         "TARGET system (1 and 0 for geographic and Carter targets)");
  c.Option("-o,--output", "OUT",
           "write the vector file OUT from the vector file IN (below)");
  c.Option("--format", "NAME",
           "format of OUT: gpkg, shp, geojson, fgb or csv (default: from\n"
           "OUT's extension)");
  c.Option("-l,--layer", "NAME",
           "the layer of IN to read (needed when IN holds several)");
  c.Option("--output-layer", "NAME",
           "name of the layer written to a GeoPackage OUT (default: the input\n"
           "layer's name)");
  c.Flag("--overwrite",
         "replace an existing OUT; of a GeoPackage, only that layer");
  c.Flag("--append",
         "add to the GeoPackage layer of that name");
  c.Flag("--json",
         "write one JSON object per point");
  c.Flag("--strict",
         "stop at the first line that fails");
  c.Flag("--accept-distant",
         "accept points far outside 73-98 W, 33-45 N and Carter\n"
         "footages beyond a section");
  c.Option("--threads", "N",
           "threads for plain-text or CSV input of many points: 0 every core\n"
           "(the default; used from 32768 points on), 1 one thread, N at most N;\n"
           "the output is the same whatever the count");
  c.Flag("--progress",
         "show a progress bar for any regular input file");
  c.Flag("--no-progress",
         "never show a progress bar (default: shown for regular files over\n"
         "4 MiB when standard error is a terminal)");
  c.Flag("-v,--verbose",
         "say which systems the names and EPSG codes stand for");
  return c;
}

int RunConvert(const CommandLine& o) {
  RefuseVectorOptions(o);
  ConvertJob job(ParseConvertOptions(o));
  return job.Run();
}

int RunConvert(const std::vector<std::string>& args) {
  CommandLine o = ConvertCommandLine();
  if (!o.Parse(args)) {
    o.PrintHelp();
    return kExitOk;
  }
  return RunConvert(o);
}

}  // namespace lantrel::cli
