// CSV records (comma-separated, fields optionally in double quotes with "" for a quote).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lantrel::cli {

/// Splits one record into its fields as written (quotes included), so untouched fields can be
/// copied byte for byte. Returns false when a quoted field is still open at the end: the
/// record continues after a line break.
bool SplitCsv(std::string_view record, std::vector<std::string_view>& fields);

/// The value of a field as written: blanks around it dropped, quotes removed, "" turned into ".
std::string CsvValue(std::string_view raw);

/// Appends a value as a CSV field, quoted when it holds a comma, a quote, a line break or
/// leading or trailing blanks.
void AppendCsvField(std::string& out, std::string_view value);

}  // namespace lantrel::cli
