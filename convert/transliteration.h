// Characters that the Windows Latin-1 code page lacks, written in its letters:
// the closest Latin form of Latin letters with other accents (Turkish,
// Central European, Vietnamese), of Greek and Cyrillic letters, and ASCII for
// typographic signs, so that a word stays one readable word.
#pragma once

#include <string_view>

namespace tp {

// The Latin (Windows-1252) spelling of codePoint, or "" when it has none.
std::string_view Transliterated(char32_t codePoint);

}  // namespace tp
