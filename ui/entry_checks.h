// Checks of what the user types, made where it is typed: stock symbols as
// quote services write them, and the lines of the code list files. Plain text
// in, no widgets.
#pragma once

#include "settings/code_lists.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tp {

// The characters of a "List of symbols :" text that no quote service uses in a
// symbol (anything but letters A to Z, digits, ".", "-", "^", "=" and the ","
// between symbols), each once, in the order they first appear; "" when none.
std::string RefusedSymbolCharacters(std::string_view symbols);

// The number (from 1) of the first non-empty line of a code file's text that
// is not of its kind's form, 0 when all are: area codes "12345 - City name",
// city codes "CODE - City name" (a code without blanks), exchange rates
// "XXX/YYY" (two symbols without blanks).
std::size_t FirstMalformedCodeLine(CodeListKind kind, std::string_view text);

}  // namespace tp
