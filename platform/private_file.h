// Files of the user's own that nobody else should read (the run log), read so
// that a symbolic link planted in their place is never followed. They are
// written with ReplaceFileAtomically(path, bytes, kPrivateFileMode) (text_file.h).
#pragma once

#include <string>
#include <string_view>

namespace tp {

// Creates the folder (mode 0700) when it is missing. False, with errno telling
// why (ENOTDIR for a symbolic link or a file in its place), when it cannot be
// made or is not a folder of its own.
bool MakePrivateFolder(const std::string& path);

// Reads every byte of the file without following a symbolic link at its last
// component. False with errno set (ENOENT when missing, ELOOP for a link).
bool ReadFileNoFollow(const std::string& path, std::string& out);

}  // namespace tp
