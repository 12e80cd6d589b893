// The content checksum of the reference data file.
//
// The builder ends the file with a 16-byte trailer: the eight ASCII bytes "LTRLSUM1", then the
// 64-bit FNV-1a digest of every byte before the trailer, little-endian. Readers that stop after
// the vertex section skip it like any other trailing bytes. A file that does not end in such a
// trailer (every file written before it existed) has no checksum and loads unverified.
//
// FNV-1a feeds one byte at a time through a step that is a bijection of the 64-bit state, so a
// change of any single byte always changes the digest; other damage passes with a chance of
// about 2^-64. It is the same hash that tells an unchanged file in the reader's cache, so one
// pass over the bytes serves both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lantrel::detail {

inline constexpr std::uint64_t kFnv1aBasis = 0xcbf29ce484222325ULL;
inline constexpr std::size_t kChecksumTrailerBytes = 16;
inline constexpr char kChecksumTag[] = "LTRLSUM1";  // the trailer's first 8 bytes

/// 64-bit FNV-1a of `size` bytes, continuing from `state` (the basis for a fresh digest).
std::uint64_t Fnv1a64(const unsigned char* bytes, std::size_t size,
                      std::uint64_t state = kFnv1aBasis);

/// What one pass over a file's bytes tells.
struct FileDigest {
  std::uint64_t whole = 0;     // FNV-1a of every byte
  bool hasChecksum = false;    // the file ends in a checksum trailer
  std::uint64_t content = 0;   // FNV-1a of the bytes before the trailer (when it has one)
  std::uint64_t recorded = 0;  // the digest the trailer holds
};

FileDigest DigestFile(const unsigned char* bytes, std::size_t size);

/// True when the file carries a checksum and it matches, false when it carries none. Raises
/// error 321 ("Invalid file format") naming the file when the checksum does not match.
bool VerifyChecksum(const FileDigest& digest, const std::string& fileName);

}  // namespace lantrel::detail
