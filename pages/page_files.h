// Page file names, removal of the previous run's pages and the information
// page's name.
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

}  // namespace tp
