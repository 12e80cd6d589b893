// lantrel locate: adds to each point's record the state, county (with its plane zone),
// quadrangle and Carter location that contain it — appended columns for plain lines, new
// columns for CSV — or writes them as JSON.
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "command_line.hpp"
#include "commands.hpp"
#include "csv.hpp"
#include "input_records.hpp"
#include "io.hpp"
#include "json.hpp"
#include "lantrel/coordinate_columns.hpp"
#include "lantrel/fips_text.hpp"
#include "lantrel/location_fields.hpp"
#include "lantrel/number_text.hpp"
#include "lantrel/quoted_text.hpp"
#include "line_fields.hpp"
#include "point_converter.hpp"
#include "point_factors.hpp"
#include "reference_data.hpp"
#include "report.hpp"
#include "systems.hpp"

namespace lantrel::cli {

namespace {

struct LocateSettings {
  System from;
  bool json = false;
  bool csv = false;
  bool header = false;
  bool factors = false;
  bool zgs = false;
  bool strict = false;
  bool acceptDistant = false;
  bool verbose = false;
  bool bareCarter = false;  // a system named "carter" without a datum
  bool progress = true;
  bool forceProgress = false;
  ColumnRequest columns;
  std::optional<char> delimiter;  // CSV: --delimiter; sniffed from each header without it
  std::optional<std::string> data;
  std::vector<std::string> files;
};

LocateSettings ParseLocateOptions(const CommandLine& o) {
  LocateSettings s;
  if (const auto from = o.Value("from")) {
    auto parsed = ParseSystem(*from);
    if (!parsed.system) throw UsageError("--from: " + OneLine(parsed.error));
    s.from = *parsed.system;
    s.bareCarter = IsBareCarter(*from);
  }
  s.json = o.Has("json");
  if (const auto d = o.Value("delimiter")) {
    s.delimiter = ParseDelimiter(*d);
    if (!s.delimiter) throw UsageError("--delimiter takes , ; | or tab, not " + Excerpt(*d));
  }
  s.csv = o.Has("csv") || s.delimiter || NamedCsv(o.operands());
  s.header = o.Has("header");
  s.factors = o.Has("factors");
  s.zgs = o.Has("zgs");
  s.strict = o.Has("strict");
  s.acceptDistant = o.Has("accept-distant");
  s.verbose = o.Has("verbose");
  s.data = o.Value("data");
  s.columns.x = o.Value("x-col");
  s.columns.y = o.Value("y-col");
  if (const auto c = o.Value("carter-col")) {
    if (s.columns.x || s.columns.y) throw UsageError("--carter-col excludes --x-col and --y-col");
    if (o.Value("from") && !s.from.IsCarter()) {
      throw UsageError("--carter-col reads Carter locations: --from must be carter");
    }
    s.columns.x = c;
    if (!o.Value("from")) s.bareCarter = true;
    s.from = *ParseSystem("carter").system;
    s.csv = true;
  }
  s.columns.carter = s.from.IsCarter();
  if ((s.columns.x || s.columns.y) && !s.csv) throw UsageError("--x-col and --y-col need --csv");
  if (s.columns.y && s.from.IsCarter()) {
    throw UsageError("--y-col: a Carter location is one column, named by --x-col");
  }
  if (o.Has("progress") && o.Has("no-progress")) {
    throw UsageError("--progress and --no-progress exclude each other");
  }
  s.forceProgress = o.Has("progress");
  s.progress = !o.Has("no-progress");
  s.files = o.operands();
  if (s.files.empty()) s.files.push_back("-");
  return s;
}

// The lookup results of the position's current point, read through the public properties.
struct Found {
  std::vector<std::pair<std::string, std::int32_t>> states;
  struct County {
    std::string name;
    std::int32_t fips;
    std::string zone;
  };
  std::vector<County> counties;
  struct Quad {
    std::string name, state, tile;
  };
  std::vector<Quad> quads;
};

Found Lookup(ZrGeoPosition& p) {
  Found f;
  const std::int32_t states = p.StateCount();
  for (std::int32_t i = 0; i < states; ++i) f.states.emplace_back(p.StateName(i), p.StateFIPS(i));
  const std::int32_t counties = p.CountyCount();
  for (std::int32_t i = 0; i < counties; ++i) {
    f.counties.push_back({p.CountyName(i), p.CountyFIPS(i), p.CountySPZone(i)});
  }
  const std::int32_t quads = p.QuadCount();
  for (std::int32_t i = 0; i < quads; ++i) {
    f.quads.push_back({p.QuadName(i), p.QuadState(i), p.QuadTile(i)});
  }
  return f;
}

void Json(std::string& out, const Found& f) {
  out += ",\"states\":[";
  for (std::size_t i = 0; i < f.states.size(); ++i) {
    out += i ? ",{\"name\":" : "{\"name\":";
    AppendJsonString(out, f.states[i].first);
    out += ",\"fips\":" + std::to_string(f.states[i].second) + ",\"fips_text\":\"" +
           StateFipsText(f.states[i].second) + "\"}";
  }
  out += "],\"counties\":[";
  for (std::size_t i = 0; i < f.counties.size(); ++i) {
    out += i ? ",{\"name\":" : "{\"name\":";
    AppendJsonString(out, f.counties[i].name);
    out += ",\"fips\":" + std::to_string(f.counties[i].fips) + ",\"fips_text\":\"" +
           CountyFipsText(f.counties[i].fips) + "\",\"geoid\":\"" +
           CountyGeoid(f.counties[i].fips) + "\",\"zone\":";
    AppendJsonString(out, f.counties[i].zone);
    out += "}";
  }
  out += "],\"quads\":[";
  for (std::size_t i = 0; i < f.quads.size(); ++i) {
    out += i ? ",{\"name\":" : "{\"name\":";
    AppendJsonString(out, f.quads[i].name);
    out += ",\"state\":";
    AppendJsonString(out, f.quads[i].state);
    out += ",\"tile\":";
    AppendJsonString(out, f.quads[i].tile);
    out += "}";
  }
  out += "]";
}

// A factor as text: the shortest decimal that reads back as the same double.
void AppendShortest(std::string& out, double v) {
  char text[kMaxShortestChars];
  out.append(text, FormatShortest(text, v));
}

// What a located point adds to its record.
struct Added {
  LocationFields location;
  std::optional<PointFactors> factors;
};

class LocateJob {
 public:
  explicit LocateJob(const LocateSettings& s)
      : s_(s), converter_(s.from, s.from, true, s.zgs), out_(STDOUT_FILENO),
        report_(s.files.size() > 1) {
    rules_.csv = s.csv;
    rules_.delimiter = s.delimiter;
    rules_.columns = s.columns;
    converter_.AcceptDistant(s.acceptDistant);
  }

