#include "staged_output.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "io.hpp"
#include "command_line.hpp"
#include "systems.hpp"

namespace lantrel::cli {

namespace {

constexpr std::array<const char*, 7> kSidecars{".shx", ".dbf", ".prj", ".cpg", ".qix", ".sbn", ".sbx"};

std::string Reason() { return std::strerror(errno); }

std::string Folder(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string Base(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool EmptyFolder(const std::string& path) {
  DIR* d = ::opendir(path.c_str());
  if (d == nullptr) return false;
  bool empty = true;
  while (const dirent* e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
      empty = false;
      break;
    }
  }
  ::closedir(d);
  return empty;
}

long long MtimeNs(const struct stat& st) {
  return static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

// Copies the open file from into a new file at to (created exclusively, with mode).
void CopyInto(int from, const std::string& to, mode_t mode) {
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (out < 0) throw IoError("cannot copy into " + to + ": " + Reason());
  std::vector<char> buffer(1 << 20);
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(from, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    for (ssize_t done = 0; ok && done < n;) {
      const ssize_t w = ::write(out, buffer.data() + done, static_cast<std::size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) ok = false;
      else done += w;
    }
    if (!ok) break;
  }
  const std::string why = ok ? std::string() : Reason();
  if (::close(out) != 0 && ok) throw IoError("cannot copy into " + to + ": " + Reason());
  if (!ok) throw IoError("cannot copy into " + to + ": " + why);
}

}  // namespace

std::vector<std::string> ShapefileSidecars(const std::string& path) {
  const std::string base = Base(path);
  const auto dot = base.find_last_of('.');
  if (dot == std::string::npos || !EqualsIgnoreCase(base.substr(dot), ".shp")) return {};
  const std::string stem = path.substr(0, path.size() - 4);
  std::vector<std::string> files;
  for (const char* ext : kSidecars) files.push_back(stem + ext);
  return files;
}

void StagedOutput::Refuse(const std::string& path, const std::vector<std::string>& inputFiles,
                          bool replace, bool main) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return;
    throw IoError("cannot examine " + path + ": " + Reason());
  }
  if (S_ISLNK(st.st_mode)) {
    throw UsageError("the output " + path + " is a symbolic link; lantrel does not write through one");
  }
  if (S_ISDIR(st.st_mode)) {
    if (main && format_ == VectorFormat::Shapefile && EmptyFolder(path)) return;
    throw UsageError("the output " + path + " is a folder" +
                     (format_ == VectorFormat::Shapefile ? " holding other files" : "") +
                     "; name a file");
  }
  if (!S_ISREG(st.st_mode)) {
    throw UsageError("the output " + path + " is not a regular file (a device, pipe or socket)");
  }
  for (const auto& f : inputFiles) {
    struct stat in {};
    if (::stat(f.c_str(), &in) == 0 && in.st_dev == st.st_dev && in.st_ino == st.st_ino) {
      throw UsageError("the output " + path + " is the input file" +
                       (f == path ? std::string() : " " + f));
    }
  }
  if (main && format_ == VectorFormat::GeoPackage) {
    update_ = true;  // gains a layer
    return;
  }
  if (!replace) {
    throw UsageError("the output " + path + " exists; --overwrite replaces it");
  }
}

StagedOutput::StagedOutput(std::string target, VectorFormat format,
                           const std::vector<std::string>& inputFiles, bool replace)
    : target_(std::move(target)), folder_(Folder(target_)), format_(format), inputFiles_(inputFiles) {
  if (Base(target_).empty() || Base(target_) == "." || Base(target_) == "..") {
    throw UsageError("the output " + target_ + " names no file");
  }
  Refuse(target_, inputFiles, replace, true);
  if (format_ == VectorFormat::Shapefile) {
    for (const auto& s : ShapefileSidecars(target_)) Refuse(s, inputFiles, replace, false);
  }
  std::string pattern = folder_ + "/.lantrel-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw IoError("cannot write in the folder " + folder_ + ": " + Reason());
  }
  private_ = pattern;
  path_ = private_ + "/" + Base(target_);
  if (update_) {
    const int in = ::open(target_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0) throw IoError("cannot read " + target_ + ": " + Reason());
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(in);
      throw IoError("cannot read " + target_);
    }
    struct stat wal {};
    if (::stat((target_ + "-wal").c_str(), &wal) == 0 && wal.st_size > 0) {
      ::close(in);
      throw UsageError(target_ + " is open in another program (" + target_ +
                       "-wal holds changes not yet in it); close it first");
    }
    stamp_ = {st.st_dev, st.st_ino, st.st_size, MtimeNs(st)};
    try {
      CopyInto(in, path_, st.st_mode & 07777);
    } catch (...) {
      ::close(in);
      throw;
    }
    ::close(in);
  }
}

StagedOutput::~StagedOutput() {
  if (!committed_ && !private_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(private_, ec);
  }
}

void StagedOutput::Commit() {
  if (update_) {
    struct stat st {};
    if (::lstat(target_.c_str(), &st) != 0 || st.st_dev != stamp_.dev || st.st_ino != stamp_.ino ||
        st.st_size != stamp_.size || MtimeNs(st) != stamp_.mtimeNs) {
      throw IoError(target_ + " changed while lantrel wrote to its copy; it is left as it is");
    }
  }
  // The files the job wrote: the output itself and, for a shapefile, its sidecars; the main
  // file moves last, so readers never see it with the old sidecars.
  std::vector<std::pair<std::string, std::string>> moves;
  std::vector<std::string> sidecars;
  if (format_ == VectorFormat::Shapefile) sidecars = ShapefileSidecars(target_);
  for (const auto& s : sidecars) {
    const std::string written = private_ + "/" + Base(s);
    struct stat st {};
    if (::lstat(written.c_str(), &st) == 0) moves.emplace_back(written, s);
  }
  moves.emplace_back(path_, target_);
  for (const auto& [from, to] : moves) {
    // Checked again just before: the folder is not ours, and may have changed since.
    Refuse(to, inputFiles_, true, to == target_);
    if (::rename(from.c_str(), to.c_str()) != 0) {
      throw IoError("cannot move the new " + to + " into place: " + Reason());
    }
  }
  // Sidecars of the replaced shapefile that the new one does not have would describe it wrongly.
  for (const auto& s : sidecars) {
    bool written = false;
    for (const auto& m : moves) written = written || m.second == s;
    if (!written) ::unlink(s.c_str());
  }
  committed_ = true;
  std::error_code ec;
  std::filesystem::remove_all(private_, ec);
}

}  // namespace lantrel::cli
