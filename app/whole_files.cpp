#include "app/whole_files.h"

#include "app/diagnostics.h"
#include "app/globals.h"
#include "app/paths.h"
#include "platform/regular_file.h"
#include "platform/text_file.h"

#include <cerrno>
#include <cstring>

namespace tp {
namespace {

std::string WholeFilePath(std::string_view name, bool inConfigFolder) {
    std::string path = inConfigFolder ? GetCfgFolder() : GetExeFolder();
    path.append(name);
    return path;
}

}  // namespace

bool ReadWholeFile(std::string_view name, std::string& out, std::size_t capacity,
                   bool inConfigFolder) {
    const std::string path = WholeFilePath(name, inConfigFolder);
    const std::size_t maxChars = capacity > 0 ? capacity - 1 : 0;
    if (!ReadTextFile(path, out, maxChars)) {
        SetLastErrorF("Error: Enable to read file '%s'", path.c_str());
        return false;
    }
    return true;
}

bool WriteWholeFile(std::string_view name, std::string_view text, bool inConfigFolder) {
    const std::string path = WholeFilePath(name, inConfigFolder);
    // Through a temporary file: a full disk leaves the previous content (a code
    // list the user edited) intact instead of an emptied file. A page of the
    // data folder is private like every page; a code list is not.
    if (!ReplaceFileAtomically(path, ToTextModeBytes(text), inConfigFolder ? 0644 : kPrivateFileMode)) {
        NoteDiagnostic(path + ": " + FileErrorText(errno));
        SetLastErrorF("Error: Enable to write file '%s'", path.c_str());
        return false;
    }
    return true;
}

}  // namespace tp
