#include "line_fields.hpp"

namespace lantrel::cli {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSeparator(char c) { return IsBlank(c) || c == ',' || c == ';'; }

std::size_t SkipBlanks(std::string_view s, std::size_t i) {
  while (i < s.size() && IsBlank(s[i])) ++i;
  return i;
}

std::size_t FieldEnd(std::string_view s, std::size_t i) {
  while (i < s.size() && !IsSeparator(s[i])) ++i;
  return i;
}

}  // namespace

LineKind Classify(std::string_view line) {
  const std::size_t i = SkipBlanks(line, 0);
  if (i == line.size()) return LineKind::Blank;
  return line[i] == '#' ? LineKind::Comment : LineKind::Data;
}

const char* SplitPair(std::string_view line, PairFields& out) {
  std::size_t i = SkipBlanks(line, 0);
  const std::size_t xEnd = FieldEnd(line, i);
  if (xEnd == i) return "missing x value";
  out.x = line.substr(i, xEnd - i);
  // Separator: blanks, at most one comma or semicolon, blanks.
  i = SkipBlanks(line, xEnd);
  if (i < line.size() && (line[i] == ',' || line[i] == ';')) i = SkipBlanks(line, i + 1);
  const std::size_t yEnd = FieldEnd(line, i);
  if (yEnd == i) return "missing y value";
  out.separator = line.substr(xEnd, i - xEnd);
  out.y = line.substr(i, yEnd - i);
  out.rest = RestAfter(line, yEnd);
  return nullptr;
}

std::string_view RestAfter(std::string_view line, std::size_t used) {
  if (used >= line.size() || SkipBlanks(line, used) == line.size()) return {};
  return line.substr(used);
}

}  // namespace lantrel::cli
