// How converted coordinates are written: decimal numbers with --precision decimals, or, with
// --dms, degrees, minutes and seconds whose seconds carry --precision decimals.
#pragma once

#include "lantrel/system_text.hpp"
#include "command_line.hpp"

namespace lantrel::cli {

struct CoordinateStyle {
  bool dms = false;   // longitude and latitude as 84°52′23.88000″W
  int precision = 3;  // decimals of the numbers, or of the seconds with dms
};

/// Reads --dms and --precision for output in the target system. --dms needs a geographic
/// target (UsageError otherwise); the default precision is 9 decimals for degrees, 3 for linear
/// units and 5 for the seconds of --dms.
CoordinateStyle ReadCoordinateStyle(const CommandLine& o, const System& to);

}  // namespace lantrel::cli
