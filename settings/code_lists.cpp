#include "settings/code_lists.h"

#include "app/globals.h"
#include "app/paths.h"
#include "app/whole_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tp {

namespace {

// The area code of an entry is a 5-digit ZIP code at its start.
constexpr std::size_t kZipLength = 5;
// "12345 - Springfield": the name keeps the blank after " -".
constexpr std::size_t kAreaNameStart = 7;
// Settings keep at most 119 characters of "ZIP" and "CityCode", and 51,199 of
// "XRate".
constexpr std::size_t kCodeFieldMax = 119;
constexpr std::size_t kRateFieldMax = 51199;

std::string_view Prefix(std::string_view text, std::size_t length) {
    return text.substr(0, length);
}

std::string_view TailFrom(std::string_view text, std::size_t start) {
    return start < text.size() ? text.substr(start) : std::string_view();
}

}  // namespace

const char* CodeListFileName(CodeListKind kind) {
    switch (kind) {
        case CodeListKind::Area:
            return "areacode.ini";
        case CodeListKind::City:
            return "citycode.ini";
        case CodeListKind::Rate:
            break;
    }
    return "xrates.ini";
}

std::vector<std::string> SplitCodeListText(std::string_view text) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) entries.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

std::vector<std::string> ReadCodeList(CodeListKind kind) {
    // A missing list is not an error the user hears about: keep the last
    // failure's text as it was.
    const std::string previousError = g_lastError;
    std::string text;
    const bool read = ReadWholeFile(CodeListFileName(kind), text, kTransferCapacity, true);
    g_lastError = previousError;
    if (!read) return {};
    return SplitCodeListText(text);
}

std::string CodeListTextForEditor(std::string_view fileText) {
    std::string text(fileText);
    std::replace(text.begin(), text.end(), '~', '\n');
    return text;
}

std::string CodeListTextFromEditor(std::string_view editedText) {
    std::string text;
    text.reserve(editedText.size());
    for (std::size_t i = 0; i < editedText.size(); ++i) {
        const char c = editedText[i];
        if (c == '\r' && i + 1 < editedText.size() && editedText[i + 1] == '\n') continue;
        text.push_back(c == '~' ? '\n' : c);
    }
    return text;
}

static_assert(kCodeFileMax == kTransferCapacity - 1, "the editor takes what one read of a code file takes");

bool ReadCodeFileForEditor(CodeListKind kind, std::string& fileText) {
    fileText.clear();
    const char* name = CodeListFileName(kind);
    const std::string path = GetCfgFolder() + name;
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error) return true;
    // One character more than the editor keeps tells a file that would be cut.
    if (!ReadWholeFile(name, fileText, kCodeFileMax + 2, true)) return false;
    if (fileText.size() > kCodeFileMax) {
        fileText.clear();
        SetLastErrorF("The file '%s' is longer than %zu characters and cannot be edited here without "
                      "cutting it; edit it with a text editor.",
                      path.c_str(), kCodeFileMax);
        return false;
    }
    return true;
}

bool WriteCodeFile(CodeListKind kind, std::string_view fileText) {
    if (fileText.size() > kCodeFileMax) {
        SetLastErrorF("The list is %zu characters long; at most %zu can be kept.", fileText.size(),
                      kCodeFileMax);
        return false;
    }
    return WriteWholeFile(CodeListFileName(kind), fileText, true);
}

CodeLists ReadCodeLists() {
    return {ReadCodeList(CodeListKind::Area), ReadCodeList(CodeListKind::City),
            ReadCodeList(CodeListKind::Rate)};
}

std::string CodeOfEntry(CodeListKind kind, std::string_view entry) {
    switch (kind) {
        case CodeListKind::Area:
            return std::string(Prefix(entry, kZipLength));
        case CodeListKind::City: {
            const std::size_t dash = entry.find(" -");
            return dash == std::string_view::npos ? std::string() : std::string(entry.substr(0, dash));
        }
        case CodeListKind::Rate:
            break;
    }
    return std::string(entry);
}

std::size_t CodeFieldMax(CodeListKind kind) {
    return kind == CodeListKind::Rate ? kRateFieldMax : kCodeFieldMax;
}

bool RemoveCodeFromField(std::string& field, std::string_view code) {
    if (code.empty()) return false;
    if (field.empty() || field == code) {
        field.clear();
        return true;
    }
    // Whole items only: a code that is merely part of a longer one stays.
    std::size_t start = 0;
    while (start <= field.size()) {
        std::size_t end = field.find(',', start);
        if (end == std::string::npos) end = field.size();
        if (std::string_view(field).substr(start, end - start) == code) {
            if (start == 0) {
                field.erase(0, end < field.size() ? end + 1 : end);
            } else {
                field.erase(start - 1, end - start + 1);
            }
            return true;
        }
        start = end + 1;
    }
    return true;
}

bool AddCodeToField(std::string& field, std::string_view code, std::size_t maxLength) {
    if (code.empty()) return false;
    std::string grown = field;
    RemoveCodeFromField(grown, code);
    if (!grown.empty()) grown += ',';
    grown += code;
    if (grown.size() > maxLength) return false;
    field = std::move(grown);
    return true;
}

std::string LookUpAreaName(const std::vector<std::string>& areaEntries, std::string_view zip) {
    const std::string key = std::string(zip) + ' ';
    for (const std::string& entry : areaEntries) {
        if (Prefix(entry, kZipLength) == Prefix(key, kZipLength)) {
            return std::string(TailFrom(entry, kAreaNameStart));
        }
    }
    return {};
}

std::string LookUpCityName(const std::vector<std::string>& cityEntries, std::string_view cityCode) {
    const std::string key = std::string(cityCode) + ' ';
    for (const std::string& entry : cityEntries) {
        if (entry.starts_with(key)) return std::string(TailFrom(entry, key.size() + 2));
    }
    return {};
}

}  // namespace tp
