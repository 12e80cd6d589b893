// Carter location strings as the tool reads them: the library's reader
// (lantrel/carter_text.hpp), under the tool's namespace.
#pragma once

#include "lantrel/carter_text.hpp"

namespace lantrel::cli {

using lantrel::CarterParse;
using lantrel::CarterText;
using lantrel::LetterForLibrary;
using lantrel::ParseCarter;
using lantrel::StoreCarterText;

}  // namespace lantrel::cli
