// Reader of lantrel.bin: five counted sections, little-endian, read from one in-memory copy of
// the file. Every count is checked against the bytes that remain before anything is allocated,
// so a damaged file fails cleanly and never costs more memory than its own size justifies. A
// file that ends in a checksum trailer is refused before decoding when its bytes do not match.
//
// Loaded tables are kept in a small process-wide cache keyed by the file's identity (device,
// inode) and checked against its size, modification and change times, so further positions
// that find the same unchanged file share the tables without reading it again.
#include "refdata/reference_data.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <mutex>

#include "lantrel/error.hpp"
#include "core/raise.hpp"
#include "core/windows_1252.hpp"
#include "refdata/checksum.hpp"
#include "refdata/edge_index.hpp"
#include "refdata/integrity.hpp"

namespace lantrel::detail {

namespace {

// Standard run-time error numbers of file input.
constexpr std::int32_t kFileNotFound = 53;
constexpr std::int32_t kInputPastEnd = 62;
constexpr std::int32_t kFileAccess = 75;

constexpr std::size_t kRegionBytes = 46;  // without the name's characters
constexpr std::size_t kQuadBytes = 38;    // without the three texts' characters

[[noreturn]] void Fail(std::int32_t number, const std::string& fileName, const std::string& what) {
  throw Error(number, kRuntimeSource, RuntimeErrorText(number) + ": " + fileName + ": " + what);
}

class Reader {
 public:
  Reader(const unsigned char* bytes, std::size_t size, const std::string& fileName)
      : p_(bytes), left_(size), fileName_(fileName) {}

  std::int32_t Int32(const char* what) {
    Need(4, what);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | p_[i];
    Skip(4);
    return static_cast<std::int32_t>(v);
  }

  double Float64(const char* what) {
    Need(8, what);
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p_[i];
    Skip(8);
    return std::bit_cast<double>(v);
  }

  std::string Text(const char* what) {
    Need(2, what);
    const std::size_t n = static_cast<std::size_t>(p_[0]) | (static_cast<std::size_t>(p_[1]) << 8);
    Skip(2);
    Need(n, what);
    std::string text = Windows1252ToUtf8(p_, n);
    Skip(n);
    return text;
  }

  /// Reads a section count and checks that the rest of the file can hold `count` items of at
  /// least `itemBytes` bytes each.
  std::size_t Count(const char* section, std::size_t itemBytes) {
    const std::string what = std::string(section) + " count";
    const std::int32_t n = Int32(what.c_str());
    if (n == INT32_MIN) {
      Fail(errc::Overflow, fileName_, what + " -2147483648 has no upper index");
    }
    if (n < 1) {
      Fail(errc::SubscriptOutOfRange, fileName_,
           what + " " + std::to_string(n) + " is below 1");
    }
    const auto count = static_cast<std::size_t>(n);
    if (count > left_ / itemBytes) {
      Fail(kInputPastEnd, fileName_,
           what + " " + std::to_string(n) + " needs at least " +
               std::to_string(static_cast<unsigned long long>(count) * itemBytes) +
               " bytes, " + std::to_string(left_) + " remain");
    }
    return count;
  }

  const unsigned char* Block(std::size_t bytes, const char* what) {
    Need(bytes, what);
    const unsigned char* start = p_;
    Skip(bytes);
    return start;
  }

 private:
  void Need(std::size_t n, const char* what) const {
    if (n > left_) Fail(kInputPastEnd, fileName_, std::string("file ends inside the ") + what);
  }
  void Skip(std::size_t n) {
    p_ += n;
    left_ -= n;
  }

