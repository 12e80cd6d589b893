// Hand-made reference data files for the tests: a byte writer for the file layout, a temporary
// folder, and the location of the data file the build produced.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lantrel/pair.hpp"

namespace refdata_test {

struct Region {
  std::int32_t fips = 0;
  std::int32_t first = 0;
  std::int32_t last = 0;
  std::string name;
  double xmax = 0, xmin = 0, ymax = 0, ymin = 0;
};

struct Quad {
  std::string name, state, tile;
  double xmax = 0, xmin = 0, ymax = 0, ymin = 0;
};

/// The five sections of a file; Bytes() lays them out exactly as the reader expects.
struct FileContents {
  std::vector<Region> states, counties;
  std::vector<Quad> quads;
  std::vector<std::int32_t> numbers;
  std::vector<lantrel::Pair> vertices;

  /// Appends a closed or open outline through `points` (vertex numbers shared by equality) and
  /// returns the region with its positions and box filled in.
  Region Outline(std::int32_t fips, std::string name, const std::vector<lantrel::Pair>& points) {
    Region r{fips, static_cast<std::int32_t>(numbers.size()), 0, std::move(name)};
    r.xmax = r.ymax = -1e300;
    r.xmin = r.ymin = 1e300;
    for (const auto& p : points) {
      std::int32_t n = -1;
      for (std::size_t i = 0; i < vertices.size(); ++i) {
        if (vertices[i] == p) n = static_cast<std::int32_t>(i);
      }
      if (n < 0) {
        n = static_cast<std::int32_t>(vertices.size());
        vertices.push_back(p);
      }
      numbers.push_back(n);
      r.xmax = std::max(r.xmax, p.x);
      r.xmin = std::min(r.xmin, p.x);
      r.ymax = std::max(r.ymax, p.y);
      r.ymin = std::min(r.ymin, p.y);
    }
    r.last = static_cast<std::int32_t>(numbers.size()) - 1;
    return r;
  }

  std::vector<unsigned char> Bytes() const {
    std::vector<unsigned char> b;
    Int32(b, static_cast<std::int32_t>(states.size()));
    for (const auto& r : states) Put(b, r);
    Int32(b, static_cast<std::int32_t>(counties.size()));
    for (const auto& r : counties) Put(b, r);
    Int32(b, static_cast<std::int32_t>(quads.size()));
    for (const auto& q : quads) {
      Text(b, q.name);
      Text(b, q.state);
      Text(b, q.tile);
      for (double v : {q.xmax, q.xmin, q.ymax, q.ymin}) Float64(b, v);
    }
    Int32(b, static_cast<std::int32_t>(numbers.size()));
    for (auto n : numbers) Int32(b, n);
    Int32(b, static_cast<std::int32_t>(vertices.size()));
    for (const auto& v : vertices) {
      Float64(b, v.x);
      Float64(b, v.y);
    }
    return b;
  }

  static void Int32(std::vector<unsigned char>& b, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(u >> (8 * i)));
  }
  static void Float64(std::vector<unsigned char>& b, double v) {
    const auto u = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) b.push_back(static_cast<unsigned char>(u >> (8 * i)));
  }
  static void Text(std::vector<unsigned char>& b, const std::string& s) {
    b.push_back(static_cast<unsigned char>(s.size() & 0xFF));
    b.push_back(static_cast<unsigned char>(s.size() >> 8));
    b.insert(b.end(), s.begin(), s.end());
  }
  static void Put(std::vector<unsigned char>& b, const Region& r) {
    Int32(b, r.fips);
    Int32(b, r.first);
    Int32(b, r.last);
    Text(b, r.name);
    for (double v : {r.xmax, r.xmin, r.ymax, r.ymin}) Float64(b, v);
  }
};

/// A fresh folder under the system's temporary folder, removed with its contents at the end.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lantrel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  /// The folder with a trailing '/'.
  std::string Folder() const { return path_.string() + "/"; }
  std::string File() const { return Folder() + "lantrel.bin"; }

  void Write(const std::vector<unsigned char>& bytes) const {
    std::ofstream out(File(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }

 private:
  std::filesystem::path path_;
};

/// The data file the build produced, or "" when the build had no sources for it.
inline std::string BuiltDataFolder() {
  const std::string folder = std::string(LANTREL_BINARY_DIR) + "/bin/";
  return std::filesystem::exists(folder + "lantrel.bin") ? folder : std::string();
}

#define REQUIRE_BUILT_DATA(folder)                                                  \
  const std::string folder = refdata_test::BuiltDataFolder();                       \
  if (folder.empty()) FAIL() << "lantrel.bin was not built (are the sources in data/?)"

}  // namespace refdata_test
