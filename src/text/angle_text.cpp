#include "lantrel/angle_text.hpp"

#include <charconv>
#include <cmath>
#include <cstring>

#include "lantrel/number_text.hpp"
#include "lantrel/quoted_text.hpp"

namespace lantrel {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSeparator(char c) { return IsBlank(c) || c == ',' || c == ';'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char HemisphereLetter(char c) {
  switch (c) {
    case 'N': case 'n': return 'N';
    case 'S': case 's': return 'S';
    case 'E': case 'e': return 'E';
    case 'W': case 'w': return 'W';
    default: return 0;
  }
}

std::size_t SkipBlanks(std::string_view s, std::size_t i) {
  while (i < s.size() && IsBlank(s[i])) ++i;
  return i;
}

// A number starts here: a digit, or a point followed by a digit.
bool NumberStarts(std::string_view s, std::size_t i) {
  if (i >= s.size()) return false;
  if (IsDigit(s[i])) return true;
  return s[i] == '.' && i + 1 < s.size() && IsDigit(s[i + 1]);
}

// Length of the mark at i when it is one of the given spellings, else 0.
template <std::size_t N>
std::size_t MarkAt(std::string_view s, std::size_t i, const std::string_view (&marks)[N]) {
  for (const auto m : marks) {
    if (s.substr(i, m.size()) == m) return m.size();
  }
  return 0;
}

// Longest spellings first, so that '' (seconds) is not taken as ' (minutes).
constexpr std::string_view kDegreeMarks[] = {"\xC2\xB0", "\xC2\xBA", "d", "D"};
constexpr std::string_view kMinuteMarks[] = {"\xE2\x80\xB2", "\xE2\x80\x99", "'"};
constexpr std::string_view kSecondMarks[] = {"\xE2\x80\xB3", "\xE2\x80\x9D", "''", "\""};

// The field around a failure, for messages: from `start` to the next separator.
std::string_view FieldAt(std::string_view s, std::size_t start) {
  std::size_t e = start;
  while (e < s.size() && !IsSeparator(s[e])) ++e;
  return s.substr(start, e - start);
}

AngleParse Refuse(std::string message) {
  AngleParse r;
  r.error = std::move(message);
  return r;
}

constexpr const char* kAmbiguous =
    "degrees, minutes and seconds separated by blanks need a hemisphere letter (N, S, E, W), "
    "or marks such as 84\xC2\xB0" "52\xE2\x80\xB2" "23.88\xE2\x80\xB3";

}  // namespace

AngleParse ReadAngle(std::string_view text, std::size_t from, AngleScope scope) {
  const bool full = scope == AngleScope::Full;
  std::size_t i = SkipBlanks(text, from);
  char prefix = 0;
  if (i < text.size() && HemisphereLetter(text[i]) != 0) {
    const std::size_t after = i + 1;
    const std::size_t number = full ? SkipBlanks(text, after) : after;
    const std::size_t signAt = number < text.size() && (text[number] == '+' || text[number] == '-')
                                   ? number + 1
                                   : number;
    if (!NumberStarts(text, signAt)) return Refuse("");
    prefix = HemisphereLetter(text[i]);
    i = number;
  }
  char sign = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) sign = text[i++];
  if (!NumberStarts(text, i)) return Refuse("");

  // Up to three components: degrees, minutes, seconds.
  std::string_view parts[3];
  int count = 0;
  bool marked = false;
  bool colons = false;
  bool blanks = false;
  bool exponent = false;
  bool fractionBeforeLast = false;
  bool lastHadFraction = false;
  while (true) {
    const std::size_t start = i;
    bool fraction = false;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i < text.size() && text[i] == '.') {
      fraction = true;
      ++i;
      while (i < text.size() && IsDigit(text[i])) ++i;
    }
    // An exponent makes a plain decimal number; "84.5E" ends with the letter E instead.
    if (count == 0 && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
      std::size_t j = i + 1;
      if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
      if (j < text.size() && IsDigit(text[j])) {
        while (j < text.size() && IsDigit(text[j])) ++j;
        i = j;
        exponent = true;
      }
    }
    if (lastHadFraction) fractionBeforeLast = true;
    lastHadFraction = fraction || exponent;
    parts[count++] = text.substr(start, i - start);
    if (exponent) break;

