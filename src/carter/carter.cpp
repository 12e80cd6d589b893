// zrCarter: the parts of one Carter location, their validation and the block geometry derived
// from them. Every successful write marks the object changed; a failed write changes nothing.
#include "lantrel/carter.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include "carter/carter_access.hpp"
#include "carter/section_numbering.hpp"
#include "core/raise.hpp"

namespace lantrel {

namespace {

constexpr double kBlockSize = 0.08333333333333333;  // 5' in degrees
constexpr double kGridSouth = 36.5;                  // south line of row "A"
constexpr double kGridWest = 89.58333333333333;      // west line of column 0, west-positive
constexpr std::int32_t kLastRow = 33;                // "HH"
constexpr std::int32_t kLastColumn = 92;
constexpr char kDigitZero = '0';

std::string Source(const char* member) {
  return std::string(detail::kCarterSource) + member + ":";
}

std::string ToUpperAscii(std::string_view text) {
  std::string u(text);
  for (char& ch : u) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
  return u;
}

double BlockSouthOf(std::int32_t row) { return row * kBlockSize + kGridSouth; }
double BlockWestOf(std::int32_t column) { return kGridWest - column * kBlockSize; }

/// The row letter of index k (0..33): "A".."Z", then "AA".."HH".
std::string RowLetter(std::int32_t k) {
  if (k < 26) return std::string(1, static_cast<char>(65 + k));
  return std::string(2, static_cast<char>(39 + k));
}

bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\n'; }
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

/// The decimal number a text begins with, read the way a BASIC Val reads it: blanks are skipped
/// wherever they stand, a sign, digits, one decimal point and an exponent ("E" with optional
/// sign and digits) are understood, and reading stops at the first character that cannot
/// continue the number. A text without digits reads 0. A value beyond the double range raises
/// the overflow error; one too small for it reads 0.
double LeadingNumber(std::string_view text) {
  std::string number;  // the accepted characters, blanks removed
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto skipBlanks = [&](std::size_t& at) {
    while (at < n && IsBlank(text[at])) ++at;
  };

  skipBlanks(i);
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') number += '-';
    ++i;
  }
  bool digits = false;
  bool point = false;
  bool nonzero = false;
  std::int64_t integerDigits = 0;    // mantissa digits before the point, leading zeros dropped
  std::int64_t fractionZeros = 0;    // zeros after the point before the first nonzero digit
  for (;;) {
    skipBlanks(i);
    if (i >= n) break;
    const char ch = text[i];
    if (IsDigit(ch)) {
      digits = true;
      if (ch != '0') nonzero = true;
      if (!point && nonzero) ++integerDigits;
      if (point && !nonzero) ++fractionZeros;
      number += ch;
      ++i;
    } else if (ch == '.' && !point) {
      point = true;
      number += ch;
      ++i;
    } else {
      break;
    }
  }
  if (!digits) return 0.0;
  // Decimal exponent of the first nonzero mantissa digit, to tell overflow from underflow.
  const std::int64_t leadingExponent =
      integerDigits > 0 ? integerDigits - 1 : -(fractionZeros + 1);

  // Exponent: taken only when at least one digit follows the marker (and its sign).
  std::int64_t exponent = 0;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    std::string part = "e";
    bool negative = false;
    skipBlanks(j);
    if (j < n && (text[j] == '+' || text[j] == '-')) {
      negative = text[j] == '-';
      if (negative) part += '-';
      ++j;
    }
    bool expDigits = false;
    for (;;) {
      skipBlanks(j);
      if (j >= n || !IsDigit(text[j])) break;
      expDigits = true;
      part += text[j];
      if (exponent < 1000000) exponent = exponent * 10 + (text[j] - '0');
      ++j;
    }
    if (expDigits) {
      number += part;
      if (negative) exponent = -exponent;
    } else {
      exponent = 0;
    }
  }
  if (!nonzero) return 0.0;

  double value = 0.0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    if (leadingExponent + exponent < 0) return 0.0;  // too small: reads as zero
    detail::RaiseRuntime(errc::Overflow);
  }
  if (ec != std::errc()) return 0.0;
  return value;
}

/// Rounds to the nearest whole number, halves to the even neighbour, and converts to a 32-bit
/// integer; a result outside the 32-bit range raises the overflow error.
std::int32_t RoundToInt32(double v) {
  const double lower = std::floor(v);
  const double fraction = v - lower;
  double r = lower;
  if (fraction > 0.5) {
    r = lower + 1.0;
  } else if (fraction == 0.5) {
    r = std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
  }
  if (!(r >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
        r <= static_cast<double>(std::numeric_limits<std::int32_t>::max()))) {
    detail::RaiseRuntime(errc::Overflow);
  }
  return static_cast<std::int32_t>(r);
}

/// The letter rule: "A".."Z" alone, or a doubled letter from "AA" to "GG"; any case.
bool LetterRule(const std::string& text) {
  if (text.empty()) detail::RaiseRuntime(errc::InvalidArgument);
  const std::string u = ToUpperAscii(text);
  const int a = static_cast<unsigned char>(u[0]);
  if (a < 'A' || a > 'Z') return false;
  if (u.size() == 1) return true;
  return u.size() == 2 && u[1] == u[0] && a <= 'G';
}

}  // namespace

zrCarter::zrCarter() = default;

