// lantrel info and lantrel systems: what the library is, and the names the tool accepts.
#include <cmath>
#include <cstdio>
#include <string>

#include "commands.hpp"
#include "data_files.hpp"
#include "io.hpp"
#include "lantrel/lantrel.hpp"
#include "command_line.hpp"
#include "systems.hpp"

namespace lantrel::cli {

namespace {

// An automation date (days since 30 December 1899) as YYYY-MM-DD.
std::string IsoDate(double automationDate) {
  // Civil-from-days on the proleptic Gregorian calendar; day 25569 is 1970-01-01.
  long long z = static_cast<long long>(std::floor(automationDate)) - 25569 + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const long long d = doy - (153 * mp + 2) / 5 + 1;
  const long long m = mp < 10 ? mp + 3 : mp - 9;
  const long long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  char text[96];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld", y, m, d);
  return text;
}

std::string WithoutCarriageReturns(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c != '\r') out += c;
  }
  return out;
}

void Print(OutputSink& out, const std::string& text) { out.Write(text); }

}  // namespace

CommandLine InfoCommandLine() {
  CommandLine c("info",
      "usage: lantrel info\n"
      "\n"
      "Shows the library's version, release date and About text, and the reference data file in\n"
      "use and whether its checksum was verified (or the folders where it was sought).\n"
      "\n");
  return c;
}

CommandLine SystemsCommandLine() {
  CommandLine c("systems",
      "usage: lantrel systems\n"
      "\n"
      "Lists the projection, datum and unit names and the EPSG codes lantrel accepts, with what\n"
      "each EPSG code stands for.\n"
      "\n");
  return c;
}

int RunInfo(const std::vector<std::string>& args) {
  CommandLine o = InfoCommandLine();
  if (!o.Parse(args)) {
    o.PrintHelp();
    return kExitOk;
  }
  if (!o.operands().empty()) throw UsageError("info takes no operands");
  ZrGeoPosition position;
  OutputSink out(1, 1 << 14);
  Print(out, "lantrel " + position.Version() + "\n");
  Print(out, "Release date: " + IsoDate(position.ReleaseDate()) + "\n");
  Print(out, "\n" + WithoutCarriageReturns(position.About()) + "\n\n");
  const auto file = FindDataFile();
  if (position.DataLoaded()) {
    Print(out, "Data file: " + (file ? *file : std::string("loaded")) + "\n");
    Print(out, position.DataVerified() ? "Data check: verified (checksum matched)\n"
                                       : "Data check: not verified (the file has no checksum)\n");
  } else {
    Print(out, "Data file: " + std::string(kDataFileName) + " not found; searched:\n");
    for (const auto& folder : DataSearchFolders()) Print(out, "  " + folder + "\n");
  }
  out.Flush();
  return kExitOk;
}

int RunSystems(const std::vector<std::string>& args) {
  CommandLine o = SystemsCommandLine();
  if (!o.Parse(args)) {
    o.PrintHelp();
    return kExitOk;
  }
  if (!o.operands().empty()) throw UsageError("systems takes no operands");
  OutputSink out(1, 1 << 14);
  Print(out, "Projections (name, enumeration member, code, default units):\n");
  for (int code = 0; code <= 15; ++code) {
    const auto p = static_cast<zrGeoProjection>(code);
    char line[160];
    std::snprintf(line, sizeof line, "  %-11s %-13s %2d  %-5s %s\n",
                  std::string(ShortName(p)).c_str(),
                  std::string(MemberName(p)).c_str(),
                  code, std::string(ShortName(DefaultUnits(p))).c_str(),
                  std::string(LongName(p)).c_str());
    Print(out, line);
  }
  Print(out, "\nDatums: nad83 (default), nad27\n");
  Print(out, "Units: deg, usft, m, ft (international foot), mi, km\n");
  Print(out, "\nEPSG codes:\n");
  for (const auto& e : EpsgTable()) {
    System s{e.projection, e.datum, e.units, e.code};
    Print(out, "  " + Describe(s) + "\n");
  }
  out.Flush();
  return kExitOk;
}

}  // namespace lantrel::cli
