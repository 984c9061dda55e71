#include "settings/ini_file.h"

#include "app/globals.h"
#include "platform/regular_file.h"
#include "platform/text_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
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

// A settings file as read once: its bytes and their lines. Never changed after
// it is built, so readers on several threads share it without a lock.
struct Snapshot {
    std::string bytes;
    std::vector<Line> lines;  // views into bytes; none for a UTF-16 file
};

std::int64_t Nanoseconds(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// What stat tells of a file. Any write to the file changes its change time, and
// a replacement changes its inode, so an unchanged identity means unchanged
// bytes, except for a change made within the same timestamp tick as the one
// before it (see IsSettled).
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modified = 0;  // nanoseconds
    std::int64_t changed = 0;

    explicit FileIdentity(const struct stat& info)
        : device(info.st_dev), inode(info.st_ino), size(info.st_size),
          modified(Nanoseconds(info.st_mtim)), changed(Nanoseconds(info.st_ctim)) {}
    bool operator==(const FileIdentity&) const = default;
};

// File-system timestamps are coarse (a kernel clock tick, which may also lag the
// real time by a tick; two seconds on FAT), so a file changed shortly before it
// was read may change again within the same tick without its stat showing it.
// Such a file is read afresh until it has kept still for longer than the
// coarsest tick and the lag together.
constexpr std::int64_t kRacyWindowNs = 2'500'000'000;

// openedAt is taken before the file is opened: every later change then falls
// into a later tick than the one the identity shows.
bool IsSettled(const FileIdentity& identity, const timespec& openedAt) {
    return Nanoseconds(openedAt) - std::max(identity.modified, identity.changed) >= kRacyWindowNs;
}

// The files read through this layer, each kept while a stat shows it unchanged.
// Few files are ever read (the settings file and the odd test file); the
// oldest is forgotten past kMaxCachedFiles.
class SnapshotCache {
public:
    std::shared_ptr<const Snapshot> Find(const std::string& path, const FileIdentity& identity) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto found = entries_.find(path);
        if (found == entries_.end()) return nullptr;
        if (found->second.identity == identity) return found->second.snapshot;
        entries_.erase(found);
        return nullptr;
    }

    void Keep(const std::string& path, const FileIdentity& identity, std::shared_ptr<const Snapshot> snapshot) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (entries_.size() >= kMaxCachedFiles && !entries_.contains(path)) {
            entries_.erase(std::min_element(entries_.begin(), entries_.end(), [](const auto& a, const auto& b) {
                return a.second.keptAt < b.second.keptAt;
            }));
        }
        entries_.insert_or_assign(path, Entry{identity, std::move(snapshot), ++keptCount_});
    }

    void Forget(const std::string& path) {
        const std::lock_guard<std::mutex> lock(mutex_);
        entries_.erase(path);
    }

private:
    static constexpr std::size_t kMaxCachedFiles = 8;
    struct Entry {
        FileIdentity identity;
        std::shared_ptr<const Snapshot> snapshot;
        std::uint64_t keptAt;
    };
    std::mutex mutex_;
    std::unordered_map<std::string, Entry> entries_;
    std::uint64_t keptCount_ = 0;
};

SnapshotCache& Cache() {
    static SnapshotCache cache;
    return cache;
}

// Reads the whole file, its identity taken from the open file itself so that
// the bytes are never older than the identity they are kept under.
std::shared_ptr<Snapshot> ReadSnapshot(const std::string& path, std::optional<FileIdentity>& identity) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    auto snapshot = std::make_shared<Snapshot>();
    struct stat info;
    bool ok = ::fstat(fd, &info) == 0;
    if (ok) identity.emplace(info);
    char chunk[65536];
    while (ok) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        snapshot->bytes.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    if (!ok) return nullptr;
    if (!StartsWithUtf16Mark(snapshot->bytes)) snapshot->lines = SplitLines(snapshot->bytes);
    return snapshot;
}

// The readings that FrozenReading holds on this thread, by path (null: the
// file was missing or unreadable).
using FrozenSnapshots = std::unordered_map<std::string, std::shared_ptr<const Snapshot>>;
thread_local FrozenSnapshots t_frozen;

std::shared_ptr<const Snapshot> ReadFromDisk(const std::string& path);

// The file as this thread is to see it: its frozen reading, else as it stands
// on disk; nothing when it is missing or unreadable.
std::shared_ptr<const Snapshot> LoadSnapshot(const std::string& path) {
    if (const auto frozen = t_frozen.find(path); frozen != t_frozen.end()) return frozen->second;
    return ReadFromDisk(path);
}

std::shared_ptr<const Snapshot> ReadFromDisk(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        Cache().Forget(path);
        return nullptr;
    }
    if (std::shared_ptr<const Snapshot> cached = Cache().Find(path, FileIdentity(info))) return cached;
    timespec openedAt;
    ::clock_gettime(CLOCK_REALTIME, &openedAt);
    std::optional<FileIdentity> identity;
    std::shared_ptr<const Snapshot> snapshot = ReadSnapshot(path, identity);
    if (snapshot && identity && IsSettled(*identity, openedAt)) Cache().Keep(path, *identity, snapshot);
    else Cache().Forget(path);
    return snapshot;
}

// The raw (still quoted) value of key, or nothing when the file, the section or
// the key is missing.
std::optional<std::string> FindRawValue(const std::string& path, std::string_view section,
                                        std::string_view key) {
    const std::shared_ptr<const Snapshot> snapshot = LoadSnapshot(path);
    if (!snapshot) return std::nullopt;
    const KeyPlace place = FindKey(snapshot->lines, TrimSpaces(section), TrimSpaces(key));
    if (!place.entry) return std::nullopt;
    return std::string(snapshot->lines[*place.entry].value);
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

// A replaced file has a new inode and change time, which the next read would
// notice anyway; what was cached of it is dropped all the same, as the new file
// is too recent to be trusted.
bool Store(const std::string& path, std::string_view bytes) {
    const bool stored = ReplaceFileAtomically(path, bytes);
    Cache().Forget(path);
    // This thread's own writes are seen by its own frozen reading.
    if (const auto frozen = t_frozen.find(path); frozen != t_frozen.end()) frozen->second = ReadFromDisk(path);
    if (stored) return true;
    SetLastErrorF("Cannot write the settings file %s: %s", path.c_str(), FileErrorText(errno).c_str());
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

FrozenReading::FrozenReading(const std::string& path) : path_(path) {
    if (t_frozen.contains(path)) return;
    t_frozen.emplace(path, ReadFromDisk(path));
    owner_ = true;
}

FrozenReading::~FrozenReading() {
    if (owner_) t_frozen.erase(path_);
}

}  // namespace tp::ini