    std::size_t mark = 0;
    if (count == 1) mark = MarkAt(text, i, kDegreeMarks);
    else if (count == 2) mark = MarkAt(text, i, kMinuteMarks);
    else mark = MarkAt(text, i, kSecondMarks);
    // A mark of a later component (84°23″) or a minutes mark spelled '' is out of order.
    if (mark == 0 && count == 2 && MarkAt(text, i, kSecondMarks) != 0) {
      return Refuse("seconds need minutes before them");
    }
    // 'd' and 'D' are marks only between numbers or at the end, never the start of a word.
    if (mark != 0) {
      marked = true;
      i += mark;
      if (count == 3) break;
      const std::size_t next = full ? SkipBlanks(text, i) : i;
      if (!NumberStarts(text, next)) break;
      i = next;
      continue;
    }
    if (count < 3 && i < text.size() && text[i] == ':' && NumberStarts(text, i + 1)) {
      colons = true;
      ++i;
      continue;
    }
    if (full && count < 3 && !lastHadFraction) {
      const std::size_t next = SkipBlanks(text, i);
      if (next > i && NumberStarts(text, next)) {
        blanks = true;
        i = next;
        continue;
      }
    }
    break;
  }

  char suffix = 0;
  {
    std::size_t at = full ? SkipBlanks(text, i) : i;
    // After a leading letter, a letter beyond a blank that a number follows starts the next
    // angle ("W 84 52 23.88 N 38 12 3.24"), so it is no second letter of this one.
    if (prefix != 0 && at > i && at < text.size() && HemisphereLetter(text[at]) != 0) {
      std::size_t number = SkipBlanks(text, at + 1);
      if (number < text.size() && (text[number] == '+' || text[number] == '-')) ++number;
      if (NumberStarts(text, number)) at = i;
    }
    if (at < text.size() && HemisphereLetter(text[at]) != 0 &&
        (at + 1 == text.size() || IsSeparator(text[at + 1]))) {
      suffix = HemisphereLetter(text[at]);
      i = at + 1;
    }
  }
  if (i < text.size() && !IsSeparator(text[i])) return Refuse("");
  if (prefix != 0 && suffix != 0) return Refuse("two hemisphere letters");
  const char letter = prefix != 0 ? prefix : suffix;
  if (letter != 0 && sign != 0) return Refuse("both a sign and a hemisphere letter");
  if (blanks && letter == 0) return Refuse(kAmbiguous);
  if (fractionBeforeLast) return Refuse("only the last of degrees, minutes and seconds may have decimals");

  AngleText angle;
  angle.hemisphere = letter;
  angle.sexagesimal = count > 1 || marked;
  angle.blankSeparated = blanks;
  (void)colons;
  if (count == 1) {
    // Decimal degrees read exactly as a plain number is, sign included.
    const std::size_t numberStart = static_cast<std::size_t>(parts[0].data() - text.data());
    const std::size_t signStart = sign != 0 ? numberStart - 1 : numberStart;
    const auto v = ParseDecimal(text.substr(signStart, parts[0].size() + (sign != 0 ? 1 : 0)));
    if (!v) return Refuse("");
    angle.degrees = *v;
  } else {
    double values[3] = {0.0, 0.0, 0.0};
    for (int k = 0; k < count; ++k) {
      const auto v = ParseDecimal(parts[k]);
      if (!v) return Refuse("");
      values[k] = *v;
    }
    if (values[1] >= 60.0) return Refuse("minutes must be below 60");
    if (values[2] >= 60.0) return Refuse("seconds must be below 60");
    angle.degrees = values[0] + values[1] / 60.0 + values[2] / 3600.0;
    if (sign == '-') angle.degrees = -angle.degrees;
  }
  if (letter == 'S' || letter == 'W') angle.degrees = -angle.degrees;
  AngleParse r;
  r.angle = angle;
  r.end = i;
  return r;
}

AngleParse ParseAngle(std::string_view text) {
  AngleParse r = ReadAngle(text, 0, AngleScope::Full);
  if (r.angle && SkipBlanks(text, r.end) != text.size()) return Refuse("");
  return r;
}

