// Opening the files the program writes in its data folder. A symbolic link at
// the last component is never followed (a link there must not let a run write
// or create a file elsewhere), and only a regular file is written: a pipe or a
// device in place of a page would block the run or swallow the page.
#pragma once

#include <string>
#include <sys/types.h>

namespace tp {

// Mode of a new file that holds the user's own data (pages, the raw copy).
inline constexpr mode_t kPrivateFileMode = 0600;

// errno values of this layer, beyond the system's own; FileErrorText words them.
inline constexpr int kSymbolicLinkRefused = 0x10001;
inline constexpr int kNotRegularFileRefused = 0x10002;

// Opens path for writing (flags such as O_WRONLY | O_CREAT | O_TRUNC) without
// following a symbolic link and without blocking on a pipe; a new file gets
// mode (less the umask). -1 with errno set when it cannot be opened or is not
// a regular file (kSymbolicLinkRefused, kNotRegularFileRefused).
int OpenRegularFileForWriting(const std::string& path, int flags, mode_t mode);

// True when nothing is at path or a regular file is; otherwise false with errno
// kSymbolicLinkRefused, kNotRegularFileRefused, or the system's reason.
bool IsRegularFileOrAbsent(const std::string& path);

// True when path is a symbolic link whose target (all links resolved) lies
// outside folder, or cannot be resolved at all.
bool IsLinkLeavingFolder(const std::string& path, const std::string& folder);

// The reason for an errno value, in words: the system's text, or this layer's.
std::string FileErrorText(int error);

}  // namespace tp
