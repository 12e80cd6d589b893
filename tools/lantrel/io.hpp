// Buffered line input and output on file descriptors: large reads and writes, no streams.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "byte_buffer.hpp"

namespace lantrel::cli {

/// A file could not be opened or read, or output could not be written.
class IoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Reads a file (or standard input for "-") line by line. A line ends at a line feed, a
/// carriage return followed by a line feed, or a carriage return alone; the last line may
/// have no end. Lines are returned without their end, which ending() gives; the views stay
/// valid until the next call. A UTF-8 byte-order mark at the very start is taken off the
/// first line and reported by bom().
class LineReader {
 public:
  /// Opens the file; throws IoError naming it when that fails.
  explicit LineReader(const std::string& path, std::size_t chunk = 1 << 20);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  /// The next line; false at the end of the input. Throws IoError when a read fails.
  bool Next(std::string_view& line);

  /// The end of the line last returned as it was in the input: "\n", "\r\n", "\r", or
  /// empty for a last line without one.
  std::string_view ending() const { return ending_; }
  /// The end to write after the output of the line last returned: its own end, or for a
  /// last line without one the end the input used before (a line feed when there was none),
  /// so output lines are always terminated and keep the input's convention.
  std::string_view outputEnding() const { return ending_.empty() ? lastEnding_ : ending_; }
  /// Whether the input started with a UTF-8 byte-order mark (known once Next was called).
  bool bom() const { return bom_; }

  const std::string& name() const { return name_; }
  /// Number of the line last returned, counted from 1.
  std::uint64_t lineNumber() const { return lineNumber_; }
  /// Bytes handed out so far (for progress reports).
  std::uint64_t consumed() const { return consumed_; }
  /// Size of a regular file; 0 for pipes and terminals.
  std::uint64_t size() const { return size_; }
  bool regular() const { return regular_; }

 private:
  bool Fill();
  void TakeBom();

  std::string name_;
  int fd_ = -1;
  bool ownsFd_ = false;
  bool regular_ = false;
  bool eof_ = false;
  bool started_ = false;
  bool bom_ = false;
  std::string_view ending_;
  std::string_view lastEnding_ = "\n";
  std::uint64_t size_ = 0;
  std::uint64_t consumed_ = 0;
  std::uint64_t lineNumber_ = 0;
  std::size_t chunk_;
  ByteBuffer buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
};

/// The UTF-8 byte-order mark.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

/// Collects output in a large buffer and writes it to a descriptor in big pieces.
class OutputSink {
 public:
  explicit OutputSink(int fd, std::size_t capacity = 1 << 20);
  ~OutputSink();
  OutputSink(const OutputSink&) = delete;
  OutputSink& operator=(const OutputSink&) = delete;

  void Write(std::string_view text) {
    if (buffer_.size() - used_ < text.size()) Make(text.size());
    text.copy(buffer_.data() + used_, text.size());
    used_ += text.size();
  }
  void Put(char c) {
    if (used_ == buffer_.size()) Make(1);
    buffer_[used_++] = c;
  }
  /// A number with a fixed count of decimals.
  void Fixed(double v, int decimals);
  /// Ends an output line left empty (a failed line) with the end of its input line. After a
  /// line ended by a carriage return alone, a lone line feed would make the two one CR LF
  /// line to every reader, so it is written as CR LF: each line still reads as a line of its
  /// own, and the count of line feeds stays the input's.
  void EndEmptyLine(std::string_view ending) {
    const char last = used_ > 0 ? buffer_[used_ - 1] : flushedLast_;
    if (ending == "\n" && last == '\r') Put('\r');
    Write(ending);
  }
  /// Writes everything collected; throws IoError when the descriptor refuses it.
  void Flush();

 private:
  void Make(std::size_t room);

  int fd_;
  ByteBuffer buffer_;
  std::size_t used_ = 0;
  char flushedLast_ = 0;  // the last byte written out
};

/// A one-line progress bar on standard error, redrawn when the percentage changes.
class ProgressBar {
 public:
  ProgressBar(std::string label, std::uint64_t total);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void Update(std::uint64_t done);
  /// Clears the bar so a message can take the line; the next Update draws it again.
  void Hide();
  /// Removes the bar from the terminal line for good.
  void Finish();

 private:
  std::string label_;
  std::uint64_t total_;
  int shown_ = -1;
  bool finished_ = false;
};

/// Opens every named file once ("-" excepted) so a wrong name is reported before any output
/// is written. Returns false after reporting the first file that cannot be read.
bool CheckInputs(const std::vector<std::string>& files);

/// Size above which a regular input file gets a progress bar.
inline constexpr std::uint64_t kProgressThreshold = 4u << 20;

/// Whether a progress bar is wanted for this input: a regular file larger than the threshold
/// while standard error is a terminal.
bool WantProgress(const LineReader& reader);

/// Writes the whole text to standard error at once (messages stay whole between processes).
void ErrorLine(std::string_view text);

}  // namespace lantrel::cli
