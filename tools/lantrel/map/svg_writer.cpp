#include "map/svg_writer.hpp"

#include <cmath>

#include "lantrel/number_text.hpp"
#include "lantrel/utf8_text.hpp"
#include "map/label_text.hpp"

namespace lantrel::cli::map {

SvgWriter::SvgWriter(double width, double height) {
  out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  Open("svg", {{"xmlns", "http://www.w3.org/2000/svg"},
               {"version", "1.1"},
               {"width", Num(width)},
               {"height", Num(height)},
               {"viewBox", "0 0 " + Num(width) + " " + Num(height)}});
}

void SvgWriter::Indent() { out_.append(2 * open_.size(), ' '); }

void SvgWriter::Attributes(std::initializer_list<std::pair<std::string_view, std::string>> attributes) {
  for (const auto& [name, value] : attributes) {
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    out_ += XmlEscape(value);
    out_ += '"';
  }
}

void SvgWriter::Open(std::string_view name,
                     std::initializer_list<std::pair<std::string_view, std::string>> attributes) {
  Indent();
  out_ += '<';
  out_ += name;
  Attributes(attributes);
  out_ += ">\n";
  open_.emplace_back(name);
}

void SvgWriter::Close() {
  if (open_.empty()) return;
  const std::string name = std::move(open_.back());
  open_.pop_back();
  Indent();
  out_ += "</" + name + ">\n";
}

void SvgWriter::Element(std::string_view name,
                        std::initializer_list<std::pair<std::string_view, std::string>> attributes) {
  Indent();
  out_ += '<';
  out_ += name;
  Attributes(attributes);
  out_ += "/>\n";
}

void SvgWriter::Text(std::initializer_list<std::pair<std::string_view, std::string>> attributes,
                     std::string_view content) {
  Indent();
  out_ += "<text";
  Attributes(attributes);
  out_ += '>';
  out_ += XmlEscape(content);
  out_ += "</text>\n";
}

void SvgWriter::Comment(std::string_view text) {
  Indent();
  out_ += "<!-- ";
  out_ += text;
  out_ += " -->\n";
}

std::string SvgWriter::Finish() {
  while (!open_.empty()) Close();
  return std::move(out_);
}

std::string Num(double v) {
  if (!std::isfinite(v)) return "0";
  char text[kMaxFixedChars];
  char* end = FormatFixed(text, v, 2);
  char* point = text;
  while (point != end && *point != '.') ++point;
  if (point != end) {
    while (end[-1] == '0') --end;
    if (end[-1] == '.') --end;
  }
  std::string s(text, end);
  return s == "-0" ? "0" : s;
}

std::string PathData(const std::vector<ScreenPoint>& points, bool close) {
  std::string d;
  for (std::size_t i = 0; i < points.size(); ++i) {
    d += i == 0 ? "M" : " L";
    d += Num(points[i].x);
    d += ' ';
    d += Num(points[i].y);
  }
  if (close && !points.empty()) d += " Z";
  return d;
}

std::string XmlEscape(std::string_view raw) {
  // The document is declared UTF-8: text in another encoding is transcoded first.
  const std::string text = AsUtf8(raw);
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default:
        // Control characters other than tab and line feed are not allowed in XML 1.0.
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') out += ' ';
        else out += c;
    }
  }
  return out;
}

}  // namespace lantrel::cli::map
