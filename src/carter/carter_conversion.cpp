// Geographic <-> Carter conversion. Footage calls are US survey feet measured along the
// meridian and along the parallel, with the ellipsoid radii taken at the section's middle
// latitude in both directions, so a location written here converts back to the same point.
#include "carter/carter_conversion.hpp"

#include <cmath>
#include <cstdio>

#include "carter/carter_access.hpp"
#include "carter/section_numbering.hpp"
#include "core/arithmetic_check.hpp"
#include "core/angles.hpp"
#include "core/ellipsoid.hpp"

namespace lantrel::detail {

namespace {

constexpr double kBlockSize = 0.08333333333333333;     // 5'
constexpr double kSectionSize = 0.016666666666666666;  // 1'
constexpr double kHalfSection = 0.008333333333333333;
constexpr double kGridSouth = 36.5;
constexpr double kGridWest = 89.58333333333333;
constexpr double kWindowEast = 81.91666666666667;
constexpr double kWindowNorth = 39.25;
constexpr double kSnap = 1e-12;
// US survey feet of arc per minute and per degree, per metre of radius; and its inverse per
// degree. These exact values are the ones the footage calls are defined with.
constexpr double kFeetPerMinuteOfArc = 0.0009543557312641211;
constexpr double kFeetPerDegreeOfArc = 0.05726134387584727;
constexpr double kDegreesOfArcPerFoot = 17.463788523164546;
constexpr std::int32_t kLastRow = 33;
constexpr std::int32_t kLastColumn = 92;

// The radii without a floating-point scope of their own, for use inside a caller's scope.
double Meridian(double phi, std::int32_t datum) {
  const double a = SemiMajorAxis(datum);
  const double e2 = EccentricitySquared(datum);
  const double s = std::sin(std::fabs(phi));
  return ((1.0 - e2) * a) / std::pow(1.0 - e2 * s * s, 1.5);
}

double Parallel(double phi, std::int32_t datum) {
  const double a = SemiMajorAxis(datum);
  const double e2 = EccentricitySquared(datum);
  const double s = std::sin(std::fabs(phi));
  return std::cos(phi) * (a / std::sqrt(1.0 - e2 * s * s));
}

}  // namespace

double MeridianRadius(double latitudeRadians, std::int32_t datum) {
  ArithmeticScope scope;
  return scope.Check(Meridian(latitudeRadians, datum));
}

double ParallelRadius(double latitudeRadians, std::int32_t datum) {
  ArithmeticScope scope;
  return scope.Check(Parallel(latitudeRadians, datum));
}

Pair CarterToGeographic(zrCarter& carter, std::int32_t datum) {
  ArithmeticScope scope;
  const double south = CarterAccess::SectionSouth(carter);
  const double phiMiddle = (south + kHalfSection) * kDegToRad;
  const double degreesNorthPerFoot = kDegreesOfArcPerFoot / Meridian(phiMiddle, datum);
  const double degreesEastPerFoot = kDegreesOfArcPerFoot / Parallel(phiMiddle, datum);

  Pair geo;
  if (CarterAccess::FromNorth(carter)) {
    geo.y = (south + kSectionSize) - carter.FNL() * degreesNorthPerFoot;
  } else {
    geo.y = south + carter.FSL() * degreesNorthPerFoot;
  }
  const double west = CarterAccess::SectionWest(carter);
  if (CarterAccess::FromEast(carter)) {
    geo.x = (west - kSectionSize) + carter.FEL() * degreesEastPerFoot;
  } else {
    geo.x = west - carter.FWL() * degreesEastPerFoot;
  }
  scope.Check(geo);
  CarterAccess::Changed(carter, false);
  return geo;
}

void GeographicToCarter(zrCarter& carter, Pair geo, std::int32_t datum) {
  carter.Clear();
  ArithmeticScope scope;
  const double x = geo.x;
  const double y = geo.y;
  // Outside the window the object stays cleared and changed; the limits belong to the window.
  if (x < kWindowEast || x > kGridWest || y < kGridSouth || y > kWindowNorth) return;
  scope.Check(geo);  // a NaN passes the window test but raised the invalid flag

  // Block, then the section cell inside it.
  std::int32_t row = static_cast<std::int32_t>((y - kGridSouth) / kBlockSize);
  std::int32_t col = static_cast<std::int32_t>((kGridWest - x) / kBlockSize);
  const double blockSouth = row * kBlockSize + kGridSouth;
  const double blockWest = kGridWest - col * kBlockSize;
  std::int32_t sRow = static_cast<std::int32_t>((y - blockSouth) / kSectionSize);
  std::int32_t sCol = static_cast<std::int32_t>((blockWest - x) / kSectionSize);
  double sectionSouth = sRow * kSectionSize + blockSouth;
  const double sectionWest = blockWest - sCol * kSectionSize;
  double dN = y - sectionSouth;
  double dE = sectionWest - x;

  // A point on a section line belongs to the section north or east of the line.
  if (std::fabs(dN) < kSnap) {
    dN = 0.0;
  } else if (std::fabs(dN - kSectionSize) < kSnap) {
    dN = 0.0;
    sRow = sRow + 1;
    sectionSouth = sectionSouth + kSectionSize;
  }
  if (std::fabs(dE) < kSnap) {
    dE = 0.0;
  } else if (std::fabs(dE - kSectionSize) < kSnap) {
    dE = 0.0;
    sCol = sCol + 1;
  }
  // On the block's own north or east line: the same rule gives the first section row or
  // column of the block beyond the line, 0 feet from its south or west line.
  if (sRow >= kSectionsPerSide) {
    row = row + 1;
    sRow = 0;
    dN = 0.0;
    sectionSouth = row * kBlockSize + kGridSouth;
  }
  if (sCol >= kSectionsPerSide) {
    col = col + 1;
    sCol = 0;
    dE = 0.0;
  }
  // The window keeps both inside the grid; should rounding ever carry one past it, the
  // point is treated as outside rather than given a location that does not exist.
  if (row > kLastRow || col > kLastColumn) return;

  const double phiMiddle = (sectionSouth + kHalfSection) * kDegToRad;
  const double m = Meridian(phiMiddle, datum);
  const double p = Parallel(phiMiddle, datum);
  const double height = m * kFeetPerMinuteOfArc;
  const double width = p * kFeetPerMinuteOfArc;
  const double northing = dN * kFeetPerDegreeOfArc * m;
  const double easting = dE * kFeetPerDegreeOfArc * p;
  const bool northHalf = dN > kHalfSection;
  const bool eastHalf = dE > kHalfSection;
  const double northSouthCall = northHalf ? height - northing : northing;
  const double eastWestCall = eastHalf ? width - easting : easting;
  scope.Check(Pair{eastWestCall, northSouthCall});

  const std::int32_t section =
      kSectionNumbering.sectionAt[static_cast<std::size_t>(sRow)][static_cast<std::size_t>(sCol)];
  char rowText[16];
  std::snprintf(rowText, sizeof rowText, "%04d", static_cast<int>(row));

  carter.CellNumber(section);
  carter.BlockNumber(col);
  carter.BlockLetter(rowText);
  if (northHalf) {
    carter.FNL(northSouthCall);
  } else {
    carter.FSL(northSouthCall);
  }
  if (eastHalf) {
    carter.FEL(eastWestCall);
  } else {
    carter.FWL(eastWestCall);
  }
  CarterAccess::Changed(carter, false);
}

}  // namespace lantrel::detail
