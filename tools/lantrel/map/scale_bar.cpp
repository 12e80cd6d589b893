#include "map/scale_bar.hpp"

#include <cmath>

#include "map/svg_writer.hpp"

namespace lantrel::cli::map {

ScaleBar ChooseScaleBar(double pixelsPerMetre, double maxPixels, double unitMetres,
                        std::string_view unit, std::string_view smallUnit,
                        double smallUnitMetres) {
  ScaleBar bar;
  const double maxUnits = maxPixels / (pixelsPerMetre * unitMetres);
  if (!(maxUnits > 0.0) || !std::isfinite(maxUnits)) return bar;
  double power = std::pow(10.0, std::floor(std::log10(maxUnits)));
  double length = power;
  for (const double step : {5.0, 2.0, 1.0}) {
    if (step * power <= maxUnits) {
      length = step * power;
      break;
    }
  }
  bar.length = length;
  bar.pixels = length * unitMetres * pixelsPerMetre;
  if (length < 1.0 && !smallUnit.empty()) {
    bar.label = Num(length * unitMetres / smallUnitMetres) + " " + std::string(smallUnit);
  } else {
    bar.label = Num(length) + " " + std::string(unit);
  }
  return bar;
}

}  // namespace lantrel::cli::map
