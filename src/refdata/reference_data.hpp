// The in-memory tables of the reference data file: states, counties, quadrangles and the
// shared vertex lists. Loaded tables are immutable and shared by every position that loaded
// the same unchanged file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "lantrel/pair.hpp"
#include "lantrel/visibility.hpp"

namespace lantrel::detail {

struct EdgeIndex;  // refdata/edge_index.hpp

struct RegionRecord {
  std::int32_t FIPS = 0;
  std::int32_t FirstVertex = 0;
  std::int32_t LastVertex = 0;
  std::string Name;
  double XMax = 0.0, XMin = 0.0, YMax = 0.0, YMin = 0.0;
};

struct QuadRecord {
  std::string Name;
  std::string State;
  std::string Tile;
  double XMax = 0.0, XMin = 0.0, YMax = 0.0, YMin = 0.0;
};

struct ReferenceData {
  std::vector<RegionRecord> states;
  std::vector<RegionRecord> counties;
  std::vector<QuadRecord> quads;
  std::vector<std::int32_t> vertexIndexList;
  std::vector<Pair> vertexList;  // x west-positive longitude, y latitude, NAD 83
  /// The file carried a content checksum (refdata/checksum.hpp) and it matched.
  bool verified = false;
  /// Edge and rectangle index with its lookup grid; without it the lookup walks every outline.
  /// Set by hand, or built by Index() at the first search of a file the reader parsed: a
  /// program that never looks a point up never pays for it.
  mutable std::shared_ptr<const EdgeIndex> index;
  /// Whether Index() builds the index when none is set (the reader sets it).
  bool indexOnDemand = false;

  /// The index, built on the first call when indexOnDemand and none is set; safe to call from
  /// several threads at once. Null when there is none. (Kept out of the library's exports,
  /// which the public headers' forward declaration of this type would give it.)
  LANTREL_INTERNAL const EdgeIndex* Index() const;

 private:
  mutable std::once_flag indexOnce_;
};

/// Reads the whole file. Raises an Error (its own number and description; the caller sets the
/// source) when the file cannot be read or its counts cannot be satisfied.
std::shared_ptr<const ReferenceData> LoadReferenceData(const std::string& fileName);

/// Verifies the file's checksum when it has one, decodes the file's bytes (`fileName` only
/// names the file in error descriptions) and checks their consistency (refdata/integrity.hpp);
/// the index is left to the first search. Raises like LoadReferenceData.
std::shared_ptr<const ReferenceData> ParseReferenceData(const unsigned char* bytes,
                                                        std::size_t size,
                                                        const std::string& fileName);

/// Only decodes the five sections: no consistency checks, no index. Raises when the counts
/// cannot be satisfied.
std::shared_ptr<ReferenceData> DecodeReferenceData(const unsigned char* bytes, std::size_t size,
                                                   const std::string& fileName);

}  // namespace lantrel::detail
