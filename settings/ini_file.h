// The settings-file layer: reading and writing single keys of an INI file with
// the observable behaviour of the Windows private-profile functions.
// A file read once is kept in memory, for every thread of the process, while a
// stat shows it unchanged (same device, inode, size, modification and change
// time to the nanosecond); a file changed within the last two and a half
// seconds, too recently for coarse timestamps to show a further change, is read
// afresh at every call. So each call sees every change made by other programs,
// as the platform's functions do. Every write replaces the file atomically and
// is seen by the next read.
// Bytes are never re-encoded. A file starting with a UTF-16 byte-order mark holds
// no keys for this layer and is never rewritten; a UTF-8 byte-order mark is
// skipped when reading and kept when writing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tp::ini {

// Longest value read or written, in characters.
inline constexpr std::size_t kMaxValueLength = 65535;

// GetPrivateProfileString: the value of key in section (names matched without
// regard to ASCII case, trimmed; surrounding matching quotes removed), or def
// (less its trailing spaces) when the file, section or key is missing. A key
// present with an empty value yields "", not def. The result is cut to
// bufferSize - 1 characters, as a buffer of bufferSize characters would hold it;
// bufferSize 0 yields the empty text. Values longer than kMaxValueLength are cut
// to that length.
std::string GetString(const std::string& path, std::string_view section, std::string_view key,
                      std::string_view def, std::size_t bufferSize);

// GetPrivateProfileInt: the value parsed as the platform does (sign, 0x/0o/0b
// prefixes, wrap-around), or def when missing or empty.
int GetInt(const std::string& path, std::string_view section, std::string_view key, int def);

// WritePrivateProfileString with a value: creates the file, the section and the
// key as needed and changes nothing else. The value is written exactly as given.
// False, with the file left byte for byte as it was and the reason in
// g_lastError, when it cannot be written: missing folder, full disk, UTF-16 file,
// CR or LF in an argument, a value longer than kMaxValueLength, or names that
// could not be found again ("]" in the section, "=" in the key, a key starting
// with "[" or ";", a tab or vertical tab at either end of either name).
bool WriteString(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value);

// WritePrivateProfileString without a value: removes the key's line, and the
// line of every further copy of the key in that section. True when
// the key is gone afterwards (also when it was never there; a missing file is
// then created empty). False, file unchanged, when the file cannot be written.
bool DeleteKey(const std::string& path, std::string_view section, std::string_view key);

// While one lives, every read of path on the creating thread takes the file as
// it stood when it was created (or as this thread last wrote it), however
// other programs change or replace it meanwhile: a run sees one state of its
// settings. A second one for the same path on the same thread changes nothing.
class FrozenReading {
public:
    explicit FrozenReading(const std::string& path);
    ~FrozenReading();
    FrozenReading(const FrozenReading&) = delete;
    FrozenReading& operator=(const FrozenReading&) = delete;

private:
    std::string path_;
    bool owner_ = false;
};

// WritePrivateProfileString(NULL, NULL, NULL): writes go straight to the file,
// so nothing is pending; always true, and callers need not look at the result.
bool Flush(const std::string& path);

}  // namespace tp::ini
