// A JSON body of large number columns ({"x":[...],"y":[...], ...}) read without building a
// JSON value per number: a strict reader takes the arrays of plain JSON numbers under the
// names asked for straight into doubles, and the JSON library reads the other members. Any
// body of another shape is left to the JSON library whole, which also words its errors.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace lantrel::cli::serve {

struct ColumnBody {
  nlohmann::json rest = nlohmann::json::object();            // the object without the columns
  std::vector<std::pair<std::string, std::vector<double>>> columns;  // in the body's order
};

/// Reads a body that is one JSON object whose members named in `names`, where present, are
/// arrays of numbers only (each read as the correctly rounded double of its text, as
/// `lantrel convert` reads it). Nothing when the body is anything else: not an object,
/// malformed, a column holding a text or null, a number beyond the range of a double, a name
/// written with escapes or given twice. Never throws except std::bad_alloc.
std::optional<ColumnBody> ReadColumnBody(std::string_view body, std::initializer_list<std::string_view> names);

}  // namespace lantrel::cli::serve
