#include "serve/carter_area.hpp"

#include <cmath>
#include <regex>

#include "carter_text.hpp"

namespace lantrel::cli::serve {

std::optional<PartialCarter> ParsePartialCarter(std::string_view text) {
  static const std::regex shape(R"(^\s*([A-Za-z]{1,2})\s*-?\s*([0-9]{1,2})(?:\s*[- ]\s*([0-9]{1,2}))?\s*$)");
  std::match_results<std::string_view::const_iterator> m;
  if (!std::regex_match(text.begin(), text.end(), m, shape)) return std::nullopt;
  PartialCarter p;
  p.letter = m[1].str();
  for (auto& c : p.letter) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  p.number = std::stoi(m[2].str());
  if (m[3].matched) p.section = std::stoi(m[3].str());
  return p;
}

bool InCarterGrid(double lon, double lat) {
  return lon >= kCarterEast && lon <= kCarterWest && lat >= kCarterSouth && lat <= kCarterNorth;
}

CarterCell GridCell(double lon, double lat, bool section, zrGeoDatum datum) {
  const double size = section ? kCarterSection : kCarterBlock;
  CarterCell cell;
  cell.datum = datum;
  cell.east = kCarterEast + std::floor((lon - kCarterEast) / size) * size;
  cell.west = cell.east + size;
  cell.south = kCarterSouth + std::floor((lat - kCarterSouth) / size) * size;
  cell.north = cell.south + size;
  return cell;
}

CarterCell CellOf(const PartialCarter& location, zrGeoDatum datum) {
  ZrGeoPosition p;
  p.Projection(zrGeoProjection::zrCarter);
  p.Datum(datum);
  CarterText t;
  t.letter = location.letter;
  t.number = location.number;
  t.section = location.section == 0 ? 13 : location.section;
  t.northSouthFeet = 0.0;
  t.fromNorth = true;
  t.eastWestFeet = 0.0;
  t.fromEast = false;
  StoreCarterText(*p.Carter(), t);
  p.ConvertTo(datum, zrGeoProjection::zrGeographic, zrGeoUnits::zrDecimalDegrees);
  // The section's north-west corner; half a section inside it lies in the cell.
  CarterCell cell = GridCell(p.x() - kCarterSection / 2.0, p.y() - kCarterSection / 2.0,
                             location.section != 0, datum);
  const std::string full = p.Carter()->LocationString(false);
  // "D45-13 0-FNL 0-FWL": the block, and the section when one was named.
  const auto dash = full.find('-');
  const auto blank = full.find(' ');
  cell.name = location.section != 0 ? full.substr(0, blank) : full.substr(0, dash);
  return cell;
}

}  // namespace lantrel::cli::serve