  int Run();

 private:
  // Looks the placed point up; false (with error) when the library refuses.
  bool Look(std::optional<Added>& added, std::optional<Found>* found, std::string& error);
  void Fail(std::uint64_t line, const std::string& error) {
    report_.Fail(line, error);
    if (s_.strict) stopped_ = true;
  }
  void KeepBom(const LineReader& in) {
    if (bomDecided_) return;
    bomDecided_ = true;
    if (in.bom() && !s_.json) out_.Write(kUtf8Bom);
    WriteHeader();
  }
  // Plain output's header line: "# point" and the added columns' names.
  void WriteHeader() {
    if (!s_.header || s_.json || s_.csv) return;
    std::string text = "# point";
    for (const auto n : kLocationFieldNames) text.append("\t").append(n);
    if (s_.factors) {
      for (const auto n : kFactorFieldNames) text.append("\t").append(n);
    }
    out_.Write(text + "\n");
  }
  void RunLines(LineReader& in, InputRecords& records);
  void RunCsv(LineReader& in, InputRecords& records);
  std::string JsonStart(const LineReader& in, std::uint64_t line) const;

  const LocateSettings& s_;
  TextInputRules rules_;
  PointConverter converter_;
  OutputSink out_;
  Reporter report_;
  std::optional<ProgressBar> bar_;
  std::string text_;
  bool stopped_ = false;
  bool bomDecided_ = false;
  std::string lastHeader_;
};

bool LocateJob::Look(std::optional<Added>& added, std::optional<Found>* found, std::string& error) {
  try {
    Added a;
    if (found) *found = Lookup(converter_.position());
    if (s_.factors) a.factors = ReadFactors(converter_.position());
    a.location = LocatePoint(converter_.position(), s_.zgs);
    added = std::move(a);
  } catch (const Error& e) {
    error = DescribeLibraryError(e);
    return false;
  }
  return true;
}

std::string LocateJob::JsonStart(const LineReader& in, std::uint64_t line) const {
  std::string text = "{";
  if (s_.files.size() > 1) {
    text += "\"file\":";
    AppendJsonString(text, in.name());
    text += ',';
  }
  return text + "\"line\":" + std::to_string(line);
}

void LocateJob::RunLines(LineReader& in, InputRecords& records) {
  InputRecord record;
  while (!stopped_ && records.Next(record)) {
    if (bar_ && (in.lineNumber() & 1023) == 0) bar_->Update(in.consumed());
    KeepBom(in);
    if (record.kind != InputRecord::Kind::Point) {
      if (!s_.json) {
        out_.Write(record.text);
        out_.Write(record.ending);
      }
      continue;
    }
    std::optional<Added> added;
    std::optional<Found> found;
    std::string error = record.error;
    bool ok = record.placed && converter_.Check();
    if (record.placed && !ok) error = converter_.error();
    if (ok) ok = Look(added, s_.json ? &found : nullptr, error);
    if (!ok) {
      Fail(record.line, error);
      if (stopped_) break;
    }
    text_.clear();
    if (s_.json) {
      text_ = JsonStart(in, record.line);
      if (ok) {
        Json(text_, *found);
        text_ += ",\"carter\":";
        AppendJsonString(text_, added->location.Carter());
        if (added->factors) {
          text_ += ",\"scale_factor\":";
          AppendShortest(text_, added->factors->scaleFactor);
          text_ += ",\"convergence\":";
          AppendShortest(text_, added->factors->convergence);
        }
      } else {
        text_ += ",\"error\":";
        AppendJsonString(text_, error);
      }
      text_ += "}\n";
    } else {
      // The line as it was, then one tab-separated column per field (empty when it failed).
      text_.assign(record.text);
      for (std::size_t i = 0; i < kLocationFieldNames.size(); ++i) {
        text_ += '\t';
        if (added) text_ += added->location.Text(i);
      }
      if (s_.factors) {
        text_ += '\t';
        if (added) AppendShortest(text_, added->factors->scaleFactor);
        text_ += '\t';
        if (added) AppendShortest(text_, added->factors->convergence);
      }
      text_ += record.ending;
    }
    out_.Write(text_);
  }
}

void LocateJob::RunCsv(LineReader& in, InputRecords& records) {
  InputRecord record;
  std::vector<bool> dropped;  // input columns replaced by the added ones of the same name
  std::size_t outputColumns = 0;
  while (!stopped_ && records.Next(record)) {
    if (bar_ && (in.lineNumber() & 1023) == 0) bar_->Update(in.consumed());
    KeepBom(in);
    const std::vector<std::string>& names = records.names();
    if (record.kind == InputRecord::Kind::Other) {
      if (!s_.json) {
        out_.Write(record.text);
        out_.Write(record.ending);
      }
      continue;
    }
    if (record.kind == InputRecord::Kind::Header) {
      const CoordinateColumns* columns = &records.columns();
      dropped.assign(names.size(), false);
      std::string header;
      auto add = [&](std::string_view name) {
        if (!header.empty() || outputColumns > 0) header += records.delimiter();
        AppendCsvField(header, name, records.delimiter());
        ++outputColumns;
      };
      for (std::size_t i = 0; i < names.size(); ++i) {
        bool clash = false;
        for (const auto n : kLocationFieldNames) clash = clash || EqualsIgnoreCase(names[i], n);
        if (s_.factors) {
          for (const auto n : kFactorFieldNames) clash = clash || EqualsIgnoreCase(names[i], n);
        }
        if (clash && (i == columns->x || (columns->y && i == *columns->y))) clash = false;
        if (clash) {
          dropped[i] = true;
          ErrorLine("lantrel: warning: " + ShownName(in.name()) + ": column " + Excerpt(names[i]) +
                    " is replaced by the one lantrel writes\n");
          continue;
        }
        add(names[i]);
      }
      for (const auto n : kLocationFieldNames) add(n);
      if (s_.factors) {
        for (const auto n : kFactorFieldNames) add(n);
      }
      if (!s_.json && header != lastHeader_) {
        out_.Write(header);
        out_.Write(record.ending);
      }
      lastHeader_ = header;
      continue;
    }
    std::optional<Added> added;
    std::string error = record.error;
    const bool damaged = record.damaged;
    bool ok = record.placed && converter_.Check();
    if (record.placed && !ok) error = converter_.error();
    if (ok) ok = Look(added, nullptr, error);
    if (!ok) {
      Fail(record.line, error);
      if (stopped_) break;
    }
    text_.clear();
    if (s_.json) {
      text_ = JsonStart(in, record.line);
      if (!ok) {
        text_ += ",\"error\":";
        AppendJsonString(text_, error);
      } else {
        for (std::size_t i = 0; i < record.fields->size() && i < names.size(); ++i) {
          if (dropped[i]) continue;
          text_ += ',';
          AppendJsonString(text_, names[i]);
          text_ += ':';
          AppendJsonString(text_, CsvValue((*record.fields)[i]));
        }
        for (std::size_t i = 0; i < kLocationFieldNames.size(); ++i) {
          text_ += ',';
          AppendJsonString(text_, kLocationFieldNames[i]);
          text_ += ':';
          AppendJsonString(text_, added->location.Text(i));
        }
        if (added->factors) {
          text_ += ",\"scale_factor\":";
          AppendShortest(text_, added->factors->scaleFactor);
          text_ += ",\"convergence\":";
          AppendShortest(text_, added->factors->convergence);
        }
      }
      text_ += "}\n";
      out_.Write(text_);
      continue;
    }
    // Input columns as written (a damaged record's are unknown: empty), then the added ones.
    const char delimiter = records.delimiter();
    std::size_t written = 0;
    auto cell = [&](std::string_view raw, bool quote) {
      if (written++ > 0) text_ += delimiter;
      if (quote) AppendCsvField(text_, raw, delimiter);
      else text_.append(raw);
    };
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (dropped[i]) continue;
      cell(!damaged && i < record.fields->size() ? (*record.fields)[i] : std::string_view(), false);
    }
    for (std::size_t i = 0; i < kLocationFieldNames.size(); ++i) {
      cell(added ? added->location.Text(i) : std::string(), true);
    }
    if (s_.factors) {
      std::string k;
      std::string g;
      if (added) {
        AppendShortest(k, added->factors->scaleFactor);
        AppendShortest(g, added->factors->convergence);
      }
      cell(k, false);
      cell(g, false);
    }
    text_ += record.ending;
    out_.Write(text_);
  }
}

int LocateJob::Run() {
  if (!CheckInputs(s_.files)) return kExitUsage;
  if (!LoadReferenceData(converter_.position(), s_.data, s_.verbose)) return kExitFailed;
  if (s_.verbose) {
    ErrorLine("lantrel: from " + Describe(s_.from) + "\n");
    if (s_.bareCarter) ErrorLine(std::string(kBareCarterNote));
  }
  for (const auto& file : s_.files) {
    if (stopped_) break;
    LineReader in(file);
    report_.SetFile(in.name());
    if (s_.progress && (s_.forceProgress ? in.regular() : WantProgress(in))) {
      bar_.emplace("lantrel: " + ShownName(in.name()), in.size());
      report_.SetProgress(&*bar_);
    }
    InputRecords records(in, rules_, converter_);
    if (s_.csv) RunCsv(in, records);
    else RunLines(in, records);
    if (bar_) bar_->Update(in.consumed());
    out_.Flush();
    report_.SetProgress(nullptr);
    bar_.reset();
  }
  if (!bomDecided_) WriteHeader();  // an empty input: the header alone
  out_.Flush();
  return report_.failures() > 0 ? kExitFailed : kExitOk;
}

// The vector-file options; a plain-text job refuses them.
void RefuseVectorOptions(const CommandLine& o) {
  for (const char* n : {"layer", "output-layer", "overwrite", "append", "precision"}) {
    if (o.Has(n)) throw UsageError(std::string("--") + n + " belongs to a vector file job (-o OUT IN)");
  }
}

}  // namespace

