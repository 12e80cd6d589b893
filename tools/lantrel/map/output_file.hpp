// The map's output file, replaced only by a complete picture: the picture is written to a
// file created exclusively beside the output under an unpredictable name, then renamed over
// the output. A failed job removes that file and leaves the output as it was.
#pragma once

#include <string>
#include <string_view>

namespace lantrel::cli::map {

class ReplacingFile {
 public:
  /// Creates the new file in the output's folder. Raises IoError when the output is not a
  /// regular file (a folder, a device or a symbolic link is never replaced) or the folder
  /// cannot take a new file.
  explicit ReplacingFile(std::string output);
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;
  /// Removes the new file unless Commit succeeded.
  ~ReplacingFile();

  /// The new file, open for writing (for a child process to write to).
  int fd() const { return fd_; }
  void Write(std::string_view text);
  /// Flushes the new file to disk and renames it over the output; raises IoError on failure.
  /// The output keeps its permissions, or gets those of a new file.
  void Commit();

 private:
  std::string output_;
  std::string temporary_;
  int fd_ = -1;
  bool hadOutput_ = false;
  unsigned mode_ = 0;
};

/// An unnamed scratch file (removed as soon as created) holding `text`, rewound to its start;
/// the caller closes it.
int ScratchFileWith(std::string_view text);

}  // namespace lantrel::cli::map
