// Help texts of the tool and its commands.
#pragma once

#include <string_view>

namespace lantrel::cli {

enum class HelpTopic { Main, Convert, Locate, Info, Systems, Map, Serve };

std::string_view HelpText(HelpTopic topic);
/// Writes the help text to standard output.
void PrintHelp(HelpTopic topic);

}  // namespace lantrel::cli
