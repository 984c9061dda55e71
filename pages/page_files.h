// Page file names, removal of the previous run's pages, the information page's
// name, and whole-file reading and writing in text mode.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tp {

// Page folder name + templateName without its last four characters + ".xml".
std::string PageFileName(std::string_view templateName);

// Deletes "*.xml" (all) or "??zzz.xml" in the page folder. False at the first
// file that cannot be deleted, with g_lastError naming it.
bool DeletePreviousDownloads(bool all);

// Deletes the temporary page files (".tidepost-XXXXXX") in the page folder
// that a run killed while writing a page left, once they are a day old.
void RemoveStaleTemporaryPages();

// The information page's name relative to the executable's folder, or the empty
// text when fewer than four pages are in the page folder.
std::string InfoPageFileName();

// Reads at most capacity - 1 characters of the file (text mode) from the
// configuration folder or the executable's folder. False with g_lastError =
// "Error: Enable to read file '<path>'" when it cannot be opened.
bool ReadWholeFile(std::string_view name, std::string& out, std::size_t capacity,
                   bool inConfigFolder);

// Writes text as the whole file (text mode). False with g_lastError =
// "Error: Enable to write file '<path>'" when it cannot be created or written.
bool WriteWholeFile(std::string_view name, std::string_view text, bool inConfigFolder);

}  // namespace tp
