// The settings-file layer: reading and writing single keys of an INI file with
// the observable behaviour of the Windows private-profile functions.
// Every call reads the file afresh; every write replaces the file atomically.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tp::ini {

// GetPrivateProfileString: the value of key in section (names matched without
// regard to ASCII case, trimmed; surrounding matching quotes removed), or def
// when the file, section or key is missing. The result is cut to bufferSize - 1
// characters, as a buffer of bufferSize characters would hold it; bufferSize 0
// yields the empty text.
std::string GetString(const std::string& path, std::string_view section, std::string_view key,
                      std::string_view def, std::size_t bufferSize);

// GetPrivateProfileInt: the value parsed as the platform does (sign, 0x/0o/0b
// prefixes, wrap-around), or def when missing or empty.
int GetInt(const std::string& path, std::string_view section, std::string_view key, int def);

// WritePrivateProfileString with a value: creates the file, the section and the
// key as needed and changes nothing else. False, with the file left as it was,
// when it cannot be written (missing folder, UTF-16 file, CR or LF in an argument).
bool WriteString(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value);

// WritePrivateProfileString without a value: removes the key's line. True when
// the key is gone afterwards (also when it was never there).
bool DeleteKey(const std::string& path, std::string_view section, std::string_view key);

// WritePrivateProfileString(NULL, NULL, NULL): nothing is cached, so nothing to do.
bool Flush(const std::string& path);

}  // namespace tp::ini
