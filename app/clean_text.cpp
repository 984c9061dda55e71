#include "app/clean_text.h"

namespace tp {

std::string CleanText(std::string_view text) {
    std::string cleaned(text);
    for (char& c : cleaned) {
        // Outside the fetched text a zero byte is just another control character.
        c = c == '\0' ? ' ' : CleanByte(c);
    }
    return cleaned;
}

}  // namespace tp
