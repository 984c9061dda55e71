// The store of customizable web addresses and tags: section "Customization" of
// the settings file, keys "String%03i", falling back to the string resources.
// Nothing is cached: every call reads or writes the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tp {

// Longest text the store keeps, in characters.
inline constexpr std::size_t kCustomTextMax = 1023;

// The user's text for number (with each "~" turned back into a line feed), or
// the string resource when the key is missing or empty. Number 0: empty, no read.
std::string GetCustomString(int number);

// Texts that stand in for the stored ones on this thread while the object
// lives, without touching the settings file: a source is tried with the texts a
// window holds before they are saved. Nested overrides add to the outer ones.
class ScopedCustomTexts {
public:
    explicit ScopedCustomTexts(const std::vector<std::pair<int, std::string>>& texts);
    ~ScopedCustomTexts();
    ScopedCustomTexts(const ScopedCustomTexts&) = delete;
    ScopedCustomTexts& operator=(const ScopedCustomTexts&) = delete;

private:
    std::vector<std::pair<int, std::string>> saved_;
};

// Stores text under number (line feeds written as "~"); without a text, deletes
// the key so the default applies again. Number 0 stores nothing and succeeds.
// False, with the reason in g_lastError and nothing written, when the text is
// longer than kCustomTextMax characters or holds a carriage return (a settings
// value is one line), or when the file cannot be written.
bool SetCustomString(int number, std::optional<std::string_view> text);

// Whether SetCustomString would accept text for number; when not, false with
// the reason in g_lastError. Lets a caller check several texts before storing any.
bool CheckCustomText(int number, std::string_view text);

// address with its first "%s" replaced by parameter; unchanged without a
// parameter or without a "%s".
std::string InsertParameter(std::string_view address, std::optional<std::string_view> parameter);

// InsertParameter(GetCustomString(number), parameter).
std::string GetCustomUrl(int number, std::optional<std::string_view> parameter);

// Deletes the keys of numbers 100 to 299, restoring every default. False, with
// the reason in g_lastError, when some could not be deleted; the others are
// deleted all the same.
bool ResetCustomStrings();

}  // namespace tp
