// Values written so that the settings file gives them back exactly.
#pragma once

#include <string>
#include <string_view>

namespace tp {

// The INI reader trims blanks from both ends of a value and drops one pair of
// matching quotes around it. A value that would lose something that way is
// written inside double quotes, which the reader removes again; any other
// value is written as it is.
std::string QuoteIniValue(std::string_view value);

}  // namespace tp
