// convert and locate on vector files: reads the features of one point layer, converts or
// locates each, and writes them with every attribute to a new file or a new layer of an
// existing GeoPackage. A job that fails leaves the output as it was.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "lantrel/coordinate_columns.hpp"
#include "lantrel/lantrel.hpp"
#include "systems.hpp"
#include "vector_format.hpp"

namespace lantrel::cli {

struct VectorSettings {
  bool locate = false;                 // locate adds location fields; convert re-expresses
  std::string input;
  std::string output;
  std::optional<std::string> layer;        // the input layer; by default the only one
  std::optional<std::string> outputLayer;  // by default the input layer's name (GeoPackage)
                                           // or the output file's (other formats)
  bool overwrite = false;                  // replace the output file, or a GeoPackage's layer
  bool append = false;                     // add to the GeoPackage layer of that name
  bool csvInput = false;                   // --csv: the input is CSV whatever its name
  std::optional<char> delimiter;           // --delimiter; sniffed from the CSV header without it
  std::optional<VectorFormat> format;  // output format; by default from the output's extension
  std::optional<System> from;          // by default the layer's coordinate system
  System to;                           // convert only
  System fallbackFrom;                 // used when neither --from nor the layer names one (locate)
  bool haveFallback = false;
  ColumnRequest columns;               // coordinates held in attribute fields
  std::optional<std::string> xName;    // names of the new coordinate fields
  std::optional<std::string> yName;
  bool keep = false;                   // keep the source coordinate fields beside the new ones
  bool factors = false;
  bool zgs = false;
  bool dms = false;                    // longitude/latitude fields as degrees, minutes, seconds
  bool westPositive = false;
  bool strict = false;
  bool verbose = false;
  int precision = 3;                   // decimals of coordinates written as text (of the
                                       // seconds with dms)
};

/// Runs the job and returns the exit status (0, or 1 when a feature or the job failed, or the
/// output format could not hold everything read: the message says how much).
/// prepare is called with the position before the first feature (locate loads its data file
/// there) and may refuse with false. Wrong options or unreadable input raise UsageError or
/// IoError before the output is created.
int RunVectorJob(const VectorSettings& settings,
                 const std::function<bool(ZrGeoPosition&)>& prepare);

}  // namespace lantrel::cli
