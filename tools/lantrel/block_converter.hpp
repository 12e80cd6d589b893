// Converting many points at once through the library's transformer, with the tool's checks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "lantrel/transformer.hpp"
#include "systems.hpp"

namespace lantrel::cli {

/// Converts blocks of pairs from one pair system to another with the results the tool's
/// PointConverter gives, bit for bit, for every point it accepts. A point it does not accept —
/// any point PointConverter would refuse (range, negative easting, off the globe, outside the
/// served region, outside the shift window, an arithmetic error) — is marked so the caller
/// runs it through PointConverter, which words the message. Not for Carter locations.
class BlockConverter {
 public:
  /// Whether blocks can serve this pair of systems.
  static bool Supports(const System& from, const System& to);

  /// Throws lantrel::Error when the library refuses the systems (callers then stay point by
  /// point). `threads` as Transformer::Transform takes it (0 every core, 1 one thread).
  BlockConverter(const System& from, const System& to, bool westPositive, bool acceptDistant,
                 unsigned threads = 1);

  /// Converts n points; done[i] is false where the caller must convert the point itself.
  /// outX/outY hold the results (west longitudes with the sign the tool writes) where done.
  void Convert(std::size_t n, const double* x, const double* y, double* outX, double* outY,
               bool* done);

 private:
  System from_;
  System to_;
  bool westPositive_;
  bool acceptDistant_;
  unsigned threads_;
  Transformer toTarget_;
  std::optional<Transformer> toGeographic_;  // plane sources: for the checks
  std::vector<double> geoX_, geoY_;
  std::vector<std::int32_t> status_;
};

}  // namespace lantrel::cli
