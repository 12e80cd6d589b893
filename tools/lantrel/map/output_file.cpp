#include "map/output_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "io.hpp"

namespace lantrel::cli::map {

namespace {

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A new file in `folder` under a name no other program can guess: mkstemp creates it with
// O_EXCL, so neither an existing file nor a symbolic link planted under that name is opened.
int CreateExclusive(const std::string& folder, const std::string& name, std::string& created) {
  std::string pattern = folder + "/." + name + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
  if (fd >= 0) created.assign(buffer.data());
  return fd;
}

void WriteAll(int fd, std::string_view text, const std::string& name) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw IoError("cannot write " + name + ": " + std::strerror(n < 0 ? errno : ENOSPC));
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace

ReplacingFile::ReplacingFile(std::string output) : output_(std::move(output)) {
  struct stat st {};
  if (::lstat(output_.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) {
      throw IoError("-o " + output_ + ": not a regular file; the map replaces only a regular file");
    }
    hadOutput_ = true;
    mode_ = st.st_mode & 07777;
  } else if (errno != ENOENT) {
    throw IoError("cannot write " + output_ + ": " + std::strerror(errno));
  }
  fd_ = CreateExclusive(FolderOf(output_), NameOf(output_), temporary_);
  if (fd_ < 0) throw IoError("cannot write " + output_ + ": " + std::strerror(errno));
}

ReplacingFile::~ReplacingFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void ReplacingFile::Write(std::string_view text) { WriteAll(fd_, text, output_); }

void ReplacingFile::Commit() {
  if (!hadOutput_) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_ = 0666 & ~mask;
  }
  const auto fail = [&](int error) { return IoError("cannot write " + output_ + ": " + std::strerror(error)); };
  if (::fchmod(fd_, static_cast<mode_t>(mode_)) != 0 || ::fsync(fd_) != 0) throw fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) throw fail(errno);
  if (std::rename(temporary_.c_str(), output_.c_str()) != 0) throw fail(errno);
  temporary_.clear();
}

int ScratchFileWith(std::string_view text) {
  const char* folder = std::getenv("TMPDIR");
  std::string name;
  const int fd = CreateExclusive(folder && *folder ? folder : "/tmp", "lantrel-map", name);
  if (fd < 0) throw IoError(std::string("cannot create a scratch file: ") + std::strerror(errno));
  ::unlink(name.c_str());
  try {
    WriteAll(fd, text, "a scratch file");
  } catch (...) {
    ::close(fd);
    throw;
  }
  if (::lseek(fd, 0, SEEK_SET) != 0) {
    ::close(fd);
    throw IoError(std::string("cannot rewind a scratch file: ") + std::strerror(errno));
  }
  return fd;
}

}  // namespace lantrel::cli::map
