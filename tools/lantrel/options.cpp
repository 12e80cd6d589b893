#include "options.hpp"

#include <charconv>

#include "excerpt.hpp"

namespace lantrel::cli {

Options::Options(const std::vector<std::string>& args, std::initializer_list<OptionDef> specs) {
  auto findLong = [&](std::string_view name) -> const OptionDef* {
    for (const auto& s : specs) {
      if (s.name == name) return &s;
    }
    return nullptr;
  };
  auto findShort = [&](char c) -> const OptionDef* {
    for (const auto& s : specs) {
      if (s.shortName != 0 && s.shortName == c) return &s;
    }
    return nullptr;
  };
  bool onlyOperands = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (onlyOperands || arg == "-" || arg.empty() || arg[0] != '-') {
      operands_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlyOperands = true;
      continue;
    }
    const OptionDef* option = nullptr;
    std::optional<std::string> inlineValue;
    std::string shown = arg;
    if (arg.rfind("--", 0) == 0) {
      const auto eq = arg.find('=');
      const std::string name = arg.substr(2, eq == std::string::npos ? eq : eq - 2);
      if (eq != std::string::npos) inlineValue = arg.substr(eq + 1);
      option = findLong(name);
      shown = "--" + name;
    } else if (arg.size() == 2) {
      option = findShort(arg[1]);
    } else {
      // "-p3": a short option with its value attached.
      option = findShort(arg[1]);
      if (option != nullptr && option->takesValue) inlineValue = arg.substr(2);
      else option = nullptr;
    }
    if (option == nullptr) throw UsageError("unknown option " + Excerpt(arg));
    std::string value;
    if (option->takesValue) {
      if (inlineValue) {
        value = *inlineValue;
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        throw UsageError("option " + Excerpt(shown) + " needs a value");
      }
    } else if (inlineValue) {
      throw UsageError("option " + Excerpt(shown) + " takes no value");
    }
    values_[std::string(option->name)] = value;
  }
}

std::optional<std::string> Options::Value(std::string_view name) const {
  const auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

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

}  // namespace lantrel::cli
