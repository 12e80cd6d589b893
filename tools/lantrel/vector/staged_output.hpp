// Where a vector job writes: a private folder beside the output, whose files replace the
// output only once the job has succeeded, so a failed or interrupted job leaves what was
// there as it was.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "vector_format.hpp"

namespace lantrel::cli {

class StagedOutput {
 public:
  /// Checks the output path and makes the private folder. Raises UsageError when the output
  /// is a symbolic link, a device or other special file, a folder holding files, a file of
  /// the input (any of inputFiles, a shapefile's sidecars included), or an existing file
  /// when neither an existing GeoPackage (which gains a layer) nor replace allows it; raises
  /// IoError when the folder cannot be made.
  StagedOutput(std::string target, VectorFormat format, const std::vector<std::string>& inputFiles,
               bool replace);
  ~StagedOutput();
  StagedOutput(const StagedOutput&) = delete;
  StagedOutput& operator=(const StagedOutput&) = delete;

  /// The path GDAL writes to. For an existing GeoPackage it holds a copy of the target,
  /// to which the job adds its layer.
  const std::string& path() const { return path_; }
  /// Whether path() is a copy of an existing GeoPackage.
  bool updatesGeoPackage() const { return update_; }
  /// Moves every file written over the target (and a shapefile's sidecars beside it) and
  /// removes the private folder; raises IoError when the target changed meanwhile or a
  /// file cannot be moved.
  void Commit();

 private:
  void Refuse(const std::string& path, const std::vector<std::string>& inputFiles, bool replace,
              bool main);

  std::string target_;
  std::string folder_;    // the output's folder
  std::string private_;   // the private folder inside it
  std::string path_;
  VectorFormat format_;
  bool update_ = false;
  bool committed_ = false;
  struct Stamp {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long long mtimeNs = 0;
  } stamp_;               // the GeoPackage as copied
  std::vector<std::string> inputFiles_;
};

/// The files a shapefile named path consists of besides itself (.shx, .dbf, .prj, .cpg and
/// the index files); empty for another name.
std::vector<std::string> ShapefileSidecars(const std::string& path);

}  // namespace lantrel::cli
