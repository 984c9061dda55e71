// The three code lists of the main window (area codes, city codes, exchange
// rates): reading their files, taking a code from an entry, adding and removing
// codes in the comma-separated list fields, and place names for the weather cards.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tp {

enum class CodeListKind { Area, City, Rate };

// "areacode.ini", "citycode.ini" or "xrates.ini".
const char* CodeListFileName(CodeListKind kind);

// Entries of a code file's text: the lines in file order, empty lines skipped.
std::vector<std::string> SplitCodeListText(std::string_view text);

// Entries of the kind's file in the configuration folder; no entries when it
// cannot be read (no message: a missing list is simply empty).
std::vector<std::string> ReadCodeList(CodeListKind kind);

// The code list editor shows every "~" of a file as a line break, as the
// lists have always been edited; a line break comes back as a line feed.
// Editor text from a file's text: each "~" becomes a line feed.
std::string CodeListTextForEditor(std::string_view fileText);
// File text from the editor's text: each CR LF pair and each "~" becomes a line feed.
std::string CodeListTextFromEditor(std::string_view editedText);

// Longest code file the editor works on, in characters: what one read takes.
inline constexpr std::size_t kCodeFileMax = 81919;

// The kind's file text for the editor (empty when the file does not exist yet:
// OK then creates it). False, with the reason in g_lastError, when the file
// exists but cannot be read, or is longer than kCodeFileMax: writing back what
// was read would cut it.
bool ReadCodeFileForEditor(CodeListKind kind, std::string& fileText);

// Replaces the kind's file with fileText, atomically. False, with the reason in
// g_lastError and the file as it was, when the text is longer than kCodeFileMax
// or the file cannot be written.
bool WriteCodeFile(CodeListKind kind, std::string_view fileText);

// The entries of all three files, read once per use.
struct CodeLists {
    std::vector<std::string> area;
    std::vector<std::string> city;
    std::vector<std::string> rate;
};
CodeLists ReadCodeLists();

// The code that "+" and "-" take from an entry: the first 5 characters of an
// area entry, the text before the first " -" of a city entry (empty without
// one), the whole rate entry.
std::string CodeOfEntry(CodeListKind kind, std::string_view entry);

// Longest list field the settings file keeps for the kind, in characters.
std::size_t CodeFieldMax(CodeListKind kind);

// Removes the first item of the comma-separated field equal to code, with one
// neighbouring ",". False (field unchanged) when code is empty.
bool RemoveCodeFromField(std::string& field, std::string_view code);

// Moves code to the end of the field (listed once). False, field unchanged,
// when code is empty or the field would grow past maxLength characters.
bool AddCodeToField(std::string& field, std::string_view code, std::size_t maxLength);

// Place name of a ZIP code from the area entries ("12345 - Springfield" gives
// " Springfield"), or the empty text when no entry matches.
std::string LookUpAreaName(const std::vector<std::string>& areaEntries, std::string_view zip);

// Place name of a city code from the city entries ("FRXX0076 - Paris" gives
// "Paris"), or the empty text when no entry matches.
std::string LookUpCityName(const std::vector<std::string>& cityEntries, std::string_view cityCode);

}  // namespace tp
