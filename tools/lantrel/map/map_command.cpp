// lantrel map: draws points over the counties, quadrangles (and optionally the Carter grid) of
// the reference data file around them, as an SVG document or, through rsvg-convert, a PNG.
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "command_line.hpp"
#include "commands.hpp"
#include "csv.hpp"
#include "data_files.hpp"
#include "input_records.hpp"
#include "io.hpp"
#include "lantrel/coordinate_columns.hpp"
#include "lantrel/quoted_text.hpp"
#include "line_fields.hpp"
#include "map/carter_grid.hpp"
#include "map/graticule.hpp"
#include "map/label_text.hpp"
#include "map/map_layers.hpp"
#include "map/map_svg.hpp"
#include "map/output_file.hpp"
#include "point_converter.hpp"
#include "report.hpp"
#include "systems.hpp"
#include "vector/feature_records.hpp"
#include "vector/vector_format.hpp"
#include "vector_module.hpp"

extern char** environ;

namespace lantrel::cli {

namespace {

enum class MapFormat { Svg, Png };

struct MapSettings {
  System from;
  bool fromGiven = false;  // a vector layer's own coordinate system counts only without --from
  std::string output;
  MapFormat format = MapFormat::Svg;
  bool carter = false;
  bool strict = false;
  bool verbose = false;
  bool csv = false;
  bool labels = true;
  std::optional<std::string> labelColumn;  // CSV: the column that labels the points
  double width = map::kCanvasWidth;
  double height = map::kCanvasHeight;
  std::optional<std::string> title;
  std::optional<std::string> data;
  std::vector<std::string> files;
};

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && EqualsIgnoreCase(text.substr(text.size() - end.size()), end);
}

// "WxH" in whole pixels within the canvas limits.
bool ParseSize(const std::string& text, double& width, double& height) {
  const auto x = text.find_first_of("xX");
  if (x == std::string::npos || x == 0 || x + 1 == text.size()) return false;
  const auto whole = [](std::string_view digits, double& out) {
    if (digits.size() > 5) return false;
    double v = 0;
    for (const char c : digits) {
      if (c < '0' || c > '9') return false;
      v = v * 10 + (c - '0');
    }
    out = v;
    return true;
  };
  const std::string_view all(text);
  return whole(all.substr(0, x), width) && whole(all.substr(x + 1), height) &&
         width >= map::kMinCanvasWidth && height >= map::kMinCanvasHeight &&
         width <= map::kMaxCanvasSide && height <= map::kMaxCanvasSide;
}

MapSettings ParseMapOptions(const CommandLine& o) {
  MapSettings s;
  if (const auto from = o.Value("from")) {
    auto parsed = ParseSystem(*from);
    if (!parsed.system) throw UsageError("--from: " + parsed.error);
    s.from = *parsed.system;
    s.fromGiven = true;
  }
  const auto output = o.Value("output");
  if (!output || output->empty()) throw UsageError("map needs -o FILE (.svg or .png; - for standard output)");
  s.output = *output;
  if (s.output == "-" || EndsWith(s.output, ".svg")) {
    s.format = MapFormat::Svg;
  } else if (EndsWith(s.output, ".png")) {
    s.format = MapFormat::Png;
  } else {
    throw UsageError("-o " + s.output + ": the map is written as .svg or .png");
  }
  s.carter = o.Has("carter");
  s.strict = o.Has("strict");
  s.verbose = o.Has("verbose");
  s.labelColumn = o.Value("label-col");
  s.labels = !o.Has("no-labels");
  if (s.labelColumn && !s.labels) throw UsageError("--label-col and --no-labels exclude each other");
  s.csv = o.Has("csv") || NamedCsv(o.operands());
  bool vectorFiles = false;
  for (const auto& file : o.operands()) vectorFiles = vectorFiles || IsGeometryFilePath(file);
  if (s.labelColumn && !s.csv && !vectorFiles) {
    throw UsageError("--label-col names a CSV column: it needs --csv");
  }
  if (const auto size = o.Value("size"); size && !ParseSize(*size, s.width, s.height)) {
    throw UsageError("--size " + *size + ": give WIDTHxHEIGHT in pixels, from " +
                     std::to_string(static_cast<int>(map::kMinCanvasWidth)) + "x" +
                     std::to_string(static_cast<int>(map::kMinCanvasHeight)) + " to " +
                     std::to_string(static_cast<int>(map::kMaxCanvasSide)) + "x" +
                     std::to_string(static_cast<int>(map::kMaxCanvasSide)));
  }
  s.title = o.Value("title");
  s.data = o.Value("data");
  s.files = o.operands();
  if (s.files.empty()) s.files.push_back("-");
  return s;
}

// The data file the position loaded (or --data names); empty with a message when there is none.
std::optional<std::string> LoadData(ZrGeoPosition& p, const MapSettings& s) {
  if (s.data && !p.DataLoaded()) {
    std::string folder = *s.data;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    try {
      if (p.SetPath(*s.data)) return folder + kDataFileName;
    } catch (const Error& e) {
      ErrorLine("lantrel: cannot read " + folder + kDataFileName + ": " + DescribeLibraryError(e) + "\n");
      return std::nullopt;
    }
    ErrorLine("lantrel: no reference data file " + folder + kDataFileName + "\n");
    return std::nullopt;
  }
  if (const auto found = FindDataFile(); found && p.DataLoaded()) return found;
  ErrorLine(std::string("lantrel: the map needs the reference data file ") + kDataFileName +
            "; searched: " + FolderList(DataSearchFolders()) +
            ". Put it in one of those folders or name its folder with --data DIR.\n");
  return std::nullopt;
}

// "Reference data: ...; <file> of <date>": the sources of the outlines and the modification date
// of the data file (UTC), so the same data gives the same map whenever it is drawn.
std::string SourceLine(const std::string& dataFile) {
  std::string line = "Reference data: US Census Bureau state and county outlines, USGS 7.5\u2032 quadrangle index";
  struct stat st {};
  std::tm day {};
  const auto slash = dataFile.rfind('/');
  const std::string name = slash == std::string::npos ? dataFile : dataFile.substr(slash + 1);
  if (::stat(dataFile.c_str(), &st) == 0 && ::gmtime_r(&st.st_mtime, &day) != nullptr) {
    char date[16];
    std::strftime(date, sizeof date, "%Y-%m-%d", &day);
    line += "; " + name + " of " + date;
  }
  return line;
}

void WriteStandardOutput(std::string_view text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw IoError(std::string("cannot write standard output: ") + std::strerror(errno));
    done += static_cast<std::size_t>(n);
  }
}

