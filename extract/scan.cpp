#include "extract/scan.h"

#include "app/globals.h"

#include <array>
#include <cstring>

namespace tp {
namespace {

// Replacement of every byte: markup characters become harmless punctuation and
// accented letters their plain letter, so a cleaned text can go into a page as is.
constexpr std::array<unsigned char, 256> MakeCleanTable() {
    std::array<unsigned char, 256> table{};
    for (unsigned i = 0; i < 256; ++i) table[i] = static_cast<unsigned char>(i);
    auto map = [&table](unsigned first, unsigned last, char to) {
        for (unsigned c = first; c <= last; ++c) table[c] = static_cast<unsigned char>(to);
    };
    // XML forbids control characters other than tab, line feed and carriage
    // return; the zero stays, as it ends the text.
    map(0x01, 0x08, ' ');
    map(0x0B, 0x0C, ' ');
    map(0x0E, 0x1F, ' ');
    map('"', '"', '\'');
    map('&', '&', '-');
    map('<', '<', '(');
    map('>', '>', ')');
    map(0xC9, 0xC9, 'E');
    map(0xD9, 0xDC, 'U');
    map(0xDD, 0xDD, 'Y');
    map(0xDF, 0xDF, 'b');
    map(0xE0, 0xE4, 'a');
    map(0xE6, 0xE6, 'a');
    map(0xE7, 0xE7, 'c');
    map(0xE8, 0xEB, 'e');
    map(0xEC, 0xEF, 'i');
    map(0xF1, 0xF1, 'n');
    map(0xF4, 0xF6, 'o');
    map(0xF9, 0xFC, 'u');
    map(0xFD, 0xFD, 'y');
    map(0xFF, 0xFF, 'y');
    return table;
}

constexpr std::array<unsigned char, 256> kCleanTable = MakeCleanTable();

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
    const char cleaned = static_cast<char>(kCleanTable[static_cast<unsigned char>(text[pos])]);
    text[pos] = cleaned;
    return cleaned;
}

std::string CleanText(std::string_view text) {
    std::string cleaned(text);
    for (char& c : cleaned) {
        // Outside the fetched text a zero byte is just another control character.
        c = c == '\0' ? ' ' : static_cast<char>(kCleanTable[static_cast<unsigned char>(c)]);
    }
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
