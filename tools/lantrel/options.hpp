// Command-line options: --name VALUE, --name=VALUE, -n VALUE, flags, "--" and file operands.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lantrel::cli {

/// Wrong use of the command line; the tool prints the message and exits with status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct OptionDef {
  std::string_view name;  // long name without the dashes
  char shortName;         // 0 when there is none
  bool takesValue;
};

class Options {
 public:
  /// Parses args against the specs; unknown options and missing values raise UsageError.
  Options(const std::vector<std::string>& args, std::initializer_list<OptionDef> specs);

  bool Has(std::string_view name) const { return values_.count(std::string(name)) != 0; }
  /// The value of the last occurrence of an option.
  std::optional<std::string> Value(std::string_view name) const;
  const std::vector<std::string>& operands() const { return operands_; }

 private:
  std::map<std::string, std::string, std::less<>> values_;
  std::vector<std::string> operands_;
};

/// A whole number from min to max given to an option; UsageError otherwise.
int IntOption(std::string_view option, const std::string& text, int min, int max);

}  // namespace lantrel::cli
