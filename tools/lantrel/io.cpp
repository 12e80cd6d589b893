#include "io.hpp"

#include "lantrel/number_text.hpp"
#include "lantrel/quoted_text.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace lantrel::cli {

namespace {

std::string SystemMessage(int error) { return std::strerror(error); }

}  // namespace

LineReader::LineReader(const std::string& path, std::size_t chunk)
    : name_(path == "-" ? "(standard input)" : path), chunk_(chunk) {
  if (path == "-") {
    fd_ = STDIN_FILENO;
  } else {
    do {
      fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) throw IoError("cannot open " + ShownName(path) + ": " + SystemMessage(errno));
    ownsFd_ = true;
  }
  struct stat st {};
  if (::fstat(fd_, &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      if (ownsFd_) ::close(fd_);
      throw IoError("cannot read " + ShownName(path) + ": " + SystemMessage(EISDIR));
    }
    regular_ = S_ISREG(st.st_mode);
    if (regular_) size_ = static_cast<std::uint64_t>(st.st_size);
  }
  buffer_.resize(chunk_);
}

LineReader::~LineReader() {
  if (ownsFd_) ::close(fd_);
}

bool LineReader::Fill() {
  // Keep the partial line, make room behind it, and read one more chunk.
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (buffer_.size() - end_ < chunk_ / 2) buffer_.resize(buffer_.size() + chunk_);
  ssize_t n;
  do {
    n = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
  } while (n < 0 && errno == EINTR);
  if (n < 0) throw IoError("cannot read " + ShownName(name_) + ": " + SystemMessage(errno));
  if (n == 0) {
    eof_ = true;
    return false;
  }
  end_ += static_cast<std::size_t>(n);
  return true;
}

void LineReader::TakeBom() {
  started_ = true;
  // The mark may arrive split over reads from a pipe: gather three bytes when there are.
  while (end_ - begin_ < kUtf8Bom.size() && !eof_ && Fill()) {
  }
  if (end_ - begin_ >= kUtf8Bom.size() &&
      std::string_view(buffer_.data() + begin_, kUtf8Bom.size()) == kUtf8Bom) {
    bom_ = true;
    begin_ += kUtf8Bom.size();
    consumed_ += kUtf8Bom.size();
  }
}

namespace {

constexpr std::string_view kLf = "\n";
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kCr = "\r";

// First carriage return or line feed in [from, to), or to.
std::size_t FindLineEnd(const char* data, std::size_t from, std::size_t to) {
  const char* p = data + from;
  const char* const stop = data + to;
  // Line feeds are found by memchr; a carriage return before one is looked for in the
  // stretch up to it only, so CR-only input is scanned once, not once per line.
  const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(stop - p));
  const char* limit = lf != nullptr ? static_cast<const char*>(lf) : stop;
  const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(limit - p));
  if (cr != nullptr) return static_cast<std::size_t>(static_cast<const char*>(cr) - data);
  return static_cast<std::size_t>(limit - data);
}

}  // namespace

bool LineReader::Next(std::string_view& line) {
  if (!started_) TakeBom();
  std::size_t searched = begin_;
  while (true) {
    const std::size_t at = FindLineEnd(buffer_.data(), searched, end_);
    if (at < end_) {
      std::size_t next = at + 1;
      std::string_view ending = kLf;
      if (buffer_[at] == '\r') {
        // A carriage return at the end of the data read so far may be half of a CRLF.
        if (at + 1 == end_ && !eof_) {
          const std::size_t offset = at - begin_;
          Fill();  // moves the data; at the end of the input it only sets eof_
          searched = begin_ + offset;
          continue;
        }
        if (at + 1 < end_ && buffer_[at + 1] == '\n') {
          ending = kCrLf;
          next = at + 2;
        } else {
          ending = kCr;
        }
      }
      line = std::string_view(buffer_.data() + begin_, at - begin_);
      ending_ = ending;
      lastEnding_ = ending;
      consumed_ += next - begin_;
      begin_ = next;
      ++lineNumber_;
      return true;
    }
    const std::size_t pending = end_ - begin_;  // all of it searched already
    if (eof_ || !Fill()) {
      if (begin_ == end_) return false;
      // Last line without a line end.
      line = std::string_view(buffer_.data() + begin_, end_ - begin_);
      ending_ = {};
      consumed_ += end_ - begin_;
      begin_ = end_;
      ++lineNumber_;
      return true;
    }
    searched = begin_ + pending;
  }
}

OutputSink::OutputSink(int fd, std::size_t capacity) : fd_(fd) { buffer_.resize(capacity); }

OutputSink::~OutputSink() {
  try {
    Flush();
  } catch (const IoError&) {
    // Destructors must not throw; callers that care flush explicitly first.
  }
}

void OutputSink::Make(std::size_t room) {
  Flush();
  if (buffer_.size() < room) buffer_.resize(room);
}

void OutputSink::Fixed(double v, int decimals) {
  if (buffer_.size() - used_ < static_cast<std::size_t>(kMaxFixedChars)) Make(kMaxFixedChars);
  char* end = FormatFixed(buffer_.data() + used_, v, decimals);
  used_ = static_cast<std::size_t>(end - buffer_.data());
}

void OutputSink::Flush() {
  if (used_ > 0) flushedLast_ = buffer_[used_ - 1];
  std::size_t done = 0;
  while (done < used_) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, used_ - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      used_ = 0;
      throw IoError("cannot write output: " + SystemMessage(error));
    }
    done += static_cast<std::size_t>(n);
  }
  used_ = 0;
}

ProgressBar::ProgressBar(std::string label, std::uint64_t total)
    : label_(std::move(label)), total_(total) {}

ProgressBar::~ProgressBar() { Finish(); }

void ProgressBar::Update(std::uint64_t done) {
  if (finished_ || total_ == 0) return;
  const int percent = static_cast<int>(std::min<std::uint64_t>(done * 100 / total_, 100));
  if (percent == shown_) return;
  shown_ = percent;
  constexpr int kWidth = 40;
  const int filled = percent * kWidth / 100;
  std::string bar = "\r" + label_ + " [";
  bar.append(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kWidth - filled), ' ');
  bar += "] " + std::to_string(percent) + "%";
  ErrorLine(bar);
}

void ProgressBar::Hide() {
  if (finished_ || shown_ < 0) return;
  ErrorLine("\r\033[K");
  shown_ = -1;
}

void ProgressBar::Finish() {
  if (finished_) return;
  finished_ = true;
  if (shown_ >= 0) ErrorLine("\r\033[K");
}

bool CheckInputs(const std::vector<std::string>& files) {
  for (const auto& f : files) {
    if (f == "-") continue;
    try {
      LineReader probe(f, 16);
    } catch (const IoError& e) {
      ErrorLine(std::string("lantrel: ") + e.what() + "\n");
      return false;
    }
  }
  return true;
}

bool WantProgress(const LineReader& reader) {
  return reader.regular() && reader.size() > kProgressThreshold && ::isatty(STDERR_FILENO) == 1;
}

void ErrorLine(std::string_view text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(STDERR_FILENO, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // nothing sensible left to do when standard error is gone
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace lantrel::cli
