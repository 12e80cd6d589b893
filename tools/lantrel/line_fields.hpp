// Splitting plain input lines: "x y", "x,y", "x;y", with further columns passed through.
#pragma once

#include <string_view>

namespace lantrel::cli {

enum class LineKind { Blank, Comment, Data };

/// Blank (only blanks), comment (first non-blank character '#') or data.
LineKind Classify(std::string_view line);

struct PairFields {
  std::string_view x;
  std::string_view separator;  // the text between x and y, kept for the output
  std::string_view y;
  std::string_view rest;  // everything after y from its separator on; empty when nothing follows
};

/// Splits a data line into x, y and the rest. Fields are separated by blanks, a comma or a
/// semicolon (with blanks around it allowed). Returns a message when a field is missing.
const char* SplitPair(std::string_view line, PairFields& out);

/// What follows a Carter location on a line: the rest, or empty when only blanks remain.
std::string_view RestAfter(std::string_view line, std::size_t used);

}  // namespace lantrel::cli
