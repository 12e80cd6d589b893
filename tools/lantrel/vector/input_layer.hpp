// The layer a vector job reads: one layer of a file GDAL opens, or the records of a CSV file
// read by the tool's own CSV reader (one feature per record, its fields as text).
#pragma once

#ifdef LANTREL_HAVE_GDAL

#include <ogrsf_frmts.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lantrel::cli {

class InputLayer {
 public:
  virtual ~InputLayer() = default;
  virtual const OGRFeatureDefn* defn() const = 0;
  virtual const OGRSpatialReference* srs() const = 0;
  virtual OGRwkbGeometryType geometryType() const = 0;
  virtual std::string name() const = 0;
  /// Every file the input consists of (a shapefile's sidecars included).
  virtual std::vector<std::string> files() const = 0;
  /// The count of features the file says it holds, when it says so cheaply; -1 otherwise.
  virtual std::int64_t declaredCount() = 0;
  /// The next feature, or null at the end. failure receives why a record could not be read
  /// whole (the feature then holds what could be read); it is cleared otherwise.
  virtual OGRFeatureUniquePtr Next(std::string& failure) = 0;
};

/// Whether the input is read as CSV: named *.csv, or without the extension of another
/// vector format when --csv is given or GDAL would read it with its CSV driver.
bool ReadsAsCsv(const std::string& path, bool csvOption);

/// The layer of a file GDAL opens: the one named, or the file's only layer. Raises UsageError
/// naming the layers when the file holds several and none is named, or the name is not one.
std::unique_ptr<InputLayer> OpenGdalLayer(const std::string& path, const std::optional<std::string>& layer);

/// The records of a CSV file with a header line (lines starting with # before it are skipped).
std::unique_ptr<InputLayer> OpenCsvLayer(const std::string& path, std::optional<char> delimiter);

}  // namespace lantrel::cli

#endif
