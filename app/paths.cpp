#include "app/paths.h"

#include "platform/exe_path.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace tp {
namespace {

const char* const kPageFolder = "xml/";
const char* const kConfigFolder = "cfg/";

std::string& PageFolder() {
    static std::string name = kPageFolder;
    return name;
}

std::string& ConfigFolder() {
    static std::string name = kConfigFolder;
    return name;
}

bool Exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

// Creates the folder when nothing is there yet; true when it exists afterwards.
bool EnsureFolder(const std::string& path) {
    if (Exists(path)) return true;
    return ::mkdir(path.c_str(), 0777) == 0;
}

}  // namespace

std::string GetExeFolder() {
    const char* home = std::getenv("TIDEPOST_HOME");
    if (home && *home) {
        std::string folder(home);
        if (folder.back() != '/') folder += '/';
        return folder;
    }
    return ExecutableFolder();
}

std::string GetCfgFolder() { return GetExeFolder() + ConfigFolder(); }

std::string GetDocFolder() { return GetExeFolder() + "doc/"; }

std::string GetIniPath() { return GetCfgFolder() + "Tidepost.ini"; }

const std::string& PageFolderName() { return PageFolder(); }

const std::string& MailFolderName() {
    static const std::string name = "emails/";
    return name;
}

void CreateDataFolders() {
    const std::string exe = GetExeFolder();
    // Relative names (the page folder, download.txt) resolve against this.
    if (::chdir(exe.c_str()) != 0) {
        // Left as it is: every path below is absolute.
    }
    if (!PageFolder().empty() && !EnsureFolder(exe + PageFolder())) PageFolder().clear();
    if (!ConfigFolder().empty() && !EnsureFolder(exe + ConfigFolder())) ConfigFolder().clear();
    EnsureFolder(exe + MailFolderName());
}

void ResetDataFolderNames() {
    PageFolder() = kPageFolder;
    ConfigFolder() = kConfigFolder;
}

}  // namespace tp
