#include "coordinate_style.hpp"

#include "lantrel/angle_text.hpp"
#include "lantrel/number_text.hpp"

namespace lantrel::cli {

CoordinateStyle ReadCoordinateStyle(const CommandLine& o, const System& to) {
  CoordinateStyle style;
  style.dms = o.Has("dms");
  if (style.dms && to.projection != zrGeoProjection::zrGeographic) {
    throw UsageError("--dms writes longitudes and latitudes: the target system must be geographic");
  }
  style.precision = style.dms ? kDefaultDmsDecimals : to.Angular() ? 9 : 3;
  if (const auto p = o.Value("precision")) {
    style.precision = IntOption("precision", *p, 0, style.dms ? kMaxDmsDecimals : kMaxPrecision);
  }
  return style;
}

}  // namespace lantrel::cli
