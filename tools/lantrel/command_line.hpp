// The command line of one of the tool's commands. Each command declares its options once,
// with their help; CLI11 parses the arguments by that declaration and the same declaration
// writes the command's --help text.
#pragma once

#include <memory>
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

/// How a user names the coordinate columns the tool did not find by itself (the hint of the
/// library's column search).
inline constexpr std::string_view kNameColumnsHint = "name them with --x-col and --y-col";

class CommandLine {
 public:
  /// usage: the help text before the option list (the usage lines and what the command does,
  /// ending with a blank line); epilogue: the text after it (details, examples), or empty.
  CommandLine(std::string name, std::string usage, std::string epilogue = {});
  ~CommandLine();
  CommandLine(CommandLine&&) noexcept;
  CommandLine& operator=(CommandLine&&) noexcept;

  /// Declares a flag. names: "-I,--inverse" or "--csv". help: the lines of its description
  /// (separated by \n); an empty help lists the option on one line with the next one, which
  /// describes both.
  CommandLine& Flag(const std::string& names, const std::string& help);
  /// Declares an option taking a value, shown as valueName in the help. Given twice, the last
  /// value counts.
  CommandLine& Option(const std::string& names, const std::string& valueName, const std::string& help);

  /// Parses the arguments that follow the command's name. Returns false when they ask for
  /// help (-h, --help). Unknown options, a missing value and a value given to a flag raise
  /// UsageError; "--" makes every later argument an operand, "-" is an operand.
  bool Parse(const std::vector<std::string>& args);

  /// Whether the option (long name without the dashes) was given.
  bool Has(std::string_view name) const;
  /// The value of the option's last occurrence.
  std::optional<std::string> Value(std::string_view name) const;
  const std::vector<std::string>& operands() const;

  /// The --help text.
  std::string Help() const;
  /// Writes the --help text to standard output.
  void PrintHelp() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

/// A whole number from min to max given to an option; UsageError otherwise.
int IntOption(std::string_view option, const std::string& text, int min, int max);

/// Writes text to standard output whole (help texts).
void WriteOut(std::string_view text);

}  // namespace lantrel::cli
