// lantrel locate: the states, counties (with their plane zone) and quadrangles at each point.
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "commands.hpp"
#include "data_files.hpp"
#include "help.hpp"
#include "io.hpp"
#include "json.hpp"
#include "line_fields.hpp"
#include "options.hpp"
#include "point_converter.hpp"
#include "report.hpp"
#include "systems.hpp"

namespace lantrel::cli {

namespace {

struct LocateSettings {
  System from;
  bool json = false;
  bool header = false;
  bool strict = false;
  bool verbose = false;
  bool progress = true;
  bool forceProgress = false;
  std::optional<std::string> data;
  std::vector<std::string> files;
};

LocateSettings ParseLocateOptions(const std::vector<std::string>& args) {
  const Options o(args, {{"from", 'f', true},
                         {"json", 0, false},
                         {"header", 0, false},
                         {"data", 0, true},
                         {"strict", 0, false},
                         {"progress", 0, false},
                         {"no-progress", 0, false},
                         {"verbose", 'v', false},
                         {"help", 'h', false}});
  LocateSettings s;
  if (const auto from = o.Value("from")) {
    auto parsed = ParseSystem(*from);
    if (!parsed.system) throw UsageError("--from: " + parsed.error);
    s.from = *parsed.system;
  }
  s.json = o.Has("json");
  s.header = o.Has("header");
  s.strict = o.Has("strict");
  s.verbose = o.Has("verbose");
  s.data = o.Value("data");
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

template <typename T, typename Get>
void Joined(std::string& out, const std::vector<T>& items, Get get) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += ';';
    out += get(items[i]);
  }
}

void Tsv(std::string& out, const Found& f) {
  Joined(out, f.states, [](const auto& s) { return s.first; });
  out += '\t';
  Joined(out, f.counties, [](const auto& c) { return c.name; });
  out += '\t';
  Joined(out, f.counties, [](const auto& c) { return c.zone; });
  out += '\t';
  Joined(out, f.quads, [](const auto& q) { return q.name; });
  out += '\t';
  Joined(out, f.quads, [](const auto& q) { return q.state; });
  out += '\t';
  Joined(out, f.quads, [](const auto& q) { return q.tile; });
}

void Json(std::string& out, const Found& f) {
  out += ",\"states\":[";
  for (std::size_t i = 0; i < f.states.size(); ++i) {
    out += i ? ",{\"name\":" : "{\"name\":";
    AppendJsonString(out, f.states[i].first);
    out += ",\"fips\":" + std::to_string(f.states[i].second) + "}";
  }
  out += "],\"counties\":[";
  for (std::size_t i = 0; i < f.counties.size(); ++i) {
    out += i ? ",{\"name\":" : "{\"name\":";
    AppendJsonString(out, f.counties[i].name);
    out += ",\"fips\":" + std::to_string(f.counties[i].fips) + ",\"zone\":";
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

// Loads the data file (from --data when given) and says which one is in use. False when
// there is none: the message names the folders searched.
bool LoadData(ZrGeoPosition& p, const LocateSettings& s) {
  std::string inUse;
  if (s.data) {
    std::string folder = *s.data;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    const std::string wanted = folder + kDataFileName;
    const auto found = FindDataFile();
    if (p.DataLoaded()) {
      if (found && *found != wanted) {
        ErrorLine("lantrel: warning: --data " + *s.data + " ignored: the library already loaded " +
                  *found + "\n");
      }
      inUse = found ? *found : "loaded";
    } else {
      bool loaded = false;
      try {
        loaded = p.SetPath(*s.data);
      } catch (const Error& e) {
        ErrorLine("lantrel: cannot read " + wanted + ": " + DescribeLibraryError(e) + "\n");
        return false;
      }
      if (!loaded) {
        ErrorLine("lantrel: no reference data file " + wanted + "\n");
        return false;
      }
      inUse = wanted;
    }
  } else if (p.DataLoaded()) {
    const auto found = FindDataFile();
    inUse = found ? *found : "loaded";
  } else {
    ErrorLine(std::string("lantrel: the reference data file ") + kDataFileName +
              " was not found; searched: " + FolderList(DataSearchFolders()) +
              ". Put it in one of those folders or name its folder with --data DIR.\n");
    return false;
  }
  if (s.verbose) ErrorLine("lantrel: data file: " + inUse + "\n");
  return true;
}

}  // namespace

int RunLocate(const std::vector<std::string>& args) {
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") {
      PrintHelp(HelpTopic::Locate);
      return kExitOk;
    }
    if (a == "--") break;
  }
  const LocateSettings s = ParseLocateOptions(args);
  if (!CheckInputs(s.files)) return kExitUsage;
  PointConverter converter(s.from, s.from, true, false);
  ZrGeoPosition& position = converter.position();
  if (!LoadData(position, s)) return kExitFailed;
  if (s.verbose) ErrorLine("lantrel: from " + Describe(s.from) + "\n");

  OutputSink out(STDOUT_FILENO);
  Reporter report(s.files.size() > 1);
  std::string text;
  bool stopped = false;
  bool bomDecided = false;
  const auto writeHeader = [&] {
    if (s.header && !s.json) out.Write("# state\tcounty\tzone\tquadrangle\tquadrangle-state\ttile\n");
  };
  for (const auto& file : s.files) {
    if (stopped) break;
    LineReader in(file);
    report.SetFile(in.name());
    std::optional<ProgressBar> bar;
    if (s.progress && (s.forceProgress ? in.regular() : WantProgress(in))) {
      bar.emplace("lantrel: " + in.name(), in.size());
      report.SetProgress(&*bar);
    }
    std::string_view line;
    while (in.Next(line)) {
      if (bar && (in.lineNumber() & 1023) == 0) bar->Update(in.consumed());
      if (!bomDecided) {
        // The input's byte-order mark goes in front of the output, once.
        bomDecided = true;
        if (in.bom() && !s.json) out.Write(kUtf8Bom);
        writeHeader();
      }
      if (Classify(line) != LineKind::Data) {
        if (!s.json) {
          out.Write(line);
          out.Write(in.outputEnding());
        }
        continue;
      }
      std::string_view separator;
      std::string_view rest;
      std::optional<Found> found;
      std::string error;
      if (converter.PlaceLine(line, separator, rest)) {
        try {
          found = Lookup(position);
        } catch (const Error& e) {
          error = DescribeLibraryError(e);
        }
      } else {
        error = converter.error();
      }
      if (!found) {
        report.Fail(in.lineNumber(), error);
        if (s.strict) {
          stopped = true;
          break;
        }
      }
      text.clear();
      if (s.json) {
        text += "{";
        if (s.files.size() > 1) {
          text += "\"file\":";
          AppendJsonString(text, in.name());
          text += ',';
        }
        text += "\"line\":" + std::to_string(in.lineNumber());
        if (found) {
          Json(text, *found);
        } else {
          text += ",\"error\":";
          AppendJsonString(text, error);
        }
        text += "}\n";
      } else {
        if (found) Tsv(text, *found);
        text += in.outputEnding();
      }
      out.Write(text);
    }
    if (bar) bar->Update(in.consumed());
    report.SetProgress(nullptr);
  }
  if (!bomDecided) writeHeader();  // empty input: the header alone
  out.Flush();
  return report.failures() > 0 ? kExitFailed : kExitOk;
}

}  // namespace lantrel::cli
