// lantrel: command-line front end of the coordinate library.
#include <string>
#include <string_view>
#include <vector>

#include "commands.hpp"
#include "io.hpp"
#include "lantrel/lantrel.hpp"
#include "lantrel/quoted_text.hpp"
#include "point_converter.hpp"
#include "serve_module.hpp"
#include "vector_module.hpp"
#include "vector_request.hpp"

namespace {

using namespace lantrel::cli;
using lantrel::Excerpt;

// convert and locate read text or vector files by one command line each; vector files and
// serve are modules the program opens only for their jobs.
int Convert(const std::vector<std::string>& args) {
  CommandLine o = ConvertCommandLine();
  if (!o.Parse(args)) {
    o.PrintHelp();
    return kExitOk;
  }
  return WantsVectorFiles(o) ? Vector().runConvert(o) : RunConvert(o);
}

int Locate(const std::vector<std::string>& args) {
  CommandLine o = LocateCommandLine();
  if (!o.Parse(args)) {
    o.PrintHelp();
    return kExitOk;
  }
  return WantsVectorFiles(o) ? Vector().runLocate(o) : RunLocate(o);
}

#ifdef LANTREL_HAVE_SERVE
int ServeCommand(const std::vector<std::string>& args) { return Serve().run(args); }
#endif

struct Command {
  std::string_view name;
  std::string_view summary;                     // its line in the tool's help
  int (*run)(const std::vector<std::string>&);  // null when this build has no such command
};

const Command kCommands[] = {
    {"convert", "convert points between coordinate systems, datums and units", Convert},
    {"locate", "name the states, counties and quadrangles that contain points", Locate},
    {"info", "show the library version, release date and the data file in use", RunInfo},
    {"systems", "list the coordinate system names and EPSG codes lantrel accepts", RunSystems},
    {"map", "draw points over the counties and quadrangles around them (SVG or PNG)", RunMap},
#ifdef LANTREL_HAVE_SERVE
    {"serve", "answer conversions over HTTP (JSON API) and serve the interactive page", ServeCommand},
#else
    {"serve", "not in this build (it needs cpp-httplib and nlohmann-json)", nullptr},
#endif
};

std::string MainHelp() {
  std::string text =
      "usage: lantrel COMMAND [OPTIONS] [FILE ...]\n"
      "\n"
      "Coordinate conversion for Kentucky and its neighbouring states.\n"
      "\n"
      "Commands:\n";
  for (const auto& c : kCommands) {
    text += "  ";
    text += c.name;
    text.append(10 - c.name.size(), ' ');
    text += c.summary;
    text += '\n';
  }
  text +=
      "\n"
      "Run 'lantrel COMMAND --help' for the options of a command; 'lantrel --version' prints the\n"
      "version.\n"
      "\n"
      "Examples:\n"
      "  echo \"-84.8733 38.2009\" | lantrel convert --from geo --to north\n"
      "  lantrel convert --from north/nad27 --to utm16 points.txt\n"
      "  lantrel locate --from utm16 points.txt\n"
      "  lantrel map -o wells.svg wells.txt\n"
      "  lantrel serve --port 8080\n"
      "\n"
      "Exit status: 0 success, 1 when a point (or the job) failed, 2 for a wrong command line.\n";
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> all(argv + 1, argv + argc);
  if (all.empty()) {
    ErrorLine(MainHelp());
    return kExitUsage;
  }
  const std::string& command = all.front();
  const std::vector<std::string> args(all.begin() + 1, all.end());
  const Command* known = nullptr;
  for (const auto& c : kCommands) {
    if (c.name == command) known = &c;
  }
  try {
    if (command == "--help" || command == "-h" || command == "help") {
      WriteOut(MainHelp());
      return kExitOk;
    }
    if (command == "--version") {
      lantrel::ZrGeoPosition position;
      const std::string text = "lantrel " + position.Version() + "\n";
      OutputSink out(1, 256);
      out.Write(text);
      out.Flush();
      return kExitOk;
    }
    if (known == nullptr) throw UsageError("unknown command " + Excerpt(command));
    if (known->run == nullptr) {
      // Its own --help would say no more: the hint goes to the tool's.
      ErrorLine("lantrel: this lantrel was built without " + command + ", which needs cpp-httplib and "
                "nlohmann-json\nTry 'lantrel --help'.\n");
      return kExitUsage;
    }
    return known->run(args);
  } catch (const UsageError& e) {
    ErrorLine("lantrel: " + std::string(e.what()) + "\nTry 'lantrel " +
              (known != nullptr ? command + " " : std::string()) + "--help'.\n");
    return kExitUsage;
  } catch (const IoError& e) {
    ErrorLine("lantrel: " + std::string(e.what()) + "\n");
    return kExitFailed;
  } catch (const lantrel::Error& e) {
    ErrorLine("lantrel: " + DescribeLibraryError(e) + "\n");
    return kExitFailed;
  }
}
