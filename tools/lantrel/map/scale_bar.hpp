// Choosing the length of a scale bar: the longest round length (1, 2 or 5 times a power of
// ten of the unit) that fits the room on the canvas.
#pragma once

#include <string>
#include <string_view>

namespace lantrel::cli::map {

struct ScaleBar {
  double length = 0.0;  // in the bar's unit
  double pixels = 0.0;  // its length on the canvas
  std::string label;    // "5 km", "500 m", "2 mi", "0.5 mi"
};

/// Metres in one US survey mile (5280 feet of 1200/3937 m).
inline constexpr double kMetresPerMile = 5280.0 * 1200.0 / 3937.0;

/// The bar for `unitMetres` metres per unit at `pixelsPerMetre`, at most `maxPixels` long.
/// With `smallUnit` (e.g. "m" for km) lengths below one unit are given in it.
ScaleBar ChooseScaleBar(double pixelsPerMetre, double maxPixels, double unitMetres,
                        std::string_view unit, std::string_view smallUnit = {},
                        double smallUnitMetres = 1.0);

}  // namespace lantrel::cli::map
