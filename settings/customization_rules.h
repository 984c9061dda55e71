// What the customization dialogs accept before anything is stored: the topic's
// icon and template file names, a source's web address, and files chosen
// outside the configuration folder.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tp {

// Shortest icon or template file name that is saved ("a.txt").
inline constexpr std::size_t kMinTopicFileName = 5;

inline bool IsTopicFileNameAccepted(std::string_view name) { return name.size() >= kMinTopicFileName; }

// address without the blanks (spaces, tabs, line breaks) at both ends.
std::string TrimAddress(std::string_view address);

// Whether address holds the parameter marker "%s".
bool HasParameterMarker(std::string_view address);

// Whether path names a file directly inside the configuration folder, the
// only place the page writer looks for icons and templates.
bool IsInConfigFolder(const std::string& path);

// Copies the file at path into the configuration folder under its own name,
// replacing a file of that name whole or not at all. False, with the reason in
// g_lastError, when it cannot be read or written.
bool CopyIntoConfigFolder(const std::string& path);

}  // namespace tp
