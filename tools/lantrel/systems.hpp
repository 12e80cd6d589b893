// Coordinate systems as the tool names them: the library's system texts
// (lantrel/system_text.hpp), under the tool's namespace.
#pragma once

#include "lantrel/system_text.hpp"

namespace lantrel::cli {

using lantrel::Canonical;
using lantrel::DefaultUnits;
using lantrel::Describe;
using lantrel::EpsgEntries;
using lantrel::EpsgEntry;
using lantrel::EpsgOf;
using lantrel::EpsgTable;
using lantrel::EqualsIgnoreCase;
using lantrel::LongName;
using lantrel::MemberName;
using lantrel::ParseSystem;
using lantrel::ShortName;
using lantrel::System;
using lantrel::SystemParse;

}  // namespace lantrel::cli
