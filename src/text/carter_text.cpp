#include "lantrel/carter_text.hpp"

#include <charconv>

#include "lantrel/carter.hpp"
#include "lantrel/number_text.hpp"

namespace lantrel {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// A small cursor over the text; every reader returns false without moving on a mismatch.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  std::size_t pos() const { return pos_; }
  bool AtEnd() const { return pos_ == text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  std::size_t SkipBlanks() {
    const std::size_t start = pos_;
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
    return pos_ - start;
  }
  bool Expect(char c) {
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }
  bool Letters(std::string& out) {
    const std::size_t start = pos_;
    while (!AtEnd() && IsAlpha(text_[pos_])) ++pos_;
    out.assign(text_.substr(start, pos_ - start));
    return pos_ > start;
  }
  // Unsigned whole number of at most nine digits.
  bool Whole(std::int32_t& out) {
    const std::size_t start = pos_;
    while (!AtEnd() && IsDigit(text_[pos_])) ++pos_;
    if (pos_ == start || pos_ - start > 9) {
      pos_ = start;
      return false;
    }
    std::from_chars(text_.data() + start, text_.data() + pos_, out);
    return true;
  }
  // Signed decimal footage: [+-]digits[.digits]
  bool Feet(double& out) {
    const std::size_t start = pos_;
    if (Peek() == '-' || Peek() == '+') ++pos_;
    const std::size_t digits = pos_;
    while (!AtEnd() && IsDigit(text_[pos_])) ++pos_;
    if (Peek() == '.') {
      ++pos_;
      while (!AtEnd() && IsDigit(text_[pos_])) ++pos_;
    }
    const auto value = ParseDecimal(text_.substr(start, pos_ - start));
    if (pos_ == digits || !value) {
      pos_ = start;
      return false;
    }
    out = *value;
    return true;
  }
  // FNL, FSL, FEL or FWL (any case): sets which call it is.
  bool Label(bool& northSouth, bool& positive) {
    if (text_.size() - pos_ < 3 || Upper(text_[pos_]) != 'F' || Upper(text_[pos_ + 2]) != 'L') {
      return false;
    }
    switch (Upper(text_[pos_ + 1])) {
      case 'N': northSouth = true; positive = true; break;
      case 'S': northSouth = true; positive = false; break;
      case 'E': northSouth = false; positive = true; break;
      case 'W': northSouth = false; positive = false; break;
      default: return false;
    }
    pos_ += 3;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

CarterParse Fail(std::string message) {
  CarterParse p;
  p.error = std::move(message);
  return p;
}

// Stores one footage call; false when the same direction was given twice.
bool StoreCall(CarterText& loc, bool northSouth, bool positive, double feet, bool seen[2]) {
  if (seen[northSouth ? 0 : 1]) return false;
  seen[northSouth ? 0 : 1] = true;
  if (northSouth) {
    loc.northSouthFeet = feet;
    loc.fromNorth = positive;
  } else {
    loc.eastWestFeet = feet;
    loc.fromEast = positive;
  }
  return true;
}

constexpr const char* kCallsError =
    "a Carter location needs one north/south call (FNL or FSL) and one east/west call "
    "(FEL or FWL)";

CarterParse ParseDefault(Cursor& c) {
  CarterText loc;
  if (!c.Letters(loc.letter) || !c.Whole(loc.number) || !c.Expect('-') || !c.Whole(loc.section)) {
    return Fail("expected a Carter block and section such as D45-07");
  }
  bool seen[2] = {false, false};
  for (int call = 0; call < 2; ++call) {
    double feet = 0.0;
    bool northSouth = false;
    bool positive = false;
    if (c.SkipBlanks() == 0 || !c.Feet(feet) || !c.Expect('-') || !c.Label(northSouth, positive)) {
      return Fail("expected a footage call such as 1200-FNL after the section");
    }
    if (!StoreCall(loc, northSouth, positive, feet, seen)) return Fail(kCallsError);
  }
  CarterParse p;
  p.location = std::move(loc);
  p.length = c.pos();
  return p;
}

CarterParse ParseZgs(Cursor& c) {
  CarterText loc;
  bool seen[2] = {false, false};
  for (int call = 0; call < 2; ++call) {
    double feet = 0.0;
    bool northSouth = false;
    bool positive = false;
    if (call > 0 && c.SkipBlanks() == 0) return Fail("expected a footage call such as 350 FWL");
    if (!c.Feet(feet) || c.SkipBlanks() == 0 || !c.Label(northSouth, positive)) {
      return Fail("expected a footage call such as 1200 FNL");
    }
    if (!StoreCall(loc, northSouth, positive, feet, seen)) return Fail(kCallsError);
  }
  c.SkipBlanks();
  if (!c.Whole(loc.section) || !c.Expect('-')) {
    return Fail("expected section-letter-number such as 07- D-45 after the calls");
  }
  c.SkipBlanks();
  if (!c.Letters(loc.letter) || !c.Expect('-') || !c.Whole(loc.number)) {
    return Fail("expected section-letter-number such as 07- D-45 after the calls");
  }
  CarterParse p;
  p.location = std::move(loc);
  p.length = c.pos();
  return p;
}

}  // namespace

CarterParse ParseCarter(std::string_view text) {
  Cursor c(text);
  c.SkipBlanks();
  if (c.AtEnd()) return Fail("missing Carter location");
  CarterParse p = IsAlpha(c.Peek()) ? ParseDefault(c) : ParseZgs(c);
  // The location must end at a separator, not run into other text ("D45-07 1200-FNL 350-FWLX").
  if (p.location) {
    const char next = p.length < text.size() ? text[p.length] : '\0';
    if (next != '\0' && !IsBlank(next) && next != ',' && next != ';') {
      return Fail("unexpected text after the Carter location");
    }
  }
  return p;
}

std::string LetterForLibrary(const std::string& letter) {
  if (letter.size() == 2 && Upper(letter[0]) == 'H' && Upper(letter[1]) == 'H') return "033";
  return letter;
}

void StoreCarterText(zrCarter& carter, const CarterText& loc) {
  carter.Clear();
  carter.Letter(LetterForLibrary(loc.letter));
  carter.Number(loc.number);
  carter.Section(loc.section);
  if (loc.fromNorth) carter.FNL(loc.northSouthFeet);
  else carter.FSL(loc.northSouthFeet);
  if (loc.fromEast) carter.FEL(loc.eastWestFeet);
  else carter.FWL(loc.eastWestFeet);
}

}  // namespace lantrel