// Runs rsvg-convert on the SVG read from `svg` (its standard input), writing the PNG to `png`
// (its standard output); the message says what went wrong.
std::optional<std::string> ConvertToPng(int svg, int png) {
  std::vector<std::string> args = {"rsvg-convert", "--format=png"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_adddup2(&actions, svg, STDIN_FILENO);
  ::posix_spawn_file_actions_adddup2(&actions, png, STDOUT_FILENO);
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, "rsvg-convert", &actions, nullptr, argv.data(), environ);
  ::posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    if (rc == ENOENT) {
      return std::string("writing PNG needs rsvg-convert (Debian package librsvg2-bin); "
                         "write an .svg file instead");
    }
    return std::string("cannot run rsvg-convert: ") + std::strerror(rc);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return std::string("cannot wait for rsvg-convert: ") + std::strerror(errno);
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::string("rsvg-convert failed");
  return std::nullopt;
}

// Degrees clockwise from the canvas's up to true north, at the middle of the frame.
double NorthAngle(map::MapProjection& projection, const map::MapFrame& frame) {
  const map::ScreenPoint middle{frame.left() + frame.width() / 2, frame.top() + frame.height() / 2};
  const auto g = projection.Inverse(frame.ToMap(middle));
  if (!g) return 0.0;
  const auto north = projection.Forward({g->lon, g->lat + 0.01});
  if (!north) return 0.0;
  const map::ScreenPoint n = frame.ToScreen(*north);
  return std::atan2(n.x - middle.x, middle.y - n.y) * 57.295779513082344;
}

}  // namespace

