#include "refdata/checksum.hpp"

#include <cstdio>
#include <cstring>

#include "lantrel/error.hpp"
#include "core/raise.hpp"

namespace lantrel::detail {

namespace {

constexpr std::size_t kTagBytes = 8;

std::uint64_t LittleEndian64(const unsigned char* b) {
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | b[i];
  return v;
}

std::string Hex(std::uint64_t v) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
  return text;
}

}  // namespace

std::uint64_t Fnv1a64(const unsigned char* bytes, std::size_t size, std::uint64_t state) {
  for (std::size_t i = 0; i < size; ++i) state = (state ^ bytes[i]) * 0x100000001b3ULL;
  return state;
}

FileDigest DigestFile(const unsigned char* bytes, std::size_t size) {
  FileDigest d;
  if (size < kChecksumTrailerBytes ||
      std::memcmp(bytes + size - kChecksumTrailerBytes, kChecksumTag, kTagBytes) != 0) {
    d.whole = Fnv1a64(bytes, size);
    return d;
  }
  const std::size_t contentBytes = size - kChecksumTrailerBytes;
  d.hasChecksum = true;
  d.content = Fnv1a64(bytes, contentBytes);
  d.recorded = LittleEndian64(bytes + contentBytes + kTagBytes);
  d.whole = Fnv1a64(bytes + contentBytes, kChecksumTrailerBytes, d.content);
  return d;
}

bool VerifyChecksum(const FileDigest& digest, const std::string& fileName) {
  if (!digest.hasChecksum) return false;
  if (digest.content != digest.recorded) {
    throw Error(errc::InvalidFileFormat, kRuntimeSource,
                RuntimeErrorText(errc::InvalidFileFormat) + ": " + fileName +
                    ": checksum mismatch: the contents hash to " + Hex(digest.content) +
                    ", the file records " + Hex(digest.recorded));
  }
  return true;
}

}  // namespace lantrel::detail
