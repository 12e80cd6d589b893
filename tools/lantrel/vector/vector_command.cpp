#include "vector_command.hpp"

#include <initializer_list>
#include <utility>

#include "command_line.hpp"
#include "commands.hpp"
#include "coordinate_style.hpp"
#include "csv.hpp"
#include "lantrel/number_text.hpp"
#include "lantrel/quoted_text.hpp"
#include "reference_data.hpp"
#include "vector_format.hpp"
#include "vector_job.hpp"

namespace lantrel::cli {

namespace {

System SystemOption(const std::string& option, const std::string& text) {
  auto parsed = ParseSystem(text);
  if (!parsed.system) throw UsageError("--" + option + ": " + parsed.error);
  return *parsed.system;
}

VectorSettings CommonSettings(const CommandLine& o, bool locate) {
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

// Options of the text form only.
void Refuse(const CommandLine& o, std::initializer_list<const char*> names) {
  for (const char* n : names) {
    if (o.Has(n)) throw UsageError(std::string("--") + n + " is not an option of a vector file job");
  }
}

}  // namespace

int RunVectorConvert(const CommandLine& o) {
  Refuse(o, {"json", "accept-distant"});
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

int RunVectorLocate(const CommandLine& o) {
  Refuse(o, {"json", "header", "accept-distant"});
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
