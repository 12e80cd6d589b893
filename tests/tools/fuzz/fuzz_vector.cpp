// libFuzzer entry: a vector job (convert geo -> north) over an arbitrary input file.
//
// Input layout: byte 0 chooses the run (bits 0-1 the input format: GeoJSON, CSV, GeoPackage,
// Shapefile .shp; bits 2-4 the output format: gpkg, shp, geojson, fgb, csv; bit 5 whether
// an old output is there first), the rest is the input file (for a shapefile: the .shp
// alone). The checks abort on: a job that exits 0 or 1 with fewer features
// in its output than GDAL reads from the input; a failed job that leaves a changed or new
// output, or its private folder; a message that is long, spans lines, holds control bytes or
// is not UTF-8.
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>

#include "lantrel/lantrel.hpp"
#include "command_line.hpp"
#include "io.hpp"
#include "systems.hpp"
#include "vector_job.hpp"

namespace {

using lantrel::cli::VectorFormat;

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
  }
}

const char* const kInputs[] = {"geojson", "csv", "gpkg", "shp"};
const char* const kOutputs[] = {"gpkg", "shp", "geojson", "fgb", "csv", "gpkg", "geojson", "csv"};
const VectorFormat kFormats[] = {VectorFormat::GeoPackage, VectorFormat::Shapefile, VectorFormat::GeoJson,
                                 VectorFormat::FlatGeobuf, VectorFormat::Csv, VectorFormat::GeoPackage,
                                 VectorFormat::GeoJson, VectorFormat::Csv};

const std::string& Folder() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/lantrel-vector-fuzz-XXXXXX";
    Require(mkdtemp(pattern) != nullptr, "mkdtemp");
    return std::string(pattern);
  }();
  return dir;
}

void Write(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Removes everything in the folder.
void Clear() {
  DIR* d = opendir(Folder().c_str());
  Require(d != nullptr, "opendir");
  while (const dirent* e = readdir(d)) {
    if (e->d_name[0] == '.' && (e->d_name[1] == 0 || (e->d_name[1] == '.' && e->d_name[2] == 0))) continue;
    const std::string path = Folder() + "/" + e->d_name;
    if (unlink(path.c_str()) != 0) {
      const std::string command = "rm -rf '" + path + "'";
      Require(std::system(command.c_str()) == 0, "remove a folder");
    }
  }
  closedir(d);
}

bool PrivateFolderLeft() {
  DIR* d = opendir(Folder().c_str());
  bool found = false;
  while (const dirent* e = readdir(d)) found = found || std::strncmp(e->d_name, ".lantrel-", 9) == 0;
  closedir(d);
  return found;
}

// Features GDAL reads from a file (every layer of it); -1 when it cannot open it.
long long Features(const std::string& path) {
  GDALDatasetUniquePtr ds(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
  if (!ds) return -1;
  long long n = 0;
  for (auto&& feature : ds->GetFeatures()) {
    (void)feature;
    ++n;
  }
  return n;
}

// Each message one line of printable UTF-8, of bounded length.
void CheckMessages(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    Require(end != std::string_view::npos, "a message without its line end");
    const std::string_view line = text.substr(start, end - start);
    Require(line.size() < 1200, "a long message");
    for (std::size_t i = 0; i < line.size(); ++i) {
      const auto b = static_cast<unsigned char>(line[i]);
      Require(b >= 0x20 && b != 0x7F, "a control byte in a message");
      if (b < 0x80) continue;
      std::size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
      Require(n != 0 && i + n <= line.size(), "a message that is not UTF-8");
      for (std::size_t k = 1; k < n; ++k) {
        Require((static_cast<unsigned char>(line[i + k]) & 0xC0) == 0x80, "a message that is not UTF-8");
      }
      i += n - 1;
    }
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  GDALAllRegister();
  CPLSetConfigOption("CPL_DEBUG", "OFF");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const unsigned mode = data[0];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  Clear();
  const std::string input = Folder() + "/in." + kInputs[mode & 3];
  Write(input, bytes);
  const unsigned out = (mode >> 2) & 7;
  const std::string output = Folder() + "/out." + kOutputs[out];
  const bool old = (mode & 32) != 0 && kFormats[out] != VectorFormat::GeoPackage;
  if (old) Write(output, "old");

  lantrel::cli::VectorSettings s;
  s.input = input;
  s.output = output;
  s.format = kFormats[out];
  s.from = lantrel::cli::ParseSystem("geo").system;
  s.to = *lantrel::cli::ParseSystem("north").system;
  s.overwrite = old;

  // Standard error goes to memory for the checks.
  const int saved = dup(STDERR_FILENO);
  const int capture = memfd_create("lantrel-vector-fuzz", 0);
  Require(saved >= 0 && capture >= 0, "memfd_create");
  dup2(capture, STDERR_FILENO);
  int status = -1;
  std::string raised;
  try {
    status = lantrel::cli::RunVectorJob(s, [](lantrel::ZrGeoPosition&) { return true; });
  } catch (const lantrel::cli::UsageError& e) {
    raised = std::string(e.what()) + "\n";
  } catch (const lantrel::cli::IoError& e) {
    raised = std::string(e.what()) + "\n";
  } catch (const lantrel::Error& e) {
    raised = e.description() + "\n";
  }
  dup2(saved, STDERR_FILENO);
  close(saved);
  std::string messages(static_cast<std::size_t>(lseek(capture, 0, SEEK_END)), '\0');
  Require(pread(capture, messages.data(), messages.size(), 0) == static_cast<ssize_t>(messages.size()), "pread");
  close(capture);
  CheckMessages(messages);
  CheckMessages(raised);

  Require(!PrivateFolderLeft(), "the private folder left behind");
  if (status == 0 || status == 1) {
    // Every feature read is in the output (CSV input: the job's reader decides what a record
    // is; GDAL's would count differently).
    const long long written = Features(output);
    Require(written >= 0, "an unreadable output");
    if ((mode & 3) != 1) Require(written == Features(input), "features lost");
  } else {
    Require(status == -1, "an exit status other than 0 or 1");
    if (old) Require(Read(output) == "old", "a failed job changed the old output");
    else Require(access(output.c_str(), F_OK) != 0, "a failed job left an output");
  }
  return 0;
}
