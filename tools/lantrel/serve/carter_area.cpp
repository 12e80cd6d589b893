#include "serve/carter_area.hpp"

#include <cmath>
#include <cctype>

#include "carter_text.hpp"

namespace lantrel::cli::serve {

std::optional<PartialCarter> ParsePartialCarter(std::string_view text) {
  std::size_t i = 0;
  const auto blanks = [&] {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  const auto letter = [&] { return i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])); };
  const auto digits = [&](std::int32_t& value) {
    const std::size_t from = i;
    value = 0;
    while (i < text.size() && i - from < 2 && text[i] >= '0' && text[i] <= '9') value = value * 10 + (text[i++] - '0');
    return i > from && !(i < text.size() && text[i] >= '0' && text[i] <= '9');
  };
  PartialCarter p;
  blanks();
  while (letter() && p.letter.size() < 2) {
    p.letter += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i++])));
  }
  if (p.letter.empty() || letter()) return std::nullopt;
  blanks();
  if (i < text.size() && text[i] == '-') ++i;
  blanks();
  if (!digits(p.number)) return std::nullopt;
  blanks();
  if (i < text.size() && text[i] == '-') {
    ++i;
    blanks();
    if (!digits(p.section) || p.section == 0) return std::nullopt;
  } else if (i < text.size()) {
    if (!digits(p.section) || p.section == 0) return std::nullopt;
  }
  blanks();
  if (i != text.size()) return std::nullopt;
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
