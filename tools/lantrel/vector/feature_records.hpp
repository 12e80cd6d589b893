// The features of one vector file as convert, locate and map read them: the point layer GDAL
// opens (or a CSV file's records), the system its points are in (--from, else the layer's
// coordinate system, else a command's default) and where each feature's point is (its
// geometry, or coordinates held in attribute fields).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "lantrel/coordinate_columns.hpp"
#include "point_converter.hpp"
#include "systems.hpp"

namespace lantrel::cli {

struct FeatureInput {
  std::string path;
  std::optional<std::string> layer;  // -l: the layer of a file holding several
  bool csv = false;                  // --csv: read as CSV whatever the name
  std::optional<char> delimiter;     // CSV: --delimiter; sniffed from the header without it
  std::optional<System> from;        // --from: overrides the layer's coordinate system
  std::optional<System> fallback;    // when neither --from nor the layer names a system
  ColumnRequest columns;             // coordinates held in attribute fields
};

/// One feature as a command that reads only its point (and a label) sees it.
struct FeaturePoint {
  std::uint64_t number = 0;  // the feature's id
  bool placed = false;       // the converter holds its point; else error says why
  std::string error;
  std::string label;         // the label field's value
};

/// Reads the points of a vector file. converterFor is called once, with the system of the
/// layer's points, and returns the converter to place them in; each is called for every
/// feature and stops the reading by returning false. The label field is the one named by
/// labelField (UsageError when the layer has none of that name), else a field called label
/// or name. Raises UsageError for a file that cannot be read as a point layer (or when this
/// lantrel has no GDAL) and IoError for a damaged one.
void ReadFeaturePoints(const FeatureInput& input, const std::optional<std::string>& labelField,
                       const std::function<PointConverter&(const System&)>& converterFor,
                       const std::function<bool(FeaturePoint&)>& each);

}  // namespace lantrel::cli

#ifdef LANTREL_HAVE_GDAL

#include <ogrsf_frmts.h>

#include "input_layer.hpp"

namespace lantrel::cli {

class FeatureRecords {
 public:
  /// Opens the layer and settles the system of its points; UsageError when the file, the
  /// layer, its coordinate system or its coordinate fields do not do.
  explicit FeatureRecords(const FeatureInput& input);

  InputLayer& layer() { return *layer_; }
  const System& system() const { return system_; }
  /// Whether the points are read from attribute fields (then columns() names them).
  bool fieldsSourced() const { return fieldsSourced_; }
  const CoordinateColumns& columns() const { return columns_; }
  bool threeD() const { return threeD_; }
  bool measured() const { return measured_; }

  /// Puts the feature's point into the converter (built from system()). where receives the
  /// point the feature stands at (its geometry, or the coordinates of its fields, west
  /// longitudes signed as westPositive says). False, with error, when it has none or the
  /// converter refuses it.
  bool Place(OGRFeature& feature, PointConverter& converter, bool westPositive, std::string& error,
             std::optional<OGRPoint>& where) const;

 private:
  std::unique_ptr<InputLayer> layer_;
  System system_;
  bool fieldsSourced_ = false;
  CoordinateColumns columns_;
  bool threeD_ = false;
  bool measured_ = false;
};

}  // namespace lantrel::cli

#endif
