#include "report.hpp"

namespace lantrel::cli {

void Reporter::Fail(std::uint64_t line, std::string_view message) {
  ++failures_;
  if (bar_ != nullptr) bar_->Hide();
  std::string text;
  text.reserve(message.size() + file_.size() + 24);
  if (nameFiles_) {
    text += file_;
    text += ':';
  }
  text += std::to_string(line);
  text += ": ";
  text += message;
  text += '\n';
  ErrorLine(text);
}

}  // namespace lantrel::cli
