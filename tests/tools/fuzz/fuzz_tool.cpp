// libFuzzer entry: the tool's record framing (line and CSV readers), its plain-line and
// Carter-text parsers and the conversion of each record, over arbitrary input.
//
// Input layout: byte 0 chooses the run (bit 0 CSV, bits 1-3 source system, bits 4-5 target
// system, bit 6 accept distant points), byte 1 the read block size, the rest is the text.
// The checks abort on: a record lost, merged or counted twice; a conversion reported as done
// with a result off the globe, not finite, or (unless accepted) outside the served region;
// a message that is long or not one line.
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "csv.hpp"
#include "excerpt.hpp"
#include "io.hpp"
#include "line_fields.hpp"
#include "point_converter.hpp"
#include "systems.hpp"

namespace {

using lantrel::cli::PointConverter;

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
  }
}

const char* const kSources[] = {"geo", "north/nad27/usft", "utm16", "south/nad83/m",
                                "carter", "tn/nad83/ft", "in-west/nad27/km", "geo/nad27"};
const char* const kTargets[] = {"geo", "north", "utm17/nad27", "carter"};

PointConverter& Converter(unsigned source, unsigned target, bool accept) {
  static std::unique_ptr<PointConverter> cache[8][4][2];
  auto& slot = cache[source][target][accept ? 1 : 0];
  if (!slot) {
    const auto from = lantrel::cli::ParseSystem(kSources[source]).system;
    const auto to = lantrel::cli::ParseSystem(kTargets[target]).system;
    Require(from && to, "system names");
    slot = std::make_unique<PointConverter>(*from, *to, false, target == 3 && source % 2 == 0);
    slot->AcceptDistant(accept);
  }
  return *slot;
}

void CheckMessage(const std::string& message) {
  Require(!message.empty(), "a failure without a message");
  Require(message.size() < 600, "a long message");
  for (const char c : message) Require(c != '\n' && c != '\r' && c != '\0', "a message on several lines");
}

void CheckConverted(PointConverter& c, bool ok, const lantrel::cli::ConvertedPoint& pt, bool accept) {
  if (!ok) {
    CheckMessage(c.error());
    return;
  }
  Require(std::isfinite(pt.x) && std::isfinite(pt.y), "a result that is not finite");
  if (c.to().Angular()) {
    Require(std::fabs(pt.y) <= 90.0 && std::fabs(pt.x) <= 180.0, "a result off the globe");
    if (!accept) {
      // A datum shift only happens inside its window, well inside the region.
      Require(lantrel::cli::ServedRegion::Contains(std::fabs(pt.x), pt.y), "a distant result accepted");
    }
  }
}

// A file descriptor in memory holding the text, named through /proc for the line reader.
struct MemoryFile {
  int fd = -1;
  std::string path;
  explicit MemoryFile(std::string_view text) {
    fd = memfd_create("lantrel-fuzz", 0);
    Require(fd >= 0, "memfd_create");
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
      Require(n > 0, "write");
      done += static_cast<std::size_t>(n);
    }
    path = "/proc/self/fd/" + std::to_string(fd);
  }
  ~MemoryFile() { ::close(fd); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const unsigned mode = data[0];
  const bool csv = (mode & 1) != 0;
  const unsigned source = (mode >> 1) & 7;
  const unsigned target = (mode >> 4) & 3;
  const bool accept = (mode & 64) != 0;
  const std::size_t chunk = 2 + data[1] % 61;
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

  // Excerpts stay short and quote-delimited whatever they are given.
  const std::string excerpt = lantrel::cli::Excerpt(text);
  Require(excerpt.size() <= 4 * lantrel::cli::kExcerptBytes + 32, "a long excerpt");

  PointConverter& converter = Converter(source, target, accept);
  lantrel::cli::ConvertedPoint pt;
  const MemoryFile file(text);
  lantrel::cli::LineReader lines(file.path, chunk);
  if (!csv) {
    std::string_view line;
    std::uint64_t expected = 1;
    while (lines.Next(line)) {
      Require(lines.lineNumber() == expected++, "plain line numbers");
      Require(line.find('\n') == std::string_view::npos && line.find('\r') == std::string_view::npos,
              "a line holding a line end");
      if (lantrel::cli::Classify(line) != lantrel::cli::LineKind::Data) continue;
      std::string_view separator;
      std::string_view rest;
      const bool ok = converter.PlaceLine(line, separator, rest) && converter.Convert(pt);
      CheckConverted(converter, ok, pt, accept);
    }
    Require(lines.consumed() == text.size(), "bytes left unread");
    return 0;
  }
  lantrel::cli::CsvReader reader(lines);
  lantrel::cli::CsvRecord record;
  std::uint64_t next = 1;  // the line the next record must start at
  bool header = true;
  while (reader.Next(record)) {
    Require(record.line == next, "a CSV record lost, merged or repeated");
    Require(record.lines >= 1, "an empty record");
    const bool damaged = !record.error.empty();
    next = record.line + (damaged ? 1 : record.lines);
    if (damaged) {
      Require(record.fields.empty(), "fields of a damaged record");
      CheckMessage(record.error);
      continue;
    }
    if (record.kind != lantrel::cli::LineKind::Data) continue;
    Require(!record.fields.empty(), "a record without fields");
    if (header) {
      header = false;
      continue;
    }
    bool ok;
    if (converter.from().IsCarter()) {
      ok = converter.PlaceLocation(lantrel::cli::CsvValue(record.fields[0]));
    } else {
      ok = record.fields.size() >= 2 &&
           converter.PlaceValues(lantrel::cli::CsvValue(record.fields[0]),
                                 lantrel::cli::CsvValue(record.fields[1]));
    }
    if (record.fields.size() < 2 && !converter.from().IsCarter()) continue;
    ok = ok && converter.Convert(pt);
    CheckConverted(converter, ok, pt, accept);
  }
  Require(lines.consumed() == text.size(), "bytes left unread");
  return 0;
}
