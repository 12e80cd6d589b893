#include "io.hpp"

#include "numbers.hpp"

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
    if (fd_ < 0) throw IoError("cannot open " + path + ": " + SystemMessage(errno));
    ownsFd_ = true;
  }
  struct stat st {};
  if (::fstat(fd_, &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      if (ownsFd_) ::close(fd_);
      throw IoError("cannot read " + path + ": " + SystemMessage(EISDIR));
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
  if (n < 0) throw IoError("cannot read " + name_ + ": " + SystemMessage(errno));
  if (n == 0) {
    eof_ = true;
    return false;
  }
  end_ += static_cast<std::size_t>(n);
  return true;
}

bool LineReader::Next(std::string_view& line) {
  std::size_t searched = begin_;
  while (true) {
    const void* nl = searched < end_
                         ? std::memchr(buffer_.data() + searched, '\n', end_ - searched)
                         : nullptr;
    if (nl != nullptr) {
      const auto at = static_cast<std::size_t>(static_cast<const char*>(nl) - buffer_.data());
      std::size_t stop = at;
      if (stop > begin_ && buffer_[stop - 1] == '\r') --stop;
      line = std::string_view(buffer_.data() + begin_, stop - begin_);
      consumed_ += at + 1 - begin_;
      begin_ = at + 1;
      ++lineNumber_;
      return true;
    }
    const std::size_t pending = end_ - begin_;  // all of it searched already
    if (eof_ || !Fill()) {
      if (begin_ == end_) return false;
      // Last line without a line feed.
      std::size_t stop = end_;
      if (buffer_[stop - 1] == '\r') --stop;
      line = std::string_view(buffer_.data() + begin_, stop - begin_);
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
