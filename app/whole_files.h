// Whole files of the data folder (the configuration folder or the folder
// itself) read and written in text mode, failures told in g_lastError.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tp {

// Reads at most capacity - 1 characters of the file (text mode) from the
// configuration folder or the executable's folder. False with g_lastError =
// "Error: Enable to read file '<path>'" when it cannot be opened.
bool ReadWholeFile(std::string_view name, std::string& out, std::size_t capacity,
                   bool inConfigFolder);

// Writes text as the whole file (text mode). False with g_lastError =
// "Error: Enable to write file '<path>'" when it cannot be created or written.
bool WriteWholeFile(std::string_view name, std::string_view text, bool inConfigFolder);

}  // namespace tp
