// The characters a page may hold: markup characters become harmless
// punctuation, accented letters their plain letter, and the control characters
// XML forbids a blank, so a cleaned text can go into a page as is.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tp {

namespace clean_text_detail {

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

inline constexpr std::array<unsigned char, 256> kCleanTable = MakeCleanTable();

}  // namespace clean_text_detail

// The cleaned form of one byte; the zero stays the zero. Inline, as the
// extractors clean fetched pages a character at a time.
inline char CleanByte(char c) {
    return static_cast<char>(clean_text_detail::kCleanTable[static_cast<unsigned char>(c)]);
}

// text with every character cleaned as CleanByte does, a zero byte becoming a
// blank: for texts from outside the program (settings, file names, fetched
// pieces copied whole) on their way into a page.
std::string CleanText(std::string_view text);

}  // namespace tp
