// Helpers of the topic tests: installation data in the temporary home, and
// pages compared without the date line that changes with every run.
#pragma once

#include <filesystem>
#include <string>

#include "platform/text_file.h"
#include "tests/support/temp_home.h"

namespace tp::test {

// Copies the default icon files and page templates into home's cfg/.
inline void CopyDefaultConfig(const TempHome& home) {
    std::filesystem::copy(SourceDataFolder() + "cfg", home.path() + "cfg",
                          std::filesystem::copy_options::overwrite_existing |
                                     std::filesystem::copy_options::recursive);
}

// The page as the program reads it (text mode) with the date line's text
// replaced by "DATE".
inline std::string PageWithoutDate(const std::string& bytes) {
    std::string page = FromTextModeBytes(bytes);
    const std::string open = "<SubTitle>";
    const std::size_t start = page.find(open);
    const std::size_t end = page.find("</SubTitle>");
    if (start != std::string::npos && end != std::string::npos && end > start) {
        page.replace(start + open.size(), end - start - open.size(), "DATE");
    }
    return page;
}

// Number of times piece occurs in text.
inline int CountOf(const std::string& text, const std::string& piece) {
    int count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + piece.size())) {
        ++count;
    }
    return count;
}

// Reads a file of the repository's tests/data folder unchanged.
inline std::string TestDataFile(const std::string& relative) {
    std::string bytes;
    ReadBinaryFile(TIDEPOST_SOURCE_DIR "/tests/data/" + relative, bytes);
    return bytes;
}

}  // namespace tp::test
