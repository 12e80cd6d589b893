// libFuzzer entry: the tool's record framing (line and CSV readers), its plain-line and
// Carter-text parsers and the conversion of each record, over arbitrary input.
//
// Input layout: byte 0 chooses the run (bit 0 CSV, bits 1-3 source system, bits 4-5 target
// system, bit 6 accept distant points, bit 7 a whole 'lantrel convert --json' run as well),
// byte 1 the read block size, the rest is the text.
// The checks abort on: a record lost, merged or counted twice; a conversion reported as done
// with a result off the globe, not finite, or (unless accepted) outside the served region;
// a message that is long, not one line or not UTF-8; JSON output that is not valid JSON.
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

#include "command_line.hpp"
#include "commands.hpp"
#include "csv.hpp"
#include "io.hpp"
#include "lantrel/quoted_text.hpp"
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

// Well-formed UTF-8 from s[i]: the length of the character, or 0 (checked here by code point,
// apart from the tool's own reader).
std::size_t Utf8Char(std::string_view s, std::size_t i) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) return 1;
  const std::size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
  if (n == 0 || b > 0xF4 || s.size() - i < n) return 0;
  std::uint32_t cp = b & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (c & 0x3F);
  }
  const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

bool Utf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = Utf8Char(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

void CheckMessage(const std::string& message) {
  Require(!message.empty(), "a failure without a message");
  Require(message.size() < 600, "a long message");
  for (const char c : message) Require(c != '\n' && c != '\r' && c != '\0', "a message on several lines");
  Require(Utf8(message), "a message that is not UTF-8");
}

// A strict reader of one JSON value (RFC 8259); false at the first fault.
struct JsonReader {
  std::string_view s;
  std::size_t i = 0;
  int depth = 0;

  bool Eat(char c) {
    if (i < s.size() && s[i] == c) {
      ++i;
      return true;
    }
    return false;
  }
  void Blanks() {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
  }
  bool Digits() {
    const std::size_t from = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i > from;
  }
  bool Number() {
    Eat('-');
    if (!Eat('0') && !Digits()) return false;
    if (Eat('.') && !Digits()) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
      ++i;
      if (!Eat('+')) Eat('-');
      if (!Digits()) return false;
    }
    return true;
  }
  bool String() {
    if (!Eat('"')) return false;
    while (i < s.size()) {
      const auto c = static_cast<unsigned char>(s[i]);
      if (c == '"') {
        ++i;
        return true;
      }
      if (c < 0x20) return false;
      if (c == '\\') {
        if (++i >= s.size()) return false;
        const char e = s[i++];
        if (e == 'u') {
          for (int k = 0; k < 4; ++k, ++i) {
            if (i >= s.size() || std::string_view("0123456789abcdefABCDEF").find(s[i]) == std::string_view::npos) return false;
          }
        } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
          return false;
        }
        continue;
      }
      const std::size_t n = Utf8Char(s, i);
      if (n == 0) return false;
      i += n;
    }
    return false;
  }
  bool Literal(std::string_view word) {
    if (s.substr(i, word.size()) != word) return false;
    i += word.size();
    return true;
  }
  bool Value() {
    if (++depth > 32) return false;
    Blanks();
    bool ok;
    if (i >= s.size()) {
      ok = false;
    } else if (s[i] == '{' || s[i] == '[') {
      const char close = s[i] == '{' ? '}' : ']';
      const bool object = close == '}';
      ++i;
      Blanks();
      ok = true;
      if (!Eat(close)) {
        do {
          Blanks();
          if (object) {
            ok = String();
            Blanks();
            ok = ok && Eat(':');
          }
          ok = ok && Value();
          Blanks();
        } while (ok && Eat(','));
        ok = ok && Eat(close);
      }
    } else if (s[i] == '"') {
      ok = String();
    } else if (s[i] == 't' || s[i] == 'f' || s[i] == 'n') {
      ok = Literal("true") || Literal("false") || Literal("null");
    } else {
      ok = Number();
    }
    --depth;
    return ok;
  }
};

// Output of a descriptor in memory, read back from its start.
std::string ReadBack(int fd) {
  std::string text;
  char buffer[4096];
  for (off_t at = 0;;) {
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
    at += n;
  }
  return text;
}

// The whole convert command with --json over the input file, standard output and error
// taken into memory: every output line is one valid JSON object, every message one line of
// UTF-8.
void CheckJsonRun(const std::string& path, bool csv, unsigned source, unsigned target) {
  const int out = memfd_create("lantrel-fuzz-out", 0);
  const int err = memfd_create("lantrel-fuzz-err", 0);
  Require(out >= 0 && err >= 0, "memfd_create");
  const int savedOut = ::dup(STDOUT_FILENO);
  const int savedErr = ::dup(STDERR_FILENO);
  ::dup2(out, STDOUT_FILENO);
  ::dup2(err, STDERR_FILENO);
  std::vector<std::string> args = {"--json", "-f", kSources[source], "-t", kTargets[target],
                                   "--no-progress", path};
  if (csv) args.insert(args.begin(), "--csv");
  if (target == 1 && source != 4) args.insert(args.begin(), "--factors");
  try {
    lantrel::cli::RunConvert(args);
  } catch (const lantrel::cli::UsageError&) {
    // A header without coordinate columns: nothing written.
  } catch (const lantrel::cli::IoError&) {
  }
  ::dup2(savedOut, STDOUT_FILENO);
  ::dup2(savedErr, STDERR_FILENO);
  ::close(savedOut);
  ::close(savedErr);
  const std::string json = ReadBack(out);
  const std::string messages = ReadBack(err);
  ::close(out);
  ::close(err);
  std::size_t start = 0;
  while (start < json.size()) {
    const std::size_t end = json.find('\n', start);
    Require(end != std::string::npos, "JSON output without its last line end");
    JsonReader reader{std::string_view(json).substr(start, end - start)};
    Require(reader.s.substr(0, 1) == "{" && reader.Value() && reader.i == reader.s.size(),
            "JSON output that is not a valid JSON object per line");
    start = end + 1;
  }
  Require(Utf8(messages), "messages that are not UTF-8");
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
      Require(lantrel::ServedRegion::Contains(std::fabs(pt.x), pt.y), "a distant result accepted");
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
  const bool wholeRun = (mode & 128) != 0;
  const std::size_t chunk = 2 + data[1] % 61;
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

  // Excerpts stay short and quote-delimited whatever they are given.
  const std::string excerpt = lantrel::Excerpt(text);
  Require(excerpt.size() <= 4 * lantrel::kExcerptBytes + 32, "a long excerpt");

  PointConverter& converter = Converter(source, target, accept);
  lantrel::cli::ConvertedPoint pt;
  const MemoryFile file(text);
  if (wholeRun) CheckJsonRun(file.path, csv, source, target);
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
