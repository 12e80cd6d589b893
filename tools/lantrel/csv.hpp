// CSV records (fields separated by a comma, semicolon, tab or bar, optionally in double quotes
// with "" for a quote).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io.hpp"
#include "line_fields.hpp"

namespace lantrel::cli {

/// How far a record's text makes up whole CSV fields.
enum class CsvSplit {
  Complete,   // every field is whole
  Open,       // a quoted field is still open at the end: the record goes on after a line break
  Malformed,  // a quote inside an unquoted field, or text after a closing quote
};

/// The field separators read and written: comma, semicolon, tab and bar.
inline constexpr std::string_view kCsvDelimiters = ",;\t|";

/// Splits one record into its fields as written (quotes and surrounding blanks included), so
/// untouched fields can be copied byte for byte. A field is quoted when its first non-blank
/// character is a quote; after the closing quote only blanks may follow before the delimiter.
/// Blanks are spaces and tabs, spaces only when the delimiter is a tab.
/// On Malformed, problem (when given) receives a short description naming the field.
CsvSplit SplitCsvRecord(std::string_view record, std::vector<std::string_view>& fields,
                        std::string* problem = nullptr, char delimiter = ',');

/// SplitCsvRecord(...) == CsvSplit::Complete.
bool SplitCsv(std::string_view record, std::vector<std::string_view>& fields, char delimiter = ',');

/// The delimiter a header line uses: of comma, semicolon, tab and bar, the one found most
/// often outside quotes. On a tie (a header of one column, say) `preferred` when it is among
/// the most frequent, else the first of them in that order.
char SniffDelimiter(std::string_view header, char preferred = ',');

/// The delimiter given to --delimiter: one of , ; | or a tab (also written "tab" or "\t");
/// nothing for anything else.
std::optional<char> ParseDelimiter(std::string_view text);

/// The value of a field as written: blanks around it dropped, quotes removed, "" turned into ".
std::string CsvValue(std::string_view raw);

/// Appends a value as a CSV field, quoted when it holds the delimiter, a quote, a line break
/// or leading or trailing blanks.
void AppendCsvField(std::string& out, std::string_view value, char delimiter = ',');

/// Whether every input is a file named *.csv or *.tsv (any case): such inputs are read as CSV
/// without --csv, since a header read as a point would fail every line. Standard input never is.
bool NamedCsv(const std::vector<std::string>& files);

/// The delimiter a file's name suggests: a tab for *.tsv (any case), else a comma.
char NamedDelimiter(std::string_view file);

/// One record as CsvReader hands it out. The views stay valid until the next call.
struct CsvRecord {
  std::uint64_t line = 0;   // number of its first line
  std::uint64_t lines = 0;  // lines it spans (a quoted field may hold line breaks)
  LineKind kind = LineKind::Data;  // Blank and Comment records are one line, not split
  std::string_view text;    // the record as written, inner line ends included, without its end
  std::string_view ending;  // the line end to write after the record's output
  std::vector<std::string_view> fields;  // Data: its fields as written
  std::string error;  // non-empty when the quoting is malformed; fields are then empty
};

/// Why a record cannot be matched to a header of `columns` columns: its quoting is malformed,
/// or it has more fields than the header (which of its values belongs to which column is then
/// unknown). Empty when it fits; a record with fewer fields is the caller's to judge.
std::string RecordDamage(const CsvRecord& record, std::size_t columns);

/// Appends a record of `columns` empty fields: delimiters only, or "" for a single column,
/// since an empty line is no record to most CSV readers.
void EmptyCsvRecord(std::string& out, std::size_t columns, char delimiter);

/// Reads CSV records from a line reader.
///
/// Framing rules, which decide where reading goes on after a damaged record:
/// - A record that is well-formed CSV is taken whole, over as many lines as its quoted
///   fields span (at most kMaxRecordLines lines). Problems with its values are the caller's.
/// - A record whose quoting is malformed — a quote inside an unquoted field, text after a
///   closing quote, or a quoted field not closed by the end of the input or within
///   kMaxRecordLines lines — is returned with `error` set and its first line only as
///   `text`; reading resumes at the line after that first line. A stray quote therefore
///   costs exactly one record, and the lines it would have swallowed are read as records of
///   their own.
/// Line ends inside quoted fields are kept as they were in the input.
class CsvReader {
 public:
  static constexpr std::uint64_t kMaxRecordLines = 256;

  explicit CsvReader(LineReader& in) : in_(in) {}

  /// While on (until the header is read), a line whose first non-blank character is '#'
  /// is returned as a Comment record instead of being split.
  void CommentsAllowed(bool on) { comments_ = on; }

  /// The delimiter records are split at (a comma unless set).
  void Delimiter(char d) {
    delimiter_ = d;
    sniff_ = false;
  }
  /// The first data line (the header) chooses the delimiter by SniffDelimiter.
  void SniffDelimiter(char preferred) {
    delimiter_ = preferred;
    sniff_ = true;
  }
  char delimiter() const { return delimiter_; }

  /// The next record; false at the end of the input.
  bool Next(CsvRecord& record);

 private:
  struct HeldLine {
    std::string text;
    std::string_view ending;  // a static string (the reader's line-end constants)
    std::string_view outputEnding;
  };
  bool NextLine(std::string_view& line, std::string_view& ending, std::string_view& outputEnding);

  LineReader& in_;
  bool comments_ = false;
  bool sniff_ = false;
  char delimiter_ = ',';
  std::uint64_t lineNumber_ = 0;
  std::deque<HeldLine> held_;  // lines to read again after a malformed record
  std::string current_;        // the held line being handed out
  std::string record_;         // a record gathered over several lines
  std::vector<HeldLine> gathered_;
};

}  // namespace lantrel::cli
