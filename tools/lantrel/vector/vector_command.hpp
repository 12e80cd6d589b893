// The vector-file forms of convert and locate: lantrel convert --to DST [--from SRC] -o OUT IN
// and lantrel locate -o OUT IN.
#pragma once

#include "command_line.hpp"

namespace lantrel::cli {

int RunVectorConvert(const CommandLine& commandLine);
int RunVectorLocate(const CommandLine& commandLine);

}  // namespace lantrel::cli
