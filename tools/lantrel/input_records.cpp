#include "input_records.hpp"

#include <algorithm>

#include "command_line.hpp"
#include "lantrel/quoted_text.hpp"
#include "line_fields.hpp"

namespace lantrel::cli {

InputRecords::InputRecords(LineReader& in, const TextInputRules& rules, PointConverter& converter)
    : in_(in), rules_(rules), converter_(converter), csv_(in) {
  if (!rules_.csv) return;
  csv_.CommentsAllowed(true);
  if (rules_.delimiter) csv_.Delimiter(*rules_.delimiter);
  else csv_.SniffDelimiter(NamedDelimiter(in_.name()));
}

void InputRecords::ReadLine(std::string_view line, std::string_view ending, std::uint64_t number,
                            InputRecord& record) {
  record.line = number;
  record.text = line;
  record.ending = ending;
  record.fields = nullptr;
  record.damaged = false;
  record.separator = {};
  record.rest = {};
  record.error.clear();
  record.kind = Classify(line) == LineKind::Data ? InputRecord::Kind::Point : InputRecord::Kind::Other;
  record.placed = false;
  if (record.kind != InputRecord::Kind::Point) return;
  record.placed = converter_.PlaceLine(line, record.separator, record.rest);
  if (!record.placed) record.error = converter_.error();
}

bool InputRecords::Next(InputRecord& record) {
  if (!rules_.csv) {
    std::string_view line;
    if (!in_.Next(line)) return false;
    ReadLine(line, in_.outputEnding(), in_.lineNumber(), record);
    return true;
  }
  if (!csv_.Next(record_)) return false;
  record.line = record_.line;
  record.text = record_.text;
  record.ending = record_.ending;
  record.fields = &record_.fields;
  record.separator = {};
  record.rest = {};
  record.damaged = false;
  record.placed = false;
  record.error.clear();
  if (record_.kind != LineKind::Data) {
    record.kind = InputRecord::Kind::Other;
  } else if (!haveHeader_) {
    ReadHeader(record);
  } else {
    ReadCsvPoint(record);
  }
  return true;
}

void InputRecords::ReadHeader(InputRecord& record) {
  const std::string file = ShownName(in_.name());
  if (!record_.error.empty()) {
    throw UsageError(file + ":" + std::to_string(record_.line) + ": malformed CSV header: " + record_.error);
  }
  names_.clear();
  names_.reserve(record_.fields.size());
  for (const auto f : record_.fields) names_.push_back(CsvValue(f));
  std::string error;
  const auto found = FindCoordinateColumns(names_, rules_.columns, error, kNameColumnsHint);
  if (!found) throw UsageError(file + ": the CSV header has " + error);
  columns_ = *found;
  haveHeader_ = true;
  csv_.CommentsAllowed(false);
  record.kind = InputRecord::Kind::Header;
}

void InputRecords::ReadCsvPoint(InputRecord& record) {
  record.kind = InputRecord::Kind::Point;
  record.error = RecordDamage(record_, names_.size());
  if (!record.error.empty()) {
    record.damaged = true;
    return;
  }
  const std::vector<std::string_view>& fields = record_.fields;
  const std::size_t need = std::max(columns_.x, columns_.y.value_or(0)) + 1;
  if (fields.size() < need) {
    record.error = "the record has " + std::to_string(fields.size()) +
                   " fields, the coordinates need " + std::to_string(need);
    return;
  }
  if (!placeLater_) PlaceCsvPoint(fields.data(), record);
}

void InputRecords::PlaceCsvPoint(const std::string_view* fields, InputRecord& record) {
  record.placed = rules_.columns.carter
                      ? converter_.PlaceLocation(CsvValue(fields[columns_.x]))
                      : converter_.PlaceValues(CsvValue(fields[columns_.x]), CsvValue(fields[*columns_.y]));
  if (!record.placed) record.error = converter_.error();
}

}  // namespace lantrel::cli