void zrCarter::Clear() {
  fnl_ = 0.0;
  fsl_ = 0.0;
  fel_ = 0.0;
  fwl_ = 0.0;
  blockSouth_ = 0.0;
  blockWest_ = 0.0;
  fromNorth_ = false;
  fromEast_ = false;
  section_ = 0;
  number_ = 0;
  letter_.clear();
  changed_ = true;
}

std::string zrCarter::FNSL() const { return fromNorth_ ? "FNL" : "FSL"; }
std::string zrCarter::FEWL() const { return fromEast_ ? "FEL" : "FWL"; }

double zrCarter::FNL() const { return fnl_; }
void zrCarter::FNL(double value) {
  fnl_ = value;
  fsl_ = 0.0;
  fromNorth_ = true;
  changed_ = true;
}

double zrCarter::FSL() const { return fsl_; }
void zrCarter::FSL(double value) {
  fsl_ = value;
  fnl_ = 0.0;
  fromNorth_ = false;
  changed_ = true;
}

double zrCarter::FEL() const { return fel_; }
void zrCarter::FEL(double value) {
  fel_ = value;
  fwl_ = 0.0;
  fromEast_ = true;
  changed_ = true;
}

double zrCarter::FWL() const { return fwl_; }
void zrCarter::FWL(double value) {
  fwl_ = value;
  fel_ = 0.0;
  fromEast_ = false;
  changed_ = true;
}

std::int32_t zrCarter::Section() const { return section_; }
void zrCarter::Section(std::int32_t value) { StoreSection(value, "Section"); }
std::int32_t zrCarter::CellNumber() const { return section_; }
void zrCarter::CellNumber(std::int32_t value) { StoreSection(value, "CellNumber"); }

std::int32_t zrCarter::Number() const { return number_; }
void zrCarter::Number(std::int32_t value) { StoreNumber(value, "Number"); }
std::int32_t zrCarter::BlockNumber() const { return number_; }
void zrCarter::BlockNumber(std::int32_t value) { StoreNumber(value, "BlockNumber"); }

std::string zrCarter::Letter() const { return letter_; }
void zrCarter::Letter(const std::string& value) { StoreLetter(value, "Letter"); }
std::string zrCarter::BlockLetter() const { return letter_; }
void zrCarter::BlockLetter(const std::string& value) { StoreLetter(value, "BlockLetter"); }

bool zrCarter::IsLetter(const std::string& Letter) const { return LetterRule(Letter); }
bool zrCarter::IsBlockLetter(const std::string& BlockLetter) const {
  return LetterRule(BlockLetter);
}

void zrCarter::StoreSection(std::int32_t value, const char* member) {
  if (value < 1 || value > detail::kSectionsPerBlock) {
    throw Error(errc::InvalidCarterSection, Source(member),
                std::string("Invalid Carter ") + member + ": " + std::to_string(value));
  }
  changed_ = true;
  section_ = value;
}

void zrCarter::StoreNumber(std::int32_t value, const char* member) {
  if (value < 0 || value > kLastColumn) {
    throw Error(errc::InvalidCarterNumber, Source(member),
                std::string("Invalid Carter ") + member + ": " + std::to_string(value));
  }
  number_ = value;
  changed_ = true;
  blockWest_ = BlockWestOf(value);
}

void zrCarter::StoreLetter(const std::string& value, const char* member) {
  if (value.empty()) {
    throw Error(errc::InvalidCarterLetter, Source(member),
                std::string("Carter ") + member + " is null.");
  }
  auto invalid = [&]() {
    return Error(errc::InvalidCarterLetter, Source(member),
                 std::string("Invalid Carter ") + member + ": " + value);
  };
  const std::string u = ToUpperAscii(value);
  const int a = static_cast<unsigned char>(u[0]);
  std::int32_t k = 0;
  std::string letter;
  if (a == kDigitZero) {
    // Index form: the text is a row number.
    k = RoundToInt32(LeadingNumber(value));
    if (k < 0 || k > kLastRow) throw invalid();
    letter = RowLetter(k);
  } else {
    if (!LetterRule(value)) throw invalid();
    k = a - 65 + (u.size() == 2 ? 26 : 0);
    letter = u;
  }
  changed_ = true;
  letter_ = std::move(letter);
  blockSouth_ = BlockSouthOf(k);
}

namespace detail {

std::shared_ptr<zrCarter> CarterAccess::Create() {
  return std::shared_ptr<zrCarter>(new zrCarter());
}

double CarterAccess::SectionRow(std::int32_t i) {
  CheckIndex(i, kSectionsPerBlock);
  return kSectionNumbering.rowDegrees[static_cast<std::size_t>(i)];
}

double CarterAccess::SectionColumn(std::int32_t i) {
  CheckIndex(i, kSectionsPerBlock);
  return kSectionNumbering.columnDegrees[static_cast<std::size_t>(i)];
}

std::int32_t CarterAccess::SectionRowMinutes(std::int32_t i) {
  CheckIndex(i, kSectionsPerBlock);
  return kSectionNumbering.rowMinutes[static_cast<std::size_t>(i)];
}

std::int32_t CarterAccess::SectionColumnMinutes(std::int32_t i) {
  CheckIndex(i, kSectionsPerBlock);
  return kSectionNumbering.columnMinutes[static_cast<std::size_t>(i)];
}

double CarterAccess::SectionWest(const zrCarter& c) {
  return c.blockWest_ - SectionColumn(c.section_);
}

double CarterAccess::SectionSouth(const zrCarter& c) {
  return SectionRow(c.section_) + c.blockSouth_;
}

}  // namespace detail
}  // namespace lantrel
