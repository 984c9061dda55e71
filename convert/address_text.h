// Small text helpers shared by the conversion and the fetch of converted pages.
#pragma once

#include <string>
#include <string_view>

namespace tp {

// text without the ASCII white space (blank, tab, line feed, carriage return,
// form feed) at either end.
std::string TrimmedBlanks(std::string_view text);

// address with blanks, control characters, bytes beyond ASCII and each
// character of alsoEncoded written as "%XY", so that it can be sent and copied.
std::string PercentEncoded(std::string_view address, std::string_view alsoEncoded = {});

// The address of a link as the text shows it, href resolved against base
// (when both allow it): plain ASCII that can be copied, no "]" that would end
// its reference group early, and without the tabs and line breaks that
// browsers drop.
std::string LinkAddress(std::string_view href, const std::string& base);

}  // namespace tp
