// Windows text-mode file access: a line feed is written as CR LF, and CR LF is
// read back as a line feed. Bytes are never re-encoded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tp {

// Creates or empties the file and writes text with LF turned into CR LF.
// False when the file cannot be opened or not every byte reached the disk.
bool WriteTextFile(const std::string& path, std::string_view text);

// WriteTextFile for a file rewritten again and again: the new bytes go over the
// old ones and the file is then cut to their length. A file emptied and written
// anew is pushed to the disk by ext4 when it is closed (its guard against empty
// files after a crash), which for a copy rewritten at every fetch would cost a
// disk write per fetch. A failed write leaves the file cut to what was written.
bool RewriteTextFile(const std::string& path, std::string_view text);

// Reads at most maxChars characters (counted after CR LF became LF) into out.
// False, with out emptied, when the file cannot be opened or read.
bool ReadTextFile(const std::string& path, std::string& out, std::size_t maxChars);

// Reads every byte of a file unchanged. False when it cannot be opened or read.
bool ReadBinaryFile(const std::string& path, std::string& out);

// Replaces the file with bytes through a temporary file in the same folder and a
// rename, so a crash or a full disk never leaves a truncated file behind. False,
// with the old file untouched and errno telling why, on any failure. The file
// keeps the old one's mode (or gets a normal one), or with ownerOnly is the
// owner's alone; a symbolic link in its place is replaced, never followed.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, bool ownerOnly = false);

// LF -> CR LF, and CR LF -> LF, as text mode does on the way out and in.
std::string ToTextModeBytes(std::string_view text);
std::string FromTextModeBytes(std::string_view bytes);

}  // namespace tp
