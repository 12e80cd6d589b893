#include "command_line.hpp"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <charconv>
#include <deque>
#include <map>

#include "lantrel/quoted_text.hpp"

namespace lantrel::cli {

namespace {

// Descriptions start in this column of the option list.
constexpr std::size_t kDescriptionColumn = 24;

// The tool's help layout: the usage text, "Options:" with one entry per option (-h, --help
// last; options without a description joined to the next entry), then the epilogue.
class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
    std::string out = app->get_description();
    out += "Options:\n";
    std::vector<const CLI::Option*> listed;
    for (const CLI::Option* o : app->get_options()) {
      if (!o->get_positional() && o != app->get_help_ptr()) listed.push_back(o);
    }
    if (app->get_help_ptr() != nullptr) listed.push_back(app->get_help_ptr());
    std::string names;
    for (const CLI::Option* o : listed) {
      // "  -f, --from SYSTEM", "      --csv"; joined entries follow as "-l, --layer NAME".
      const std::string shortName = o->get_snames().empty() ? "" : "-" + o->get_snames().front() + ", ";
      if (names.empty()) names = "  " + (shortName.empty() ? std::string("    ") : shortName);
      else names += ", " + shortName;
      names += "--" + o->get_lnames().front();
      if (o->get_expected_max() != 0) names += " " + o->get_type_name();
      const std::string& description = o->get_description();
      if (description.empty()) continue;
      out += names;
      if (names.size() < kDescriptionColumn) {
        out.append(kDescriptionColumn - names.size(), ' ');
      } else {
        out += '\n';
        out.append(kDescriptionColumn, ' ');
      }
      for (const char c : description) {
        out += c;
        if (c == '\n') out.append(kDescriptionColumn, ' ');
      }
      out += '\n';
      names.clear();
    }
    if (!app->get_footer().empty()) out += "\n" + app->get_footer();
    return out;
  }
};

// "--name" of "--name=value", else the whole argument.
std::string OptionPart(const std::string& arg) {
  if (arg.rfind("--", 0) != 0) return arg;
  return arg.substr(0, arg.find('='));
}

}  // namespace

struct CommandLine::State {
  CLI::App app;
  std::deque<std::string> values;  // where the options' values are stored
  std::map<std::string, CLI::Option*, std::less<>> byName;
  std::vector<std::string> operands;

  CLI::Option* Find(const std::string& arg) const {
    const std::string name = OptionPart(arg);
    for (const auto& [longName, option] : byName) {
      if (name == "--" + longName) return option;
      if (name.size() == 2 && name[0] == '-' && option->check_sname(name.substr(1))) return option;
    }
    return nullptr;
  }

  // The message of a missing value, naming the option as it was written.
  std::string Mismatch(const std::vector<std::string>& args, const CLI::ParseError& e) const {
    for (const auto& arg : args) {
      if (arg == "--") break;
      if (arg.rfind("--", 0) == 0 && arg.back() == '=' && Find(arg) != nullptr) {
        return "option " + Excerpt(OptionPart(arg)) + " needs a value";
      }
    }
    if (!args.empty()) {
      const std::string& last = args.back();
      const CLI::Option* option = Find(last);
      if (option != nullptr && option->get_expected_max() != 0) {
        return "option " + Excerpt(OptionPart(last)) + " needs a value";
      }
    }
    return e.what();
  }
};

CommandLine::CommandLine(std::string name, std::string usage, std::string epilogue)
    : state_(std::make_unique<State>()) {
  CLI::App& app = state_->app;
  app.name(std::move(name));
  app.description(std::move(usage));
  app.footer(std::move(epilogue));
  app.allow_extras();
  app.set_help_flag("-h,--help", "show this help");
  app.formatter(std::make_shared<HelpFormatter>());
  app.add_option("operands", state_->operands);
}

CommandLine::~CommandLine() = default;
CommandLine::CommandLine(CommandLine&&) noexcept = default;
CommandLine& CommandLine::operator=(CommandLine&&) noexcept = default;

CommandLine& CommandLine::Flag(const std::string& names, const std::string& help) {
  CLI::Option* o = state_->app.add_flag(names, help)->disable_flag_override();
  state_->byName.emplace(o->get_lnames().front(), o);
  return *this;
}

CommandLine& CommandLine::Option(const std::string& names, const std::string& valueName,
                                 const std::string& help) {
  std::string& value = state_->values.emplace_back();
  CLI::Option* o = state_->app.add_option(names, value, help)
                       ->type_name(valueName)
                       ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  state_->byName.emplace(o->get_lnames().front(), o);
  return *this;
}

bool CommandLine::Parse(const std::vector<std::string>& args) {
  CLI::App& app = state_->app;
  // CLI11 reads "--flag=" as the flag alone; it is a value given to a flag all the same.
  for (const auto& arg : args) {
    if (arg == "--") break;
    if (arg.rfind("--", 0) != 0 || arg.find('=') == std::string::npos) continue;
    const CLI::Option* option = state_->Find(arg);
    if (option != nullptr && option->get_expected_max() == 0 && option != app.get_help_ptr()) {
      throw UsageError("option " + Excerpt(OptionPart(arg)) + " takes no value");
    }
  }
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    return false;
  } catch (const CLI::ParseError& e) {
    if (app.get_help_ptr()->count() > 0) return false;
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr) {
      throw UsageError(state_->Mismatch(args, e));
    }
    throw UsageError(e.what());
  }
  for (const auto& extra : app.remaining()) {
    if (extra != "--") throw UsageError("unknown option " + Excerpt(extra));
  }
  return true;
}

bool CommandLine::Has(std::string_view name) const {
  const auto it = state_->byName.find(name);
  return it != state_->byName.end() && it->second->count() > 0;
}

std::optional<std::string> CommandLine::Value(std::string_view name) const {
  const auto it = state_->byName.find(name);
  if (it == state_->byName.end() || it->second->count() == 0 || it->second->get_expected_max() == 0) {
    return std::nullopt;
  }
  return it->second->as<std::string>();
}

const std::vector<std::string>& CommandLine::operands() const { return state_->operands; }

std::string CommandLine::Help() const { return state_->app.help(); }

void CommandLine::PrintHelp() const { WriteOut(Help()); }

int IntOption(std::string_view option, const std::string& text, int min, int max) {
  int v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() || v < min ||
      v > max) {
    throw UsageError("option '--" + std::string(option) + "' needs a whole number from " +
                     std::to_string(min) + " to " + std::to_string(max) + ", not " + Excerpt(text));
  }
  return v;
}

void WriteOut(std::string_view text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace lantrel::cli
