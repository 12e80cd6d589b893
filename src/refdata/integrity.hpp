// Consistency checks of a decoded reference data file.
//
// A file without a checksum (refdata/checksum.hpp) can only be told damaged by contents that
// no sound file holds. Each check below is a rule every sound file keeps, so none refuses a file that
// loads and answers correctly:
//   - every state and county record's vertex positions lie in the vertex-number list, first
//     not after last, and every vertex number it uses lies in the vertex list;
//   - every such record's box encloses every vertex of its outline;
//   - every quadrangle's rectangle has XMin < XMax and YMin < YMax;
//   - every county code lies in 0..239, the range of the county zone table;
//   - no name or text holds a control character (C0 or DEL).
// Open outlines, boxes wider than their outlines, and fewer than two state records are not
// faults of the file (lookups report what such data implies), so they are not refused here.
#pragma once

#include <string>

#include "refdata/reference_data.hpp"

namespace lantrel::detail {

/// Raises error 321 ("Invalid file format") naming the file, the record and the broken rule
/// when `data` breaks one of the rules above.
void CheckIntegrity(const ReferenceData& data, const std::string& fileName);

}  // namespace lantrel::detail
