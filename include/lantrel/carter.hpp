// lantrel — zrCarter, one location in the Carter grid of the home state.
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

class zrCarter {
 public:
  zrCarter(const zrCarter&) = default;
  zrCarter& operator=(const zrCarter&) = default;

  /// Resets the location to the fresh state and marks it changed.
  void Clear();
  /// The location as one line of text; empty while no letter is set.
  std::string LocationString(bool UseZGSFormat = false) const;

  std::string FNSL() const;  // "FNL" or "FSL"
  double FNL() const;
  void FNL(double value);
  double FSL() const;
  void FSL(double value);
  std::string FEWL() const;  // "FEL" or "FWL"
  double FEL() const;
  void FEL(double value);
  double FWL() const;
  void FWL(double value);
  std::int32_t Section() const;
  void Section(std::int32_t value);
  std::string Letter() const;
  void Letter(const std::string& value);
  bool IsLetter(const std::string& Letter) const;
  std::int32_t Number() const;
  void Number(std::int32_t value);
  std::int32_t CellNumber() const;
  void CellNumber(std::int32_t value);
  std::string BlockLetter() const;
  void BlockLetter(const std::string& value);
  bool IsBlockLetter(const std::string& BlockLetter) const;
  std::int32_t BlockNumber() const;
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
