#include "vector_command.hpp"

#include <initializer_list>
#include <utility>

#include "commands.hpp"
#include "coordinate_style.hpp"
#include "csv.hpp"
#include "excerpt.hpp"
#include "numbers.hpp"
#include "options.hpp"
#include "reference_data.hpp"
#include "vector_format.hpp"
#include "vector_job.hpp"

namespace lantrel::cli {

namespace {

// Options of both forms; each form refuses those that are not its own.
const std::initializer_list<OptionDef> kVectorOptions{
    {"from", 'f', true},    {"to", 't', true},         {"inverse", 'I', false},
    {"output", 'o', true},  {"format", 0, true},       {"csv", 0, false},
    {"x-col", 0, true},     {"y-col", 0, true},        {"carter-col", 0, true},
    {"x-name", 0, true},    {"y-name", 0, true},       {"keep", 0, false},
    {"factors", 0, false},  {"precision", 'p', true},  {"west-positive", 0, false},
    {"zgs", 0, false},      {"dms", 0, false},         {"strict", 0, false},
    {"data", 0, true},      {"layer", 'l', true},      {"output-layer", 0, true},
    {"overwrite", 0, false}, {"append", 0, false},   {"delimiter", 0, true},
    {"progress", 0, false}, {"no-progress", 0, false}, {"verbose", 'v', false},
    {"help", 'h', false}};

System SystemOption(const std::string& option, const std::string& text) {
  auto parsed = ParseSystem(text);
  if (!parsed.system) throw UsageError("--" + option + ": " + parsed.error);
  return *parsed.system;
}

VectorSettings CommonSettings(const Options& o, bool locate) {
  VectorSettings s;
  s.locate = locate;
  const auto& files = o.operands();
  if (files.size() != 1 || files.front() == "-") {
    throw UsageError("a vector file job reads one input file, named after the options");
  }
  s.input = files.front();
  const auto output = o.Value("output");
  if (!output) throw UsageError("a vector file job needs -o OUT for its output file");
  s.output = *output;
  if (const auto f = o.Value("format")) {
    s.format = FormatFromName(*f);
    if (!s.format) {
      throw UsageError("--format: '" + *f + "' is not one of gpkg, shp, geojson, fgb, csv");
    }
  }
  s.columns.x = o.Value("x-col");
  s.columns.y = o.Value("y-col");
  if (const auto c = o.Value("carter-col")) {
    if (s.columns.x || s.columns.y) throw UsageError("--carter-col excludes --x-col and --y-col");
    s.columns.x = c;
    s.columns.carter = true;
  }
  s.factors = o.Has("factors");
  s.zgs = o.Has("zgs");
  s.westPositive = o.Has("west-positive");
  s.strict = o.Has("strict");
  s.layer = o.Value("layer");
  s.outputLayer = o.Value("output-layer");
  s.overwrite = o.Has("overwrite");
  s.append = o.Has("append");
  if (const auto d = o.Value("delimiter")) {
    s.delimiter = ParseDelimiter(*d);
    if (!s.delimiter) throw UsageError("--delimiter takes , ; | or tab, not " + Excerpt(*d));
  }
  s.csvInput = o.Has("csv") || s.delimiter.has_value();
  if (s.overwrite && s.append) throw UsageError("--overwrite and --append exclude each other");
  const auto format = s.format ? s.format : FormatFromPath(s.output);
  if ((s.append || s.outputLayer) && format && *format != VectorFormat::GeoPackage) {
    throw UsageError(std::string(s.append ? "--append" : "--output-layer") +
                     " names a layer of a GeoPackage; other formats hold one layer per file");
  }
  s.verbose = o.Has("verbose");
  if (o.Has("progress") && o.Has("no-progress")) {
    throw UsageError("--progress and --no-progress exclude each other");
  }
  return s;
}

void Refuse(const Options& o, std::initializer_list<const char*> names, const char* command) {
  for (const char* n : names) {
    if (o.Has(n)) throw UsageError(std::string("--") + n + " is not an option of " + command);
  }
}

}  // namespace

bool WantsVectorFiles(const std::vector<std::string>& args) {
  bool operandsOnly = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!operandsOnly) {
      if (a == "--") {
        operandsOnly = true;
        continue;
      }
      if (a == "-o" || a == "--output" || a.rfind("--output=", 0) == 0 || a.rfind("-o", 0) == 0 ||
          a == "--format" || a.rfind("--format=", 0) == 0) {
        return true;
      }
      if (!a.empty() && a[0] == '-' && a != "-") {
        // An option's value is not an input file.
        static const std::initializer_list<const char*> valued{
            "-f", "--from", "-t", "--to", "--x-col", "--y-col", "--carter-col", "--x-name",
            "--y-name", "-p", "--precision", "--data", "-l", "--layer", "--output-layer",
            "--delimiter"};
        for (const char* v : valued) {
          if (a == v) {
            ++i;
            break;
          }
        }
        continue;
      }
    }
    if (IsGeometryFilePath(a)) return true;
  }
  return false;
}

int RunVectorConvert(const std::vector<std::string>& args) {
  const Options o(args, kVectorOptions);
  Refuse(o, {"data"}, "convert");
  VectorSettings s = CommonSettings(o, false);
  const auto to = o.Value("to");
  if (!to) throw UsageError("convert needs --to SYSTEM");
  s.to = SystemOption("to", *to);
  if (const auto from = o.Value("from")) s.from = SystemOption("from", *from);
  if (o.Has("inverse")) {
    if (!s.from) throw UsageError("-I/--inverse needs --from as well as --to");
    std::swap(*s.from, s.to);
  }
  if (s.columns.carter) {
    if (s.from && !s.from->IsCarter()) {
      throw UsageError("--carter-col reads Carter locations: --from must be carter");
    }
    if (!s.from) s.from = SystemOption("from", "carter");
  }
  s.xName = o.Value("x-name");
  s.yName = o.Value("y-name");
  if (s.yName && s.to.IsCarter()) throw UsageError("--y-name: a Carter location is one field");
  s.keep = o.Has("keep");
  const CoordinateStyle style = ReadCoordinateStyle(o, s.to);
  s.dms = style.dms;
  s.precision = style.precision;
  return RunVectorJob(s, [](ZrGeoPosition&) { return true; });
}

int RunVectorLocate(const std::vector<std::string>& args) {
  const Options o(args, kVectorOptions);
  Refuse(o, {"to", "inverse", "x-name", "y-name", "keep", "dms"}, "locate");
  VectorSettings s = CommonSettings(o, true);
  if (const auto from = o.Value("from")) s.from = SystemOption("from", *from);
  if (s.columns.carter) {
    if (s.from && !s.from->IsCarter()) {
      throw UsageError("--carter-col reads Carter locations: --from must be carter");
    }
    if (!s.from) s.from = SystemOption("from", "carter");
  }
  s.fallbackFrom = System{};  // geographic NAD 83
  s.haveFallback = true;
  s.precision = 9;
  if (const auto p = o.Value("precision")) s.precision = IntOption("precision", *p, 0, kMaxPrecision);
  const auto data = o.Value("data");
  const bool verbose = s.verbose;
  return RunVectorJob(s, [&](ZrGeoPosition& p) { return LoadReferenceData(p, data, verbose); });
}

}  // namespace lantrel::cli