CommandLine LocateCommandLine() {
  CommandLine c("locate",
      "usage: lantrel locate [--from SYSTEM] [OPTIONS] [FILE ...]\n"
      "       lantrel locate [--from SYSTEM] [OPTIONS] -o OUT IN\n"
      "\n"
      "Adds to each point's record the state, the Kentucky county with the plane-coordinate zone\n"
      "(North or South) it belongs to, the topographic quadrangle and the Carter location of the\n"
      "point. Input is read as by 'lantrel convert' (default system geographic NAD 83).\n"
      "\n"
      "Fields added, in this order:\n"
      "  state  state_fips  county  county_fips  sp_zone  quad  quad_tile  quad_state  carter  geoid\n"
      "FIPS codes are zero-padded text as Census tables write them: 21, 053, and geoid 21053.\n"
      "Plain lines are written as they were with these as tab-separated columns; CSV records\n"
      "(--csv) keep every column and gain these; vector files (-o) gain them as fields. A point\n"
      "on a boundary belongs to every area sharing it: the areas are joined by ';' in each field.\n"
      "Points outside the served area (81.5-90 W, 36-39.5 N) get empty fields; carter is the\n"
      "location on the input points' datum, empty off the Carter grid.\n"
      "\n",
      "Needs the reference data file lantrel.bin; when it is missing the command fails and names\n"
      "the folders it searched.\n"
      "\n"
      "Examples:\n"
      "  echo \"-84.8733 38.2009\" | lantrel locate\n"
      "  lantrel locate --from north/nad27 --json survey.txt\n"
      "  lantrel locate --csv wells.csv\n"
      "  lantrel locate -o wells_located.gpkg wells.gpkg\n");
  c.Option("-f,--from", "SYSTEM",
           "system of the input points (default geo/nad83, or the layer's\n"
           "EPSG code for vector files)");
  c.Flag("--csv",
         "read and write CSV with a header row (implied when every input\n"
         "file is named *.csv or *.tsv)");
  c.Option("--delimiter", "CHAR",
           "CSV field delimiter: , ; | or tab, as for 'lantrel convert'");
  c.Option("--x-col", "NAME",
           "");
  c.Option("--y-col", "NAME",
           "");
  c.Option("--carter-col", "NAME",
           "coordinate columns, as for 'lantrel convert'");
  c.Flag("--factors",
         "add scale_factor and convergence in the INPUT system");
  c.Flag("--zgs",
         "write the carter field in the ZGS layout");
  c.Option("-o,--output", "OUT",
           "write the vector file OUT from the vector file IN");
  c.Option("--format", "NAME",
           "format of OUT: gpkg, shp, geojson, fgb or csv");
  c.Option("-l,--layer", "NAME",
           "");
  c.Option("--output-layer", "NAME",
           "");
  c.Flag("--overwrite",
         "");
  c.Flag("--append",
         "the layer read and the layer written, as for 'lantrel convert'");
  c.Option("-p,--precision", "N",
           "decimals of coordinates written as text to OUT (default 9)");
  c.Flag("--json",
         "write one JSON object per point");
  c.Flag("--header",
         "write a header line (# point, state, ...) first");
  c.Option("--data", "DIR",
           "read the reference data file lantrel.bin from DIR");
  c.Flag("--strict",
         "stop at the first line that fails");
  c.Flag("--progress",
         "");
  c.Flag("--no-progress",
         "force or suppress the progress bar (as for convert)");
  c.Flag("--accept-distant",
         "accept points far outside 73-98 W, 33-45 N and Carter\n"
         "footages beyond a section");
  c.Flag("-v,--verbose",
         "print the data file in use on standard error");
  return c;
}

int RunLocate(const CommandLine& o) {
  RefuseVectorOptions(o);
  const LocateSettings s = ParseLocateOptions(o);
  LocateJob job(s);
  return job.Run();
}

}  // namespace lantrel::cli
