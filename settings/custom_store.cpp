#include "settings/custom_store.h"

#include "app/globals.h"
#include "app/paths.h"
#include "app/text_format.h"
#include "resources/string_table.h"
#include "settings/ini_file.h"
#include "settings/ini_value.h"

#include <algorithm>

namespace tp {
namespace {

constexpr std::string_view kSection = "Customization";
// A line break is kept as "~" because an INI value is one line.
constexpr char kStoredLineBreak = '~';
constexpr int kFirstResettable = 100;
constexpr int kLastResettable = 299;

std::string KeyOf(int number) { return Format("String%03i", number); }

// The texts of the ScopedCustomTexts alive on this thread, innermost last.
thread_local std::vector<std::pair<int, std::string>> t_overrides;

const std::string* OverrideOf(int number) {
    for (auto it = t_overrides.rbegin(); it != t_overrides.rend(); ++it) {
        if (it->first == number) return &it->second;
    }
    return nullptr;
}

}  // namespace

ScopedCustomTexts::ScopedCustomTexts(const std::vector<std::pair<int, std::string>>& texts) {
    saved_.assign(t_overrides.begin(), t_overrides.end());
    t_overrides.insert(t_overrides.end(), texts.begin(), texts.end());
}

ScopedCustomTexts::~ScopedCustomTexts() { t_overrides = std::move(saved_); }

std::string GetCustomString(int number) {
    if (number <= 0) return {};
    // An empty text stands for the default, as it does once saved.
    if (const std::string* text = OverrideOf(number)) {
        return text->empty() ? std::string(LoadStringResource(number)) : *text;
    }
    std::string value = ini::GetString(GetIniPath(), kSection, KeyOf(number), "", kCustomTextMax + 1);
    if (value.empty()) return std::string(LoadStringResource(number));
    std::replace(value.begin(), value.end(), kStoredLineBreak, '\n');
    return value;
}

bool CheckCustomText(int number, std::string_view text) {
    if (number < 0) {
        SetLastErrorF("Customization error: invalid text number %i", number);
        return false;
    }
    if (text.size() > kCustomTextMax) {
        SetLastErrorF("Customization error: text %i is %zu characters long, at most %zu can be stored",
                      number, text.size(), kCustomTextMax);
        return false;
    }
    if (text.find('\r') != std::string_view::npos) {
        SetLastErrorF("Customization error: text %i holds a carriage return, which cannot be stored",
                      number);
        return false;
    }
    return true;
}

bool SetCustomString(int number, std::optional<std::string_view> text) {
    if (number == 0) return true;  // "no tag": nothing is ever stored for it
    if (number < 0) return CheckCustomText(number, {});
    const std::string path = GetIniPath();
    const std::string key = KeyOf(number);
    if (!text) {
        if (ini::DeleteKey(path, kSection, key)) return true;
        SetLastErrorF("File error: cannot update '%s'", path.c_str());
        return false;
    }
    if (!CheckCustomText(number, *text)) return false;
    std::string stored(*text);
    std::replace(stored.begin(), stored.end(), '\n', kStoredLineBreak);
    if (ini::WriteString(path, kSection, key, QuoteIniValue(stored))) return true;
    SetLastErrorF("File error: cannot update '%s'", path.c_str());
    return false;
}

std::string InsertParameter(std::string_view address, std::optional<std::string_view> parameter) {
    std::string result(address);
    if (!parameter) return result;
    const std::size_t marker = result.find("%s");
    if (marker == std::string::npos) return result;
    result.replace(marker, 2, *parameter);
    return result;
}

std::string GetCustomUrl(int number, std::optional<std::string_view> parameter) {
    return InsertParameter(GetCustomString(number), parameter);
}

bool ResetCustomStrings() {
    const std::string path = GetIniPath();
    bool allDeleted = true;
    for (int number = kFirstResettable; number <= kLastResettable; ++number) {
        allDeleted = ini::DeleteKey(path, kSection, KeyOf(number)) && allDeleted;
    }
    if (!allDeleted) SetLastErrorF("File error: cannot update '%s'", path.c_str());
    return allDeleted;
}

}  // namespace tp
