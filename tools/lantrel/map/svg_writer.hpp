// A small SVG 1.1 text builder: elements with attributes, escaped text, coordinates with two
// decimals. The map writes its own markup; no library is involved.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lantrel::cli::map {

struct ScreenPoint {
  double x = 0.0;  // pixels to the right of the canvas's left edge
  double y = 0.0;  // pixels down from the top edge
};

class SvgWriter {
 public:
  /// Starts the document: XML declaration and the <svg> element of the given pixel size.
  SvgWriter(double width, double height);

  /// Opens an element; attributes are written as given (values escaped). Close with Close().
  void Open(std::string_view name, std::initializer_list<std::pair<std::string_view, std::string>> attributes = {});
  void Close();
  /// An empty element.
  void Element(std::string_view name, std::initializer_list<std::pair<std::string_view, std::string>> attributes);
  /// <text> with the given attributes and escaped content.
  void Text(std::initializer_list<std::pair<std::string_view, std::string>> attributes, std::string_view content);
  /// A comment line (the text must not hold "--").
  void Comment(std::string_view text);

  /// Closes every open element and returns the document.
  std::string Finish();

 private:
  void Attributes(std::initializer_list<std::pair<std::string_view, std::string>> attributes);
  void Indent();

  std::string out_;
  std::vector<std::string> open_;
};

/// A coordinate with at most two decimals, no trailing zeros ("12.5", "-3", "0").
std::string Num(double v);

/// Path data through the points: "M x y L x y ..." ("" for no points); `close` appends Z.
std::string PathData(const std::vector<ScreenPoint>& points, bool close);

/// Text escaped for XML content and attribute values (&, <, >, ", '), made UTF-8 first
/// (AsUtf8) so the document is well-formed whatever the input's encoding.
std::string XmlEscape(std::string_view text);

}  // namespace lantrel::cli::map
