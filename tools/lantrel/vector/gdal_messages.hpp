// GDAL's messages while a vector job runs: warnings are passed on as short escaped lines, and
// failures are counted so a step that GDAL reports as damaged fails the job.
#pragma once

#ifdef LANTREL_HAVE_GDAL

#include <cstdint>
#include <string>
#include <string_view>

namespace lantrel::cli {

/// GDAL's text in a message: one printable line of bounded length, escaped as the tool's
/// other messages are, with the full length when it was cut.
std::string GdalText(std::string_view text);

/// Registers GDAL's drivers and routes its messages while it lives.
class GdalSession {
 public:
  GdalSession();
  ~GdalSession();
  GdalSession(const GdalSession&) = delete;
  GdalSession& operator=(const GdalSession&) = delete;

  /// Failures GDAL reported since the last ResetFailures, and the first one's text.
  std::uint64_t failures() const { return failures_; }
  const std::string& firstFailure() const { return firstFailure_; }
  void ResetFailures() {
    failures_ = 0;
    firstFailure_.clear();
  }
  /// Says how many warnings were left unprinted, if any.
  void ReportHiddenWarnings();

  /// Most warnings printed in one job; the rest are counted.
  static constexpr std::uint64_t kMaxWarnings = 20;

  /// Called for each of GDAL's messages (level as CPLErr).
  void OnMessage(int level, const char* message);

 private:
  std::uint64_t failures_ = 0;
  std::string firstFailure_;
  std::uint64_t warnings_ = 0;
};

/// The text of GDAL's last error, as GdalText, or "GDAL gave no reason".
std::string LastGdalError();

}  // namespace lantrel::cli

#endif
