#include "topics/scan.h"

#include "app/clean_text.h"
#include "app/globals.h"

#include <cstring>

namespace tp {
namespace {

// Position of the next c at or after pos, or of the terminating zero.
std::size_t NextOrEnd(const char* text, std::size_t pos, char c) {
    const char* start = text + pos;
    const char* found = std::strchr(start, c);
    if (!found) found = start + std::strlen(start);
    return pos + static_cast<std::size_t>(found - start);
}

}  // namespace

bool MatchTag(const char* text, std::size_t pos, std::string_view tag) {
    if (tag.empty()) return true;
    if (pos == kNotFound) return false;
    const char* at = text + pos;
    for (std::size_t i = 0; i < tag.size(); ++i) {
        // The text's zero ends the comparison before anything past it is read.
        if (at[i] == '\0' || at[i] != tag[i]) return false;
    }
    return true;
}

std::size_t FindTag(const char* text, std::size_t start, std::string_view tag) {
    if (start == kNotFound) return kNotFound;
    if (tag.empty()) return start;
    // A tag starting with a zero byte never matches: the only zero is the end.
    if (tag[0] == '\0') return kNotFound;
    // Jump between occurrences of the tag's first byte; strchr stops at the zero.
    const char* at = std::strchr(text + start, tag[0]);
    while (at) {
        const std::size_t pos = static_cast<std::size_t>(at - text);
        if (MatchTag(text, pos, tag)) return pos;
        at = std::strchr(at + 1, tag[0]);
    }
    return kNotFound;
}

std::size_t FindAfterTag(const char* text, std::size_t pos, std::string_view tag) {
    const std::size_t found = FindTag(text, pos, tag);
    if (found == kNotFound) {
        // The tag is the user's text: it is inserted, never used as a format.
        std::string message = "HTML error: tag '";
        message.append(tag);
        message += "' not found";
        SetLastError(message);
        return kNotFound;
    }
    return found + tag.size();
}

char CleanChar(char* text, std::size_t pos) {
    if (pos == kNotFound) return '\0';
    const char cleaned = CleanByte(text[pos]);
    text[pos] = cleaned;
    return cleaned;
}

bool IsNumberChar(char c, bool allowMinus) {
    return (c >= '0' && c <= '9') || (allowMinus && c == '-');
}

std::size_t SkipBlanks(const char* text, std::size_t pos, bool lineFeeds) {
    if (pos == kNotFound) return kNotFound;
    while (text[pos] == ' ' || (lineFeeds && text[pos] == '\n')) ++pos;
    return pos;
}

std::size_t SkipLinkMarker(const char* text, std::size_t pos) {
    if (pos == kNotFound) return kNotFound;
    if (text[pos] == '\0') return pos;
    return AnchorAfterBracket(text, pos + 1);
}

std::size_t AnchorAfterBracket(const char* text, std::size_t pos) {
    if (pos == kNotFound) return kNotFound;
    pos = NextOrEnd(text, pos, ']');
    return text[pos] == ']' ? pos + 1 : pos;
}

std::size_t EndOfLine(const char* text, std::size_t pos) {
    if (pos == kNotFound) return kNotFound;
    return NextOrEnd(text, pos, '\n');
}

std::size_t StepForward(const char* text, std::size_t pos, std::size_t count) {
    if (pos == kNotFound) return kNotFound;
    while (count > 0 && text[pos] != '\0') {
        ++pos;
        --count;
    }
    return pos;
}

}  // namespace tp
