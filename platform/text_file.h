// Windows text-mode file access: a line feed is written as CR LF, and CR LF is
// read back as a line feed. Bytes are never re-encoded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace tp {

// The files this layer writes are opened as OpenRegularFileForWriting opens
// them: never through a symbolic link, never into a pipe or a device; a
// refusal leaves errno at kSymbolicLinkRefused or kNotRegularFileRefused
// (FileErrorText words it). A new file gets newFileMode.

// Creates or empties the file and writes text with LF turned into CR LF.
// False when the file cannot be opened or not every byte reached the disk.
bool WriteTextFile(const std::string& path, std::string_view text, mode_t newFileMode = 0644);

// WriteTextFile for a file rewritten again and again: the new bytes go over the
// old ones and the file is then cut to their length. A file emptied and written
// anew is pushed to the disk by ext4 when it is closed (its guard against empty
// files after a crash), which for a copy rewritten at every fetch would cost a
// disk write per fetch. A failed write leaves the file cut to what was written.
// A new file is private: it holds the user's fetched pages.
bool RewriteTextFile(const std::string& path, std::string_view text, mode_t newFileMode = 0600);

// Reads at most maxChars characters (counted after CR LF became LF) into out.
// False, with out emptied, when the file cannot be opened or read.
bool ReadTextFile(const std::string& path, std::string& out, std::size_t maxChars);

// Reads every byte of a file unchanged. False when it cannot be opened or read.
bool ReadBinaryFile(const std::string& path, std::string& out);

// Replaces the file with bytes through a temporary file in the same folder and a
// rename, so a crash or a full disk never leaves a truncated file behind. False,
// with the old file untouched and errno telling why, on any failure. The file
// keeps its mode; a new one gets newFileMode. Without syncToDisk the bytes are
// not waited for on the disk: for a cache, which a crash may leave empty.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, mode_t newFileMode = 0644,
                           bool syncToDisk = true);

// LF -> CR LF, and CR LF -> LF, as text mode does on the way out and in.
std::string ToTextModeBytes(std::string_view text);
std::string FromTextModeBytes(std::string_view bytes);

}  // namespace tp
