// lantrel: command-line front end of the coordinate library.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "commands.hpp"
#include "excerpt.hpp"
#include "help.hpp"
#include "io.hpp"
#include "lantrel/lantrel.hpp"
#include "options.hpp"
#include "point_converter.hpp"
#include "vector_command.hpp"

int main(int argc, char** argv) {
  using namespace lantrel::cli;
  const std::vector<std::string> all(argv + 1, argv + argc);
  if (all.empty()) {
    ErrorLine(HelpText(HelpTopic::Main));
    return kExitUsage;
  }
  const std::string& command = all.front();
  const std::vector<std::string> args(all.begin() + 1, all.end());
  try {
    if (command == "--help" || command == "-h" || command == "help") {
      PrintHelp(HelpTopic::Main);
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
    const bool help = std::find(args.begin(), args.end(), "--help") != args.end() ||
                      std::find(args.begin(), args.end(), "-h") != args.end();
    if (command == "convert") return !help && WantsVectorFiles(args) ? RunVectorConvert(args) : RunConvert(args);
    if (command == "locate") return !help && WantsVectorFiles(args) ? RunVectorLocate(args) : RunLocate(args);
    if (command == "info") return RunInfo(args);
    if (command == "systems") return RunSystems(args);
    if (command == "map") return RunMap(args);
#ifdef LANTREL_HAVE_SERVE
    if (command == "serve") return RunServe(args);
#endif
    throw UsageError("unknown command " + Excerpt(command));
  } catch (const UsageError& e) {
    const bool known = command == "convert" || command == "locate" || command == "info" ||
                       command == "systems" || command == "map" || command == "serve";
    ErrorLine("lantrel: " + std::string(e.what()) + "\nTry 'lantrel " +
              (known ? command + " " : std::string()) + "--help'.\n");
    return kExitUsage;
  } catch (const IoError& e) {
    ErrorLine("lantrel: " + std::string(e.what()) + "\n");
    return kExitFailed;
  } catch (const lantrel::Error& e) {
    ErrorLine("lantrel: " + DescribeLibraryError(e) + "\n");
    return kExitFailed;
  }
}
