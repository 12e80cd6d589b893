#include "refdata/integrity.hpp"

#include <cmath>
#include <cstdint>

#include "lantrel/error.hpp"
#include "core/raise.hpp"

namespace lantrel::detail {

namespace {

[[noreturn]] void Refuse(const std::string& fileName, const std::string& what) {
  throw Error(errc::InvalidFileFormat, kRuntimeSource,
              RuntimeErrorText(errc::InvalidFileFormat) + ": " + fileName + ": " + what);
}

std::string Range(std::size_t size) {
  return size == 0 ? std::string("an empty list") : "0.." + std::to_string(size - 1);
}

std::string Where(const char* table, std::size_t i) {
  return std::string(table) + " record " + std::to_string(i);
}

// C0 controls (NUL, line breaks, ...) and DEL never belong in a place name or tile. In the
// decoded UTF-8 they are single bytes, which no multi-byte sequence contains.
bool PlainText(const std::string& text) {
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) return false;
  }
  return true;
}

void CheckText(const std::string& text, const std::string& where, const char* field,
               const std::string& fileName) {
  if (!PlainText(text)) {
    Refuse(fileName, where + ": " + field + " holds a control character");
  }
}

void CheckRegion(const ReferenceData& data, const RegionRecord& r, const std::string& where,
                 const std::string& fileName) {
  CheckText(r.Name, where, "name", fileName);
  const std::size_t positions = data.vertexIndexList.size();
  if (r.FirstVertex < 0 || r.FirstVertex > r.LastVertex ||
      static_cast<std::size_t>(r.LastVertex) >= positions) {
    Refuse(fileName, where + ": vertex positions " + std::to_string(r.FirstVertex) + ".." +
                         std::to_string(r.LastVertex) + " do not lie in " + Range(positions));
  }
  for (auto k = static_cast<std::size_t>(r.FirstVertex);
       k <= static_cast<std::size_t>(r.LastVertex); ++k) {
    const std::int32_t number = data.vertexIndexList[k];
    if (number < 0 || static_cast<std::size_t>(number) >= data.vertexList.size()) {
      Refuse(fileName, where + ": vertex number " + std::to_string(number) + " at position " +
                           std::to_string(k) + " outside " + Range(data.vertexList.size()));
    }
    const Pair v = data.vertexList[static_cast<std::size_t>(number)];
    // A box need not enclose its outline (the box test simply decides first), but a vertex
    // that is not a number makes every edge through it meaningless.
    if (!std::isfinite(v.x) || !std::isfinite(v.y)) {
      Refuse(fileName, where + ": vertex " + std::to_string(number) + " at position " +
                           std::to_string(k) + " is not a finite coordinate");
    }
  }
}

}  // namespace

void CheckIntegrity(const ReferenceData& data, const std::string& fileName) {
  for (std::size_t i = 0; i < data.states.size(); ++i) {
    CheckRegion(data, data.states[i], Where("state", i), fileName);
  }
  for (std::size_t i = 0; i < data.counties.size(); ++i) {
    const RegionRecord& r = data.counties[i];
    CheckRegion(data, r, Where("county", i), fileName);
  }
  for (std::size_t i = 0; i < data.quads.size(); ++i) {
    const QuadRecord& q = data.quads[i];
    const std::string where = Where("quadrangle", i);
    CheckText(q.Name, where, "name", fileName);
    CheckText(q.State, where, "state", fileName);
    CheckText(q.Tile, where, "tile", fileName);
    if (!(q.XMin < q.XMax && q.YMin < q.YMax)) {
      Refuse(fileName, where + ": rectangle without area (XMin < XMax and YMin < YMax fail)");
    }
  }
}

}  // namespace lantrel::detail