  const unsigned char* p_;
  std::size_t left_;
  const std::string& fileName_;
};

void ReadRegions(Reader& in, const char* section, const char* item,
                 std::vector<RegionRecord>& table) {
  const std::size_t count = in.Count(section, kRegionBytes);
  table.assign(count, RegionRecord{});
  for (auto& r : table) {
    r.FIPS = in.Int32(item);
    r.FirstVertex = in.Int32(item);
    r.LastVertex = in.Int32(item);
    r.Name = in.Text(item);
    r.XMax = in.Float64(item);
    r.XMin = in.Float64(item);
    r.YMax = in.Float64(item);
    r.YMin = in.Float64(item);
  }
}

void ReadQuads(Reader& in, std::vector<QuadRecord>& table) {
  const std::size_t count = in.Count("quadrangle", kQuadBytes);
  table.assign(count, QuadRecord{});
  for (auto& q : table) {
    q.Name = in.Text("quadrangle records");
    q.State = in.Text("quadrangle records");
    q.Tile = in.Text("quadrangle records");
    q.XMax = in.Float64("quadrangle records");
    q.XMin = in.Float64("quadrangle records");
    q.YMax = in.Float64("quadrangle records");
    q.YMin = in.Float64("quadrangle records");
  }
}

std::uint32_t LittleEndian32(const unsigned char* b) {
  return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
         (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::uint64_t LittleEndian64(const unsigned char* b) {
  return static_cast<std::uint64_t>(LittleEndian32(b)) |
         (static_cast<std::uint64_t>(LittleEndian32(b + 4)) << 32);
}

void ReadVertexNumbers(Reader& in, std::vector<std::int32_t>& table) {
  const std::size_t count = in.Count("vertex-number", 4);
  const unsigned char* block = in.Block(4 * count, "vertex numbers");
  table.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    table[i] = static_cast<std::int32_t>(LittleEndian32(block + 4 * i));
  }
}

void ReadVertices(Reader& in, std::vector<Pair>& table) {
  const std::size_t count = in.Count("vertex", 16);
  const unsigned char* block = in.Block(16 * count, "vertices");
  table.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    table[i].x = std::bit_cast<double>(LittleEndian64(block + 16 * i));
    table[i].y = std::bit_cast<double>(LittleEndian64(block + 16 * i + 8));
  }
}

// ---- file access and the cache ------------------------------------------------------------

struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t modified = 0;  // nanoseconds
  std::int64_t changed = 0;   // nanoseconds

