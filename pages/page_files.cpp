#include "pages/page_files.h"

#include "app/diagnostics.h"
#include "app/globals.h"
#include "app/paths.h"
#include "app/text_format.h"
#include "platform/dir_list.h"
#include "platform/regular_file.h"
#include "platform/text_file.h"

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace tp {
namespace {

// The information page is chosen among this many pages, each name kept in a
// slot of 255 bytes.
constexpr std::size_t kNameListSlots = 32;
constexpr std::size_t kNameSlotChars = 254;
// Fewer pages than this and no information page is written.
constexpr std::size_t kInfoPageMinPages = 4;

// The temporary files of ReplaceFileAtomically. One lives only while a single
// page is written, never across a fetch, so one a day old was left by a run
// that died: no run of any version still writes it.
constexpr std::string_view kTemporaryFilePattern = ".tidepost-??????";
constexpr std::chrono::hours kStaleTemporaryAge{24};

std::string PageFolderPath() { return GetExeFolder() + PageFolderName(); }

}  // namespace

std::string PageFileName(std::string_view templateName) {
    // The template's extension (its last four characters, whatever they are)
    // becomes ".xml". A name shorter than that loses only its own characters,
    // so the page never leaves the page folder.
    std::string name = PageFolderName();
    name.append(templateName.substr(0, templateName.size() - std::min<std::size_t>(4, templateName.size())));
    name += ".xml";
    return name;
}

bool DeletePreviousDownloads(bool all) {
    const std::string folder = PageFolderPath();
    for (const std::string& name : ListFiles(folder, all ? "*.xml" : "??zzz.xml")) {
        if (std::remove((folder + name).c_str()) != 0) {
            NoteDiagnostic(folder + name + ": " + std::strerror(errno));
            SetLastErrorF("Error: Not able to delete previous download file '%s'", name.c_str());
            return false;
        }
    }
    return true;
}

void RemoveStaleTemporaryPages() {
    const std::string folder = PageFolderPath();
    const auto now = std::filesystem::file_time_type::clock::now();
    for (const std::string& name : ListFiles(folder, kTemporaryFilePattern)) {
        std::error_code ec;
        const auto written = std::filesystem::last_write_time(folder + name, ec);
        if (!ec && now - written > kStaleTemporaryAge) std::remove((folder + name).c_str());
    }
}

std::string InfoPageFileName() {
    std::vector<std::string> names = ListFiles(PageFolderPath(), "*.xml");
    if (names.size() > kNameListSlots) names.resize(kNameListSlots);
    if (names.size() < kInfoPageMinPages) return {};
    // A name longer than a slot takes part with the part that fits.
    for (std::string& name : names) {
        if (name.size() > kNameSlotChars) name.resize(kNameSlotChars);
    }
    // std::string compares as unsigned bytes: upper case before lower case,
    // Latin-1 letters after ASCII.
    std::sort(names.begin(), names.end());
    const std::string& third = names[2];
    if (third.size() < 7) return Format("%s%czzz.xml", PageFolderName().c_str(), third[0]);
    return Format("%s%c%czzz.xml", PageFolderName().c_str(), third[0], third[1]);
}

}  // namespace tp
