// Per-line failure reports on standard error: "LINE: message", or "FILE:LINE: message" when
// several files are read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "io.hpp"
#include "lantrel/quoted_text.hpp"

namespace lantrel::cli {

class Reporter {
 public:
  explicit Reporter(bool nameFiles) : nameFiles_(nameFiles) {}

  void SetFile(const std::string& name) { file_ = ShownName(name); }
  /// The bar to clear before a message is written (nullptr for none).
  void SetProgress(ProgressBar* bar) { bar_ = bar; }

  void Fail(std::uint64_t line, std::string_view message);
  std::uint64_t failures() const { return failures_; }

 private:
  bool nameFiles_;
  std::string file_;
  ProgressBar* bar_ = nullptr;
  std::uint64_t failures_ = 0;
};

}  // namespace lantrel::cli