CommandLine MapCommandLine() {
  CommandLine c("map",
      "usage: lantrel map -o FILE [--from SYSTEM] [OPTIONS] [FILE ...]\n"
      "\n"
      "Draws the points of the files (or standard input) over the state and county outlines and the\n"
      "7.5' quadrangle grid of the reference data file around them, with county and quadrangle\n"
      "names, graticule ticks on the frame, a north arrow, scale bars in kilometres and miles, a\n"
      "legend and a line naming the data's source and date. Input lines are read as by 'lantrel\n"
      "convert' (default system geographic NAD 83); the text after the coordinates labels each\n"
      "point. The map plane is the Kentucky single zone on NAD 83.\n"
      "\n"
      "Labels never cover each other or a point: a label goes beside its point where there is room,\n"
      "farther off with a lead line where there is not, or is left out (-v says how many).\n"
      "\n",
      "A line that fails is reported as LINE: message and left off the map; the exit status is then\n"
      "1. Without any point, or without the reference data file, no map is written. The map replaces\n"
      "the output only once it is complete; a failed job leaves the output as it was.\n"
      "\n"
      "Examples:\n"
      "  lantrel map -o wells.svg wells.txt\n"
      "  lantrel map --from north/nad27 --carter -o survey.png survey.txt\n"
      "  lantrel map --label-col permit --size 1600x1200 -o wells.svg wells.csv\n");
  c.Option("-o,--output", "FILE",
           "the map: FILE.svg, FILE.png (needs rsvg-convert, Debian package\n"
           "librsvg2-bin), or - for SVG on standard output (required)");
  c.Option("-f,--from", "SYSTEM",
           "system of the input points (default geo/nad83)");
  c.Flag("--carter",
         "add the Carter grid: 5' block lines with block names and, where\n"
         "they are large enough to read, 1' section lines and numbers (on the\n"
         "datum of --from)");
  c.Flag("--csv",
         "read the input as CSV with a header (files named *.csv always are);\n"
         "coordinates are found by their usual column names");
  c.Option("--label-col", "NAME",
           "CSV: the column that labels the points (default: a column called\n"
           "label or name, when there is one)");
  c.Flag("--no-labels",
         "draw the points without labels");
  c.Option("--size", "WxH",
           "canvas size in pixels (default 1000x820; 800x600 to 8000x8000)");
  c.Option("--title", "TEXT",
           "title of the map (default: the input files)");
  c.Option("--data", "DIR",
           "read the reference data file lantrel.bin from DIR");
  c.Flag("--strict",
         "stop at the first line that fails");
  c.Flag("-v,--verbose",
         "print the data file in use and how many labels were placed, led\n"
         "off or left out, on standard error");
  return c;
}

