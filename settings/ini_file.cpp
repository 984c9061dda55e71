#include "settings/ini_file.h"

#include "app/globals.h"
#include "platform/text_file.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace tp::ini {
namespace {

// Space, TAB and VT separate words in the file; FF and the rest are text.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Names given by the caller lose spaces only: a TAB stays part of the name.
std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

enum class LineKind { Blank, Comment, Header, Entry, Bare };

struct Line {
    std::size_t begin = 0;
    std::size_t contentEnd = 0;  // before the line break
    std::size_t end = 0;         // after the line break
    LineKind kind = LineKind::Blank;
    std::string_view name;   // section name of a header, key of an entry
    std::string_view value;  // value of an entry, trimmed
};

Line ClassifyLine(std::string_view bytes, std::size_t begin, std::size_t contentEnd, std::size_t end) {
    Line line{begin, contentEnd, end, LineKind::Blank, {}, {}};
    std::string_view text = bytes.substr(begin, contentEnd - begin);
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    if (text.empty()) return line;
    if (text.front() == ';') {
        line.kind = LineKind::Comment;
    } else if (text.front() == '[') {
        // Without a closing bracket the name runs to the end of the line.
        text.remove_prefix(1);
        line.kind = LineKind::Header;
        line.name = TrimBlanks(text.substr(0, text.find(']')));
    } else if (const std::size_t equals = text.find('='); equals != std::string_view::npos) {
        line.kind = LineKind::Entry;
        line.name = TrimBlanks(text.substr(0, equals));
        line.value = TrimBlanks(text.substr(equals + 1));
    } else {
        line.kind = LineKind::Bare;
    }
    return line;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// CR LF, a lone LF and a lone CR all end a line; the last line needs no break.
// A UTF-8 byte-order mark, as editors save it, is no part of the first line:
// it stays in the file (before the first line) and is never read as text.
std::vector<Line> SplitLines(std::string_view bytes) {
    std::vector<Line> lines;
    std::size_t begin = bytes.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
    while (begin < bytes.size()) {
        std::size_t contentEnd = begin;
        while (contentEnd < bytes.size() && bytes[contentEnd] != '\r' && bytes[contentEnd] != '\n') {
            ++contentEnd;
        }
        std::size_t end = contentEnd;
        if (end < bytes.size() && bytes[end] == '\r') ++end;
        if (end < bytes.size() && bytes[end] == '\n') ++end;
        lines.push_back(ClassifyLine(bytes, begin, contentEnd, end));
        begin = end;
    }
    return lines;
}

// Windows reads and writes such files as UTF-16; this layer keeps away from
// them rather than mixing 8-bit text into one.
bool StartsWithUtf16Mark(std::string_view bytes) {
    return bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                 (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
}

// Where a key is, or would go, in the lines of a file.
struct KeyPlace {
    std::optional<std::size_t> header;  // first header of the section
    std::optional<std::size_t> entry;   // first entry of the key in that section
    std::size_t lastEntryOrHeader = 0;  // a new key goes after this line
};

KeyPlace FindKey(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    KeyPlace place;
    std::size_t i = 0;
    for (; i < lines.size(); ++i) {
        if (lines[i].kind == LineKind::Header && SameName(lines[i].name, section)) break;
    }
    if (i == lines.size()) return place;
    place.header = i;
    place.lastEntryOrHeader = i;
    for (++i; i < lines.size() && lines[i].kind != LineKind::Header; ++i) {
        if (lines[i].kind != LineKind::Entry) continue;
        place.lastEntryOrHeader = i;
        if (!place.entry && SameName(lines[i].name, key)) place.entry = i;
    }
    return place;
}

// The raw (still quoted) value of key, or nothing when the file, the section or
// the key is missing.
std::optional<std::string> FindRawValue(const std::string& path, std::string_view section,
                                        std::string_view key) {
    std::string bytes;
    if (!ReadBinaryFile(path, bytes) || StartsWithUtf16Mark(bytes)) return std::nullopt;
    const std::vector<Line> lines = SplitLines(bytes);
    const KeyPlace place = FindKey(lines, TrimSpaces(section), TrimSpaces(key));
    if (!place.entry) return std::nullopt;
    return std::string(lines[*place.entry].value);
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value.remove_prefix(1);
        value.remove_suffix(1);
    }
    return value;
}

// The value as callers see it: quotes removed, then held to the longest value.
std::optional<std::string> FindValue(const std::string& path, std::string_view section, std::string_view key) {
    std::optional<std::string> raw = FindRawValue(path, section, key);
    if (!raw) return std::nullopt;
    return std::string(Unquote(*raw).substr(0, kMaxValueLength));
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

enum class FileState { Missing, Read, Failed };

FileState LoadForWrite(const std::string& path, std::string& bytes) {
    bytes.clear();
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) return FileState::Missing;
    if (!ReadBinaryFile(path, bytes)) {
        SetLastErrorF("Cannot read the settings file %s: %s", path.c_str(), std::strerror(errno));
        return FileState::Failed;
    }
    if (StartsWithUtf16Mark(bytes)) {
        SetLastErrorF("The settings file %s is in UTF-16 and is left unchanged", path.c_str());
        return FileState::Failed;
    }
    return FileState::Read;
}

bool Store(const std::string& path, std::string_view bytes) {
    if (ReplaceFileAtomically(path, bytes)) return true;
    SetLastErrorF("Cannot write the settings file %s: %s", path.c_str(), std::strerror(errno));
    return false;
}

// Lines written by this layer always end in CR LF; a line that had no break
// (the last of a file) gets one before anything is put after it.
void EndLastLine(std::string& bytes) {
    if (bytes.empty() || bytes == kUtf8Mark) return;
    if (bytes.back() != '\n' && bytes.back() != '\r') bytes += "\r\n";
}

bool CheckWriteArguments(std::string_view section, std::string_view key, std::string_view value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) {
        SetLastError("A settings name or value must not contain a line break");
        return false;
    }
    if (value.size() > kMaxValueLength) {
        SetLastErrorF("A settings value must not be longer than %zu characters", kMaxValueLength);
        return false;
    }
    // Such names would be read back as another section or key, or not at all:
    // the reader trims tabs and vertical tabs that the writer would keep.
    if (section.find(']') != std::string_view::npos || TrimBlanks(section) != section) {
        SetLastError("A settings section name must not contain \"]\" nor start or end with a tab");
        return false;
    }
    const std::string_view keyText = TrimBlanks(key);
    if (key.find('=') != std::string_view::npos || keyText != key ||
        (!keyText.empty() && (keyText.front() == '[' || keyText.front() == ';'))) {
        SetLastError(
            "A settings key must not contain \"=\", start with \"[\" or \";\", nor start or end with a tab");
        return false;
    }
    return true;
}

}  // namespace

