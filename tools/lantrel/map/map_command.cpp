// lantrel map: draws points over the counties, quadrangles (and optionally the Carter grid) of
// the reference data file around them, as an SVG document or, through rsvg-convert, a PNG.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "commands.hpp"
#include "data_files.hpp"
#include "help.hpp"
#include "io.hpp"
#include "line_fields.hpp"
#include "map/carter_grid.hpp"
#include "map/map_layers.hpp"
#include "map/map_svg.hpp"
#include "options.hpp"
#include "point_converter.hpp"
#include "refdata/reference_data.hpp"
#include "report.hpp"
#include "systems.hpp"

extern char** environ;

namespace lantrel::cli {

namespace {

enum class MapFormat { Svg, Png };

struct MapSettings {
  System from;
  std::string output;
  MapFormat format = MapFormat::Svg;
  bool carter = false;
  bool strict = false;
  bool verbose = false;
  std::optional<std::string> title;
  std::optional<std::string> data;
  std::vector<std::string> files;
};

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && EqualsIgnoreCase(text.substr(text.size() - end.size()), end);
}

MapSettings ParseMapOptions(const std::vector<std::string>& args) {
  const Options o(args, {{"from", 'f', true},
                         {"output", 'o', true},
                         {"carter", 0, false},
                         {"title", 0, true},
                         {"data", 0, true},
                         {"strict", 0, false},
                         {"verbose", 'v', false},
                         {"help", 'h', false}});
  MapSettings s;
  if (const auto from = o.Value("from")) {
    auto parsed = ParseSystem(*from);
    if (!parsed.system) throw UsageError("--from: " + parsed.error);
    s.from = *parsed.system;
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

// The text after the coordinates as a label: separators and blanks trimmed, at most 40 bytes
// cut at a character boundary.
std::string LabelOf(std::string_view rest) {
  std::size_t i = 0;
  while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t' || rest[i] == ',' || rest[i] == ';')) ++i;
  std::string_view text = rest.substr(i);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.size() > 40) {
    std::size_t cut = 40;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text = text.substr(0, cut);
  }
  return std::string(text);
}

void WriteAll(int fd, std::string_view text, const std::string& name) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw IoError("cannot write " + name + ": " + std::strerror(errno));
    done += static_cast<std::size_t>(n);
  }
}

void WriteFile(const std::string& path, std::string_view text) {
  if (path == "-") {
    WriteAll(STDOUT_FILENO, text, "standard output");
    return;
  }
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw IoError("cannot write " + path + ": " + std::strerror(errno));
  try {
    WriteAll(fd, text, path);
  } catch (...) {
    ::close(fd);
    throw;
  }
  if (::close(fd) != 0) throw IoError("cannot write " + path + ": " + std::strerror(errno));
}

// Runs rsvg-convert to turn the SVG file into the PNG; the message says what went wrong.
std::optional<std::string> ConvertToPng(const std::string& svg, const std::string& png) {
  std::vector<std::string> args = {"rsvg-convert", "--format=png", "--output=" + png, svg};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, "rsvg-convert", nullptr, nullptr, argv.data(), environ);
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

int RunMap(const std::vector<std::string>& args) {
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") {
      PrintHelp(HelpTopic::Map);
      return kExitOk;
    }
    if (a == "--") break;
  }
  const MapSettings s = ParseMapOptions(args);
  if (!CheckInputs(s.files)) return kExitUsage;
  const System nad83Geographic{};
  PointConverter converter(s.from, nad83Geographic, true, false);
  ZrGeoPosition& position = converter.position();
  const auto dataFile = LoadData(position, s);
  if (!dataFile) return kExitFailed;
  if (s.verbose) {
    ErrorLine("lantrel: from " + Describe(s.from) + "\n");
    ErrorLine("lantrel: data file: " + *dataFile + "\n");
  }
  const auto data = detail::LoadReferenceData(*dataFile);

  map::MapProjection projection;
  map::MapDocument doc;
  std::vector<map::MapPoint> planePoints;
  Reporter report(s.files.size() > 1);
  bool stopped = false;
  std::string names;
  for (const auto& file : s.files) {
    if (stopped) break;
    LineReader in(file);
    report.SetFile(in.name());
    names += (names.empty() ? "" : ", ") + (file == "-" ? std::string("standard input") : file);
    std::string_view line;
    while (in.Next(line)) {
      if (Classify(line) != LineKind::Data) continue;
      std::string_view separator, rest;
      ConvertedPoint pt;
      std::string error;
      std::optional<map::MapPoint> plane;
      map::PointMark mark;
      if (converter.PlaceLine(line, separator, rest) && converter.Convert(pt)) {
        mark.geo = {pt.x, pt.y};
        plane = projection.Forward(mark.geo);
        if (!plane) error = "the point cannot be drawn on the map plane";
        try {
          if (position.CountyCount() > 0) mark.county = position.CountyName(0);
          if (position.QuadCount() > 0) mark.quad = position.QuadName(0);
        } catch (const Error& e) {
          error = DescribeLibraryError(e);
        }
      } else {
        error = converter.error();
      }
      if (!error.empty() || !plane) {
        report.Fail(in.lineNumber(), error);
        if (s.strict) {
          stopped = true;
          break;
        }
        continue;
      }
      mark.line = in.lineNumber();
      mark.label = LabelOf(rest);
      planePoints.push_back(*plane);
      doc.points.push_back(std::move(mark));
    }
  }
  if (doc.points.empty()) {
    ErrorLine("lantrel: no points to map\n");
    return kExitFailed;
  }

  doc.frame = map::MapFrame(map::ExtentAround(planePoints, map::kFrameWidth / map::kFrameHeight, 3000.0),
                            map::kFrameLeft, map::kFrameTop, map::kFrameWidth, map::kFrameHeight);
  for (std::size_t i = 0; i < doc.points.size(); ++i) doc.points[i].at = doc.frame.ToScreen(planePoints[i]);
  doc.layers = map::CollectLayers(*data, projection, doc.frame);
  if (s.carter) doc.carter = map::BuildCarterGrid(projection, doc.frame, s.from.datum);
  doc.northAngle = NorthAngle(projection, doc.frame);
  doc.title = s.title ? *s.title : "Points of " + names;
  doc.subtitle = "points: " + Canonical(s.from) + "  |  map plane: Kentucky single zone, NAD 83";
  const std::string svg = map::RenderSvg(doc);

  if (s.format == MapFormat::Svg) {
    WriteFile(s.output, svg);
  } else {
    // Drawn into a temporary PNG that replaces the output only when rsvg-convert succeeded,
    // so a failure leaves no half-written picture (and keeps an earlier one).
    const std::string temporary = s.output + ".svg.tmp";
    const std::string drawn = s.output + ".png.tmp";
    WriteFile(temporary, svg);
    auto failure = ConvertToPng(temporary, drawn);
    ::unlink(temporary.c_str());
    if (!failure && std::rename(drawn.c_str(), s.output.c_str()) != 0) {
      failure = "cannot write " + s.output + ": " + std::strerror(errno);
    }
    if (failure) {
      ::unlink(drawn.c_str());
      ErrorLine("lantrel: " + *failure + "\n");
      return kExitFailed;
    }
  }
  if (s.verbose) ErrorLine("lantrel: wrote " + s.output + "\n");
  return report.failures() > 0 ? kExitFailed : kExitOk;
}

}  // namespace lantrel::cli
