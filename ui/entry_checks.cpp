#include "ui/entry_checks.h"

#include <algorithm>

namespace tp {
namespace {

bool IsAsciiLetterOrDigit(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool IsSymbolCharacter(char c) { return IsAsciiLetterOrDigit(c) || std::string_view(".-^=,").find(c) != std::string_view::npos; }

// A code: at least one character, none of them blank.
bool IsCode(std::string_view code) {
    return !code.empty() && code.find_first_of(" \t") == std::string_view::npos;
}

bool IsWellFormed(CodeListKind kind, std::string_view line) {
    if (kind == CodeListKind::Rate) {
        const std::size_t slash = line.find('/');
        return slash != std::string_view::npos && IsCode(line.substr(0, slash)) &&
               IsCode(line.substr(slash + 1)) && line.find('/', slash + 1) == std::string_view::npos;
    }
    const std::size_t dash = line.find(" - ");
    if (dash == std::string_view::npos || line.find_first_not_of(' ', dash + 3) == std::string_view::npos) return false;
    const std::string_view code = line.substr(0, dash);
    if (kind == CodeListKind::Area) {
        return code.size() == 5 && std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
    }
    return IsCode(code);
}

}  // namespace

std::string RefusedSymbolCharacters(std::string_view symbols) {
    std::string refused;
    for (char c : symbols) {
        if (!IsSymbolCharacter(c) && refused.find(c) == std::string::npos) refused += c;
    }
    return refused;
}

std::size_t FirstMalformedCodeLine(CodeListKind kind, std::string_view text) {
    std::size_t number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && !IsWellFormed(kind, line)) return number;
    }
    return 0;
}

}  // namespace tp
