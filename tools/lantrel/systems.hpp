// Coordinate systems as the tool names them: the library's system texts
// (lantrel/system_text.hpp), under the tool's namespace.
#pragma once

#include <string_view>

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
using lantrel::kCarterDefaultDatum;
using lantrel::LongName;
using lantrel::MemberName;
using lantrel::ParseSystem;
using lantrel::ShortName;
using lantrel::System;
using lantrel::SystemParse;

/// Whether a system text names the Carter projection without a datum, so that the datum is
/// kCarterDefaultDatum (the tool says so under -v).
inline bool IsBareCarter(std::string_view text) {
  const SystemParse parsed = ParseSystem(text);
  return parsed.system && parsed.system->IsCarter() && text.find('/') == std::string_view::npos;
}

/// The -v line for a bare Carter system.
inline constexpr std::string_view kBareCarterNote =
    "lantrel: 'carter' without a datum is carter/nad27, the state's definition of a Carter "
    "location (name carter/nad83 for the other)\n";

}  // namespace lantrel::cli
