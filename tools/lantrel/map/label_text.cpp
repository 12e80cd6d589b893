#include "map/label_text.hpp"

#include "lantrel/utf8_text.hpp"

namespace lantrel::cli::map {

std::string LabelOf(std::string_view rest, std::size_t maxBytes) {
  std::size_t i = 0;
  while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t' || rest[i] == ',' || rest[i] == ';')) ++i;
  std::string_view trimmed = rest.substr(i);
  while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.remove_suffix(1);
  std::string text = AsUtf8(trimmed);
  if (text.size() > maxBytes) {
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
  }
  return text;
}

}  // namespace lantrel::cli::map
