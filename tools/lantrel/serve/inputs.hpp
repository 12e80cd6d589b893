// What a request names: query parameters, the JSON body, systems, switches and numbers, each
// refused with a problem document when it cannot be read.
#pragma once

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "point_converter.hpp"
#include "serve/api.hpp"
#include "systems.hpp"

namespace lantrel::cli::serve {

/// A request's parameters: the query string, and for POST with a JSON body its members
/// (members win over the query).
class Inputs {
 public:
  /// Parses a JSON body (400 malformed-json when it is not JSON or not an object; 415 when the
  /// body is not declared as JSON).
  Inputs(const Request& request, bool bodyAllowed);
  /// The same, with the members named in `columns` read apart when they are arrays of
  /// numbers only (see column_body.hpp): Column gives them, Member does not.
  Inputs(const Request& request, bool bodyAllowed, std::initializer_list<std::string_view> columns);

  bool Has(std::string_view name) const;
  /// A text parameter (a JSON string member, or the query value).
  std::optional<std::string> Text(std::string_view name) const;
  /// true/false, 1/0, yes/no; `otherwise` when absent.
  bool Switch(std::string_view name, bool otherwise) const;
  /// A whole number from min to max.
  std::optional<long long> Whole(std::string_view name, long long min, long long max) const;
  /// A coordinate system; 400 unknown-system when the name is not one.
  std::optional<System> SystemNamed(std::string_view name) const;
  System RequireSystem(std::string_view name) const;
  /// A body member (null json when absent or not a JSON body).
  const nlohmann::json& Member(std::string_view name) const;
  bool HasBody() const { return body_.is_object(); }
  /// A column of numbers read apart, or nullptr.
  const std::vector<double>* Column(std::string_view name) const;
  /// Moves a column read apart out (empty when there is none).
  std::vector<double> TakeColumn(std::string_view name);

 private:
  const Request& request_;
  nlohmann::json body_;
  std::vector<std::pair<std::string, std::vector<double>>> columns_;
};

/// A converter whose position has the reference data (the library's file or --data).
std::unique_ptr<PointConverter> MakeConverter(const Context& context, const System& from,
                                              const System& to, bool westPositive, bool zgs);

/// A point converter's message worded for the API: the tool's option names become the API's.
std::string ApiMessage(const std::string& message);

/// Writes v with `decimals` decimals, as the tool writes coordinates.
std::string Fixed(double v, int decimals);
/// The shortest text that reads back as v.
void AppendShortest(std::string& out, double v);

}  // namespace lantrel::cli::serve