int RunMap(const std::vector<std::string>& args) {
  CommandLine o = MapCommandLine();
  if (!o.Parse(args)) {
    o.PrintHelp();
    return kExitOk;
  }
  const MapSettings s = ParseMapOptions(o);
  if (!CheckInputs(s.files)) return kExitUsage;
  // Past a file size limit a write fails (EFBIG) instead of ending the process, so the new
  // file is removed and the output kept.
  std::signal(SIGXFSZ, SIG_IGN);
  const System nad83Geographic{};
  PointConverter converter(s.from, nad83Geographic, true, false);
  ZrGeoPosition& position = converter.position();
  const auto dataFile = LoadData(position, s);
  if (!dataFile) return kExitFailed;
  if (s.verbose) {
    ErrorLine("lantrel: from " + Describe(s.from) + "\n");
    ErrorLine("lantrel: data file: " + *dataFile + "\n");
  }
  const Locator data(*dataFile);

  map::MapProjection projection;
  map::MapDocument doc;
  std::vector<map::MapPoint> planePoints;
  Reporter report(s.files.size() > 1);
  bool stopped = false;
  std::string names;
  // The system of the points drawn: --from, or the coordinate system of the vector layers.
  std::optional<System> pointsSystem;
  if (s.fromGiven) pointsSystem = s.from;
  // A point the converter holds: on the map plane with its county and quadrangle, or a
  // failure of its record.
  const auto add = [&](PointConverter& c, std::uint64_t line, bool placed, std::string error,
                       std::string label) {
    ConvertedPoint pt;
    std::optional<map::MapPoint> plane;
    map::PointMark mark;
    if (placed && c.Convert(pt)) {
      mark.geo = {pt.x, pt.y};
      plane = projection.Forward(mark.geo);
      if (!plane) error = "the point cannot be drawn on the map plane";
      try {
        if (c.position().CountyCount() > 0) mark.county = c.position().CountyName(0);
        if (c.position().QuadCount() > 0) mark.quad = c.position().QuadName(0);
      } catch (const Error& e) {
        error = DescribeLibraryError(e);
      }
    } else if (placed) {
      error = c.error();
    }
    if (!error.empty() || !plane) {
      report.Fail(line, error);
      stopped = s.strict;
      return;
    }
    mark.line = line;
    if (s.labels) mark.label = std::move(label);
    planePoints.push_back(*plane);
    doc.points.push_back(std::move(mark));
  };
  // Vector layers in another system than --from's get converters of their own.
  std::vector<std::unique_ptr<PointConverter>> layerConverters;
  const auto converterFor = [&](const System& system) -> PointConverter& {
    if (!pointsSystem) pointsSystem = system;
    if (system == s.from) return converter;
    layerConverters.push_back(std::make_unique<PointConverter>(system, nad83Geographic, true, false));
    PointConverter& c = *layerConverters.back();
    if (!c.position().DataLoaded() && s.data) c.position().SetPath(*s.data);
    return c;
  };
  const TextInputRules rules{s.csv, std::nullopt, ColumnRequest{std::nullopt, std::nullopt, s.from.IsCarter()}};
  for (const auto& file : s.files) {
    if (stopped) break;
    names += (names.empty() ? "" : ", ") + (file == "-" ? std::string("standard input") : file);
    report.SetFile(file);
    if (file != "-" && IsGeometryFilePath(file)) {
      FeatureInput input;
      input.path = file;
      if (s.fromGiven) input.from = s.from;
      input.fallback = s.from;
      PointConverter* layerConverter = nullptr;
      Vector().readFeaturePoints(
          input, s.labelColumn,
          [&](const System& system) -> PointConverter& { return *(layerConverter = &converterFor(system)); },
          [&](FeaturePoint& p) {
            add(*layerConverter, p.number, p.placed, p.error, map::LabelOf(p.label));
            return !stopped;
          });
      continue;
    }
    if (!pointsSystem) pointsSystem = s.from;
    LineReader in(file);
    report.SetFile(in.name());
    InputRecords records(in, rules, converter);
    InputRecord record;
    // CSV: the header names the coordinate columns and the label column (--label-col, or a
    // column called label or name when there is one).
    std::optional<std::size_t> labelColumn;
    while (!stopped && records.Next(record)) {
      if (record.kind == InputRecord::Kind::Other) continue;
      if (record.kind == InputRecord::Kind::Header) {
        const std::vector<std::string>& header = records.names();
        if (s.labelColumn) {
          labelColumn = FindColumn(header, *s.labelColumn);
          if (!labelColumn) {
            throw UsageError(ShownName(in.name()) + ": --label-col: the CSV header has no column " +
                             Excerpt(*s.labelColumn));
          }
        } else if (!(labelColumn = FindColumn(header, "label"))) {
          labelColumn = FindColumn(header, "name");
        }
        continue;
      }
      std::string label;
      if (!s.csv) label = map::LabelOf(record.rest);
      else if (labelColumn && *labelColumn < record.fields->size()) label = map::LabelOf(CsvValue((*record.fields)[*labelColumn]));
      add(converter, record.line, record.placed, record.error, std::move(label));
    }
  }
  if (doc.points.empty()) {
    ErrorLine("lantrel: no points to map\n");
    return kExitFailed;
  }

  doc.width = s.width;
  doc.height = s.height;
  const double frameWidth = s.width - map::kFrameLeft - map::kFrameRightMargin;
  const double frameHeight = s.height - map::kFrameTop - map::kFrameBottomMargin;
  doc.frame = map::FrameFor(map::ExtentAround(planePoints, frameWidth / frameHeight, 3000.0), s.width, s.height);
  for (std::size_t i = 0; i < doc.points.size(); ++i) doc.points[i].at = doc.frame.ToScreen(planePoints[i]);
  doc.layers = map::CollectLayers(data, projection, doc.frame);
  if (s.carter) doc.carter = map::BuildCarterGrid(projection, doc.frame, pointsSystem.value_or(s.from).datum);
  doc.ticks = map::GraticuleTicks(projection, doc.frame);
  doc.northAngle = NorthAngle(projection, doc.frame);
  doc.title = s.title ? *s.title : "Points of " + names;
  doc.subtitle = "points: " + Canonical(pointsSystem.value_or(s.from)) + "  |  map plane: Kentucky single zone, NAD 83";
  doc.source = SourceLine(*dataFile);
  map::LabelCount labels;
  const std::string svg = map::RenderSvg(doc, &labels);
  if (s.verbose && labels.wanted > 0) {
    ErrorLine("lantrel: labels: " + std::to_string(labels.placed) + " beside their point, " +
              std::to_string(labels.led) + " with a lead line, " + std::to_string(labels.dropped()) +
              " left out for want of room\n");
  }

  if (s.output == "-") {
    WriteStandardOutput(svg);
  } else if (s.format == MapFormat::Svg) {
    map::ReplacingFile out(s.output);
    out.Write(svg);
    out.Commit();
  } else {
    // rsvg-convert reads the SVG from a scratch file and draws into the new file, which
    // replaces the output only when it succeeded.
    map::ReplacingFile out(s.output);
    const int input = map::ScratchFileWith(svg);
    auto failure = ConvertToPng(input, out.fd());
    ::close(input);
    if (failure) {
      ErrorLine("lantrel: " + *failure + "\n");
      return kExitFailed;
    }
    out.Commit();
  }
  if (s.verbose) ErrorLine("lantrel: wrote " + s.output + "\n");
  return report.failures() > 0 ? kExitFailed : kExitOk;
}

}  // namespace lantrel::cli