std::string GetString(const std::string& path, std::string_view section, std::string_view key,
                      std::string_view def, std::size_t bufferSize) {
    if (bufferSize == 0) return {};
    std::string result;
    if (std::optional<std::string> value = FindValue(path, section, key)) {
        result = std::move(*value);
    } else {
        while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
        result = def;
    }
    if (result.size() > bufferSize - 1) result.resize(bufferSize - 1);
    return result;
}

int GetInt(const std::string& path, std::string_view section, std::string_view key, int def) {
    const std::optional<std::string> value = FindValue(path, section, key);
    if (!value || value->empty()) return def;
    std::string_view text = *value;
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    unsigned base = 10;
    if (text.size() >= 2 && text[0] == '0') {
        if (text[1] == 'x') base = 16;
        else if (text[1] == 'o') base = 8;
        else if (text[1] == 'b') base = 2;
        if (base != 10) text.remove_prefix(2);
    }
    std::uint32_t number = 0;  // wraps modulo 2^32 like the platform's parser
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else break;
        if (digit >= base) break;
        number = number * base + digit;
    }
    if (negative) number = 0u - number;
    return static_cast<int>(number);
}

bool WriteString(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value) {
    section = TrimSpaces(section);
    key = TrimSpaces(key);
    if (!CheckWriteArguments(section, key, value)) return false;
    std::string bytes;
    const FileState state = LoadForWrite(path, bytes);
    if (state == FileState::Failed) return false;

    const std::vector<Line> lines = SplitLines(bytes);
    const KeyPlace place = FindKey(lines, section, key);
    std::string updated;
    if (!place.header) {
        updated = bytes;
        EndLastLine(updated);
        updated.append("[").append(section).append("]\r\n");
        updated.append(key).append("=").append(value).append("\r\n");
    } else if (place.entry) {
        // The key keeps its spelling in the file; only the value changes.
        const Line& line = lines[*place.entry];
        updated.assign(bytes, 0, line.begin);
        updated.append(line.name).append("=").append(value).append("\r\n");
        updated.append(bytes, line.end);
    } else {
        const Line& after = lines[place.lastEntryOrHeader];
        updated.assign(bytes, 0, after.end);
        EndLastLine(updated);
        updated.append(key).append("=").append(value).append("\r\n");
        updated.append(bytes, after.end);
    }
    if (state == FileState::Read && updated == bytes) return true;
    return Store(path, updated);
}

bool DeleteKey(const std::string& path, std::string_view section, std::string_view key) {
    if (HasLineBreak(section) || HasLineBreak(key)) {
        SetLastError("A settings name must not contain a line break");
        return false;
    }
    std::string bytes;
    const FileState state = LoadForWrite(path, bytes);
    if (state == FileState::Failed) return false;
    if (state == FileState::Missing) return Store(path, "");

    // Every copy of the key in the section goes: a hand-edited file with the key
    // twice would otherwise show the second copy once the first is deleted.
    const std::vector<Line> lines = SplitLines(bytes);
    const KeyPlace place = FindKey(lines, TrimSpaces(section), TrimSpaces(key));
    if (!place.entry) return true;
    std::string updated = bytes.substr(0, lines[*place.entry].begin);
    std::size_t kept = lines[*place.entry].end;
    for (std::size_t i = *place.entry + 1; i < lines.size() && lines[i].kind != LineKind::Header; ++i) {
        if (lines[i].kind != LineKind::Entry || !SameName(lines[i].name, TrimSpaces(key))) continue;
        updated.append(bytes, kept, lines[i].begin - kept);
        kept = lines[i].end;
    }
    updated.append(bytes, kept);
    return Store(path, updated);
}

bool Flush(const std::string& /*path*/) { return true; }

}  // namespace tp::ini
