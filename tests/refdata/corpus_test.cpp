// The fuzz target's hand-made seed files, run through the same check as the fuzzer: damaged
// files fail to load with the library's error, the others load and search alike with and
// without the index.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "refdata/fuzz/fuzz_check.hpp"

namespace {

TEST(FuzzCorpus, SeedFilesLoadOrFailAsExpected) {
  const std::filesystem::path corpus =
      std::filesystem::path(LANTREL_SOURCE_DIR) / "tests/refdata/fuzz/corpus";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    const std::string name = entry.path().filename().string();
    // Unusable counts and truncations fail to decode; bad positions, vertex numbers and
    // vertices outside their box are refused by the consistency checks.
    const bool damaged = name.rfind("truncated_", 0) == 0 || name.rfind("state_count_", 0) == 0 ||
                         name.rfind("vertex_count_", 0) == 0 || name.rfind("bad_", 0) == 0 ||
                         name.rfind("nan_", 0) == 0 || name.rfind("huge_", 0) == 0;
    EXPECT_EQ(refdata_fuzz::CheckInput(bytes.data(), bytes.size()), !damaged) << name;
    ++files;
  }
  EXPECT_GE(files, 15);
}

}  // namespace
