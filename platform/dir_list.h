// Listing a folder with a Windows-style wildcard pattern.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tp {

// "*" matches any run of characters, "?" exactly one; letters match without
// regard to ASCII case, as on Windows.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// Names (without the folder) of the regular files in folder matching pattern,
// in case-insensitive name order so that runs are repeatable. A missing folder
// lists nothing.
std::vector<std::string> ListFiles(const std::string& folder, std::string_view pattern);

}  // namespace tp
