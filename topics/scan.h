// Scanning primitives shared by the topic extractors. They work on a text that
// ends with a zero byte (normally g_transferBuffer) and never read past it.
// A position handed in is at most the position of that zero, or kNotFound,
// which every primitive accepts (a miss, or kNotFound passed on). Every
// position handed back is at most the position of the zero, so chaining the
// primitives never walks off the text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tp {

inline constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// True when tag (byte for byte, case-sensitive) starts at text[pos]; an empty
// tag matches everywhere. Reaching the text's end before the tag's is a mismatch.
bool MatchTag(const char* text, std::size_t pos, std::string_view tag);

// First position at or after start where MatchTag holds, or kNotFound.
std::size_t FindTag(const char* text, std::size_t start, std::string_view tag);

// Position just after the first occurrence of tag at or after pos; on a miss,
// g_lastError = "HTML error: tag '<tag>' not found" and kNotFound.
std::size_t FindAfterTag(const char* text, std::size_t pos, std::string_view tag);

// The cleaned form of text[pos] (markup characters and accents replaced,
// control characters other than tab, line feed and carriage return blanked),
// written back into the text too. At the zero it stays the zero.
char CleanChar(char* text, std::size_t pos);

// A digit, or "-" when allowMinus.
bool IsNumberChar(char c, bool allowMinus);

// Shared walking conventions.
// Past blanks (32); with lineFeeds, past line feeds too.
std::size_t SkipBlanks(const char* text, std::size_t pos, bool lineFeeds = false);
// From a "[", past the next "]"; at the text's end when there is none.
std::size_t SkipLinkMarker(const char* text, std::size_t pos);
// To the next "]" (staying on one already there) and one past it; at the text's
// end when there is none.
std::size_t AnchorAfterBracket(const char* text, std::size_t pos);
// Forward by count characters, stopping on the terminating zero.
std::size_t StepForward(const char* text, std::size_t pos, std::size_t count);
// Position of the next line feed at or after pos, or of the terminating zero.
std::size_t EndOfLine(const char* text, std::size_t pos);

}  // namespace tp
