#include "platform/dir_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace tp {
namespace {

char FoldCase(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// NTFS orders names by their upper-case form, so "_" and "[" come after the
// letters ("ab" before "a_b"); folding to lower case would put them first.
unsigned char OrderKey(char c) {
    return static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = OrderKey(a[i]);
        const unsigned char y = OrderKey(b[i]);
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    // Iterative glob with backtracking to the last "*": linear in practice.
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<std::string> ListFiles(const std::string& folder, std::string_view pattern) {
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec);
    if (ec) return names;
    // Stepping with an error code: a folder that fails mid-listing yields what
    // was listed so far instead of an exception.
    for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        std::string name = it->path().filename().string();
        if (WildcardMatch(pattern, name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

}  // namespace tp