  static FileIdentity Of(const struct stat& s) {
    return {s.st_dev, s.st_ino, s.st_size,
            std::int64_t{s.st_mtim.tv_sec} * 1000000000 + s.st_mtim.tv_nsec,
            std::int64_t{s.st_ctim.tv_sec} * 1000000000 + s.st_ctim.tv_nsec};
  }
  bool SameFile(const FileIdentity& o) const { return device == o.device && inode == o.inode; }
  bool operator==(const FileIdentity&) const = default;
};

struct CacheEntry {
  FileIdentity identity;
  std::uint64_t digest = 0;  // of the file's bytes
  bool settled = false;
  std::shared_ptr<const ReferenceData> data;
};

// File times have the resolution of the kernel's clock tick, so a file rewritten moments before
// it was read can be rewritten again with the same size and times. An entry made while the
// file's last change was that recent is reused only after the file's bytes are read again and
// found unchanged; once the change lies this far behind such a check, the times alone suffice.
constexpr std::int64_t kSettledNanoseconds = 2'000'000'000;
constexpr std::size_t kCacheSize = 8;

std::mutex cacheMutex;
std::vector<CacheEntry> cache;  // guarded by cacheMutex

bool Settled(const FileIdentity& id) {
  const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
  return now - id.modified >= kSettledNanoseconds && now - id.changed >= kSettledNanoseconds;
}

std::shared_ptr<const ReferenceData> CachedSettled(const FileIdentity& id) {
  std::lock_guard lock(cacheMutex);
  for (const auto& e : cache) {
    if (e.identity == id && e.settled) return e.data;
  }
  return nullptr;
}

std::shared_ptr<const ReferenceData> CachedWithDigest(const FileIdentity& id,
                                                      std::uint64_t digest) {
  std::lock_guard lock(cacheMutex);
  for (auto& e : cache) {
    if (e.identity == id && e.digest == digest) {
      e.settled = e.settled || Settled(id);
      return e.data;
    }
  }
  return nullptr;
}

void Remember(const FileIdentity& id, std::uint64_t digest,
              std::shared_ptr<const ReferenceData> data) {
  CacheEntry entry{id, digest, Settled(id), std::move(data)};
  std::lock_guard lock(cacheMutex);
  for (auto& e : cache) {
    if (e.identity.SameFile(id)) {
      e = std::move(entry);
      return;
    }
  }
  if (cache.size() >= kCacheSize) cache.erase(cache.begin());
  cache.push_back(std::move(entry));
}

class FileHandle {
 public:
  explicit FileHandle(int fd) : fd_(fd) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

[[noreturn]] void FailErrno(const std::string& fileName, int error) {
  Fail(error == ENOENT ? kFileNotFound : kFileAccess, fileName, std::strerror(error));
}

std::shared_ptr<const ReferenceData> Parse(const unsigned char* bytes, std::size_t size,
                                           const FileDigest& digest, const std::string& fileName) {
  const bool verified = VerifyChecksum(digest, fileName);
  auto data = DecodeReferenceData(bytes, size, fileName);
  data->verified = verified;
  CheckIntegrity(*data, fileName);
  data->indexOnDemand = true;
  return data;
}

}  // namespace

const EdgeIndex* ReferenceData::Index() const {
  std::call_once(indexOnce_, [this] {
    if (index || !indexOnDemand) return;
    // The lookup grid is labelled by searches over the edge index, so it is built last.
    const auto built = BuildEdgeIndex(*this);
    built->grid = BuildLookupGrid(*this, *built);
    index = built;
  });
  return index.get();
}

std::shared_ptr<ReferenceData> DecodeReferenceData(const unsigned char* bytes, std::size_t size,
                                                   const std::string& fileName) {
  auto data = std::make_shared<ReferenceData>();
  Reader in(bytes, size, fileName);
  ReadRegions(in, "state", "state records", data->states);
  ReadRegions(in, "county", "county records", data->counties);
  ReadQuads(in, data->quads);
  ReadVertexNumbers(in, data->vertexIndexList);
  ReadVertices(in, data->vertexList);
  // Bytes after the vertices (a checksum trailer, or anything else) are ignored.
  return data;
}

std::shared_ptr<const ReferenceData> ParseReferenceData(const unsigned char* bytes,
                                                        std::size_t size,
                                                        const std::string& fileName) {
  return Parse(bytes, size, DigestFile(bytes, size), fileName);
}

std::shared_ptr<const ReferenceData> LoadReferenceData(const std::string& fileName) {
  struct stat status {};
  if (::stat(fileName.c_str(), &status) == 0) {
    if (auto shared = CachedSettled(FileIdentity::Of(status))) return shared;
  }
  const FileHandle file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) FailErrno(fileName, errno);
  if (::fstat(file.get(), &status) != 0) FailErrno(fileName, errno);
  if (!S_ISREG(status.st_mode)) Fail(kFileAccess, fileName, "not a regular file");
  const FileIdentity id = FileIdentity::Of(status);

  std::vector<unsigned char> bytes(static_cast<std::size_t>(status.st_size));
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(file.get(), bytes.data() + got, bytes.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      FailErrno(fileName, errno);
    }
    if (n == 0) break;  // the file shrank; the parser reports what is missing
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  const FileDigest digest = DigestFile(bytes.data(), bytes.size());
  if (auto shared = CachedWithDigest(id, digest.whole)) return shared;
  auto data = Parse(bytes.data(), bytes.size(), digest, fileName);
  Remember(id, digest.whole, data);
  return data;
}

}  // namespace lantrel::detail
