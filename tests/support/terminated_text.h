// A fetched text for the extractors in tests: exactly as long as the text plus
// its zero, so a walk past the end is caught by the address sanitizer.
#pragma once

#include <string_view>
#include <vector>

namespace tp::test {

inline std::vector<char> Terminated(std::string_view text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return buffer;
}

}  // namespace tp::test
