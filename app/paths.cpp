#include "app/paths.h"

#include "platform/exe_path.h"

#include <cstdlib>
#include <filesystem>
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

// TIDEPOST_HOME as an absolute folder name ending in "/"; a relative name is
// taken from the current directory.
std::string HomeFolder(const char* value) {
    std::error_code ec;
    std::string folder = std::filesystem::absolute(value, ec).lexically_normal().string();
    if (ec || folder.empty()) folder = value;
    if (folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

std::string GetExeFolder() {
    const char* home = std::getenv("TIDEPOST_HOME");
    if (home && *home) return HomeFolder(home);
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
    // The current directory is about to change: a relative TIDEPOST_HOME would
    // then name a folder inside itself, so it is written back absolute (which
    // also hands the right folder to any program started later).
    if (const char* home = std::getenv("TIDEPOST_HOME"); home && *home && exe != home) {
        ::setenv("TIDEPOST_HOME", exe.c_str(), 1);
    }
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
