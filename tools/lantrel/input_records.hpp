// The records of one text input, as convert, locate and map read them: plain lines (x and y,
// then the rest of the line) or CSV records under a header that names the coordinate
// columns. Each data record's point is put into the command's converter; the command writes
// what the record becomes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "csv.hpp"
#include "io.hpp"
#include "lantrel/coordinate_columns.hpp"
#include "point_converter.hpp"

namespace lantrel::cli {

/// How a text input is read.
struct TextInputRules {
  bool csv = false;
  std::optional<char> delimiter;  // CSV: --delimiter; without it the header line decides
  ColumnRequest columns;          // CSV: the columns named, and whether they hold Carter text
};

struct InputRecord {
  enum class Kind {
    Other,   // a blank or comment line (in CSV, before the header only), copied as it is
    Header,  // the CSV header; the reader's names() and columns() now describe it
    Point,   // a data record
  };
  Kind kind = Kind::Other;
  std::uint64_t line = 0;    // number of its (first) line
  std::string_view text;     // as written, without its line end
  std::string_view ending;   // the line end to write after its output
  // Plain lines: what surrounds the pair, copied into the output.
  std::string_view separator;
  std::string_view rest;
  // CSV: the fields as written (valid until the next call).
  const std::vector<std::string_view>* fields = nullptr;
  bool damaged = false;  // CSV: the fields do not fit the header (which is which is unknown)
  bool placed = false;   // Point: the converter holds its point; else error says why
  std::string error;
};

class InputRecords {
 public:
  InputRecords(LineReader& in, const TextInputRules& rules, PointConverter& converter);

  /// The next record; false at the end. A CSV header that is malformed or names no
  /// coordinates raises UsageError naming the file.
  bool Next(InputRecord& record);
  /// Reads one plain line as Next does (for callers that gather lines themselves).
  void ReadLine(std::string_view line, std::string_view ending, std::uint64_t number,
                InputRecord& record);

  /// CSV: while on, Next leaves a data record's point unplaced (placed false, error empty
  /// where the record fits the header), for callers that read the coordinates of many
  /// records themselves and place only the ones they cannot convert (PlaceCsvPoint).
  void PlaceLater(bool on) { placeLater_ = on; }
  /// CSV: places the point of a data record of the current header from its fields, as Next
  /// does; sets record.placed and record.error.
  void PlaceCsvPoint(const std::string_view* fields, InputRecord& record);

  /// CSV: the header's column names, the coordinate columns and the delimiter.
  const std::vector<std::string>& names() const { return names_; }
  const CoordinateColumns& columns() const { return columns_; }
  char delimiter() const { return csv_.delimiter(); }

 private:
  void ReadHeader(InputRecord& record);
  void ReadCsvPoint(InputRecord& record);

  LineReader& in_;
  const TextInputRules& rules_;
  PointConverter& converter_;
  CsvReader csv_;
  CsvRecord record_;
  bool haveHeader_ = false;
  bool placeLater_ = false;
  std::vector<std::string> names_;
  CoordinateColumns columns_;
};

}  // namespace lantrel::cli