AnglePairParse SplitAnglePair(std::string_view line) {
  AnglePairParse out;
  auto fail = [&](const char* axis, std::size_t at, const std::string& why) {
    out.error = std::string("cannot read ") + axis + " value " + Excerpt(FieldAt(line, at)) +
                (why.empty() ? "" : ": " + why);
    out.x.reset();
    out.y.reset();
    return out;
  };
  const std::size_t xStart = SkipBlanks(line, 0);
  if (xStart == line.size() || IsSeparator(line[xStart])) {
    out.error = "missing x value";
    return out;
  }
  AngleParse x = ReadAngle(line, xStart, AngleScope::Full);
  // Blank-separated numbers without letters: read the line as two decimal numbers.
  if (!x.angle && x.error == kAmbiguous) x = ReadAngle(line, xStart, AngleScope::Field);
  if (!x.angle) {
    // A line of one field lacks its y value, whatever that field holds.
    std::size_t next = xStart + FieldAt(line, xStart).size();
    while (next < line.size() && IsSeparator(line[next])) ++next;
    if (next == line.size()) {
      out.error = "missing y value";
      return out;
    }
    return fail("x", xStart, x.error);
  }
  out.x = x.angle;
  out.xText = line.substr(xStart, x.end - xStart);

  std::size_t i = SkipBlanks(line, x.end);
  if (i < line.size() && (line[i] == ',' || line[i] == ';')) i = SkipBlanks(line, i + 1);
  if (i == line.size() || IsSeparator(line[i])) {
    out.x.reset();
    out.error = "missing y value";
    return out;
  }
  out.separator = line.substr(x.end, i - x.end);
  const bool written = x.angle->hemisphere != 0 || x.angle->sexagesimal;
  const AngleParse y = ReadAngle(line, i, written ? AngleScope::Full : AngleScope::Field);
  if (!y.angle) return fail("y", i, y.error);
  out.y = y.angle;
  out.yText = line.substr(i, y.end - i);

  if (!written && y.angle->hemisphere == 0 && !y.angle->sexagesimal) {
    // "-84 52 23.88 ..." has the shape of one unlettered angle: whole degrees, a number that
    // could be minutes, then more numbers. Reading it as longitude -84, latitude 52 would be a
    // silent guess.
    const bool wholeDegrees = out.xText.find_first_of(".eE") == std::string_view::npos;
    const double minutes = y.angle->degrees;
    const std::size_t next = SkipBlanks(line, y.end);
    // A comma between the first two numbers separates columns (or is a decimal comma), which
    // the blank-separated degrees-minutes-seconds shape never has.
    const bool blankSeparated = out.separator.find(',') == std::string_view::npos;
    if (blankSeparated && wholeDegrees && minutes >= 0.0 && minutes < 60.0 && next > y.end &&
        NumberStarts(line, next)) {
      out.x.reset();
      out.y.reset();
      out.error = "ambiguous coordinates " + Excerpt(line.substr(xStart)) + ": " + kAmbiguous +
                  "; write decimal degrees with a decimal point to keep further numbers as columns";
      return out;
    }
  }
  out.rest = (SkipBlanks(line, y.end) == line.size()) ? std::string_view() : line.substr(y.end);
  return out;
}

char* FormatDms(char* out, double degrees, bool longitude, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > kMaxDmsDecimals) decimals = kMaxDmsDecimals;
  const double v = std::fabs(degrees);
  if (!(v < kMaxDmsDegrees)) {
    *out = '?';
    return out + 1;
  }
  double d = std::floor(v);
  const double minutesTotal = (v - d) * 60.0;
  double m = std::floor(minutesTotal);
  const double s = (minutesTotal - m) * 60.0;
  char seconds[40];
  auto [end, ec] = std::to_chars(seconds, seconds + sizeof seconds, s, std::chars_format::fixed,
                                 decimals);
  if (ec != std::errc()) {
    *out = '?';
    return out + 1;
  }
  std::string_view secondsText(seconds, static_cast<std::size_t>(end - seconds));
  // Rounding may reach 60 seconds: carry into the minutes and the degrees.
  if (secondsText.substr(0, 2) == "60" && (secondsText.size() == 2 || secondsText[2] == '.')) {
    seconds[0] = '0';
    seconds[1] = '0';
    m += 1.0;
    if (m >= 60.0) {
      m = 0.0;
      d += 1.0;
    }
  }
  const bool zero = d == 0.0 && m == 0.0 &&
                    secondsText.find_first_not_of("0.") == std::string_view::npos;
  const bool negative = degrees < 0.0 && !zero;
  char* p = out;
  auto [dEnd, dEc] = std::to_chars(p, p + 10, static_cast<long>(d));
  (void)dEc;
  p = dEnd;
  std::memcpy(p, "\xC2\xB0", 2);
  p += 2;
  const int mi = static_cast<int>(m);
  *p++ = static_cast<char>('0' + mi / 10);
  *p++ = static_cast<char>('0' + mi % 10);
  std::memcpy(p, "\xE2\x80\xB2", 3);
  p += 3;
  const std::size_t intDigits = secondsText.find('.') == std::string_view::npos
                                    ? secondsText.size()
                                    : secondsText.find('.');
  if (intDigits < 2) *p++ = '0';
  std::memcpy(p, seconds, secondsText.size());
  p += secondsText.size();
  std::memcpy(p, "\xE2\x80\xB3", 3);
  p += 3;
  *p++ = longitude ? (negative ? 'W' : 'E') : (negative ? 'S' : 'N');
  return p;
}

}  // namespace lantrel
