/// \file
/// lantrel — zrCarter, one location in the Carter grid of the home state.
//
// A location names a 5' x 5' block by a row letter ("A".."Z", "AA".."HH", counted north from
// 36°30' N) and a column number (0..92, counted east from 89°35' W), a 1' x 1' section in the
// block (1..25, numbered back and forth from the north-east corner), and two footage calls in
// US survey feet from the section's north or south line and its east or west line.
//
// Hosts never create a zrCarter: they get one from ZrGeoPosition::Carter().
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "lantrel/visibility.hpp"

namespace lantrel {

namespace detail {
struct LANTREL_INTERNAL CarterAccess;
}

/// One location in the Carter grid: block row letter and column number, section, and two
/// footage calls in US survey feet.
///
/// `CellNumber`, `BlockLetter` and `BlockNumber` are second names of `Section`, `Letter` and
/// `Number`: each pair reads and writes the same value and differs only in its error texts.
/// A write that fails changes nothing; a successful one marks the location changed, so the
/// owning position re-derives its point from it.
///
/// Thread rule: one object is used by one thread at a time, together with every position
/// that holds it.
class zrCarter {
 public:
  zrCarter(const zrCarter&) = default;             ///< Copies the whole location.
  zrCarter& operator=(const zrCarter&) = default;  ///< Copies the whole location.

  /// Resets the location to the fresh state (no letter, number 0, section 0, all calls 0) and
  /// marks it changed. Never throws.
  void Clear();
  /// The location as one line of text: block and section first, or, when `UseZGSFormat` is
  /// true, the footage calls in fixed-width columns first; empty while no letter is set.
  /// Never throws.
  std::string LocationString(bool UseZGSFormat = false) const;

  /// Which north–south call is meaningful: "FNL" or "FSL". Never throws.
  std::string FNSL() const;
  /// Feet from the section's north line. Never throws.
  double FNL() const;
  /// Sets the call from the north line; FSL becomes 0. Never throws.
  void FNL(double value);
  /// Feet from the section's south line. Never throws.
  double FSL() const;
  /// Sets the call from the south line; FNL becomes 0. Never throws.
  void FSL(double value);
  /// Which east–west call is meaningful: "FEL" or "FWL". Never throws.
  std::string FEWL() const;
  /// Feet from the section's east line. Never throws.
  double FEL() const;
  /// Sets the call from the east line; FWL becomes 0. Never throws.
  void FEL(double value);
  /// Feet from the section's west line. Never throws.
  double FWL() const;
  /// Sets the call from the west line; FEL becomes 0. Never throws.
  void FWL(double value);
  /// Section in the block, 1–25 (0 while unset). Never throws.
  std::int32_t Section() const;
  /// Sets the section. \throws Error −2147220493 (base + 1011, "Invalid Carter Section: "
  ///         and the value) outside 1–25.
  void Section(std::int32_t value);
  /// Block row letter, "A"–"Z" then "AA"–"HH" (empty while unset). Never throws.
  std::string Letter() const;
  /// Sets the block row from a letter ("A"–"Z", "AA"–"GG", any case) or from a row index
  /// written with a leading zero ("0" = "A" … "033" = "HH").
  /// \throws Error −2147220491 (base + 1013) for an empty text or an invalid letter or index.
  void Letter(const std::string& value);
  /// Whether `Letter` is a valid row letter ("A"–"Z" or a doubled "AA"–"GG", any case).
  /// Changes nothing; never throws.
  bool IsLetter(const std::string& Letter) const;
  /// Block column number, 0–92 counted east from 89°35′ W. Never throws.
  std::int32_t Number() const;
  /// Sets the block column. \throws Error −2147220492 (base + 1012, "Invalid Carter Number: "
  ///         and the value) outside 0–92.
  void Number(std::int32_t value);
  /// Second name of Section(). Never throws.
  std::int32_t CellNumber() const;
  /// Second name of Section(std::int32_t). \throws Error −2147220493 outside 1–25.
  void CellNumber(std::int32_t value);
  /// Second name of Letter(). Never throws.
  std::string BlockLetter() const;
  /// Second name of Letter(const std::string&). \throws Error −2147220491 as Letter.
  void BlockLetter(const std::string& value);
  /// Second name of IsLetter(). Never throws.
  bool IsBlockLetter(const std::string& BlockLetter) const;
  /// Second name of Number(). Never throws.
  std::int32_t BlockNumber() const;
  /// Second name of Number(std::int32_t). \throws Error −2147220492 outside 0–92.
  void BlockNumber(std::int32_t value);

 private:
  friend struct detail::CarterAccess;
  zrCarter();

  void StoreSection(std::int32_t value, const char* member);
  void StoreNumber(std::int32_t value, const char* member);
  void StoreLetter(const std::string& value, const char* member);

  double fnl_ = 0.0;
  double fsl_ = 0.0;
  double fel_ = 0.0;
  double fwl_ = 0.0;
  bool fromNorth_ = false;
  bool fromEast_ = false;
  std::int32_t section_ = 0;
  std::int32_t number_ = 0;
  std::string letter_;
  double blockSouth_ = 0.0;
  double blockWest_ = 0.0;
  bool changed_ = true;
};

}  // namespace lantrel
