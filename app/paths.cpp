#include "app/paths.h"

#include "app/globals.h"
#include "platform/exe_path.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#ifndef TIDEPOST_DATA_FROM_BIN
#define TIDEPOST_DATA_FROM_BIN "../share/tidepost/"
#endif

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

bool IsFolder(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A copy that carries its data beside the program and may write there.
bool IsPortable(const std::string& exeFolder) {
    return IsFolder(exeFolder + kConfigFolder) && ::access(exeFolder.c_str(), W_OK) == 0;
}

// The choice without TIDEPOST_HOME; the program does not move during its life.
const std::string& FolderBesideOrPerUser() {
    static const std::string folder = [] {
        const std::string exe = ExecutableFolder();
        return IsPortable(exe) ? exe : PerUserDataFolder();
    }();
    return folder;
}

bool Fail(const char* what, const std::string& folder) {
    const int error = errno;
    g_lastError.clear();
    SetLastError(std::string(what) + " " + folder + ": " + std::strerror(error));
    return false;
}

}  // namespace

std::string GetExeFolder() {
    const char* home = std::getenv("TIDEPOST_HOME");
    if (home && *home) return HomeFolder(home);
    return FolderBesideOrPerUser();
}

std::string PerUserDataFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is not valid; desktop programs ignore it.
    if (dataHome && dataHome[0] == '/') return HomeFolder(dataHome) + "tidepost/";
    const char* home = std::getenv("HOME");
    return HomeFolder(home && *home ? home : "/") + ".local/share/tidepost/";
}

std::string GetInstallDataFolder() {
    const std::string exe = ExecutableFolder();
    const std::string installed =
        std::filesystem::path(exe + TIDEPOST_DATA_FROM_BIN).lexically_normal().string();
    return IsFolder(installed) ? installed : exe;
}

bool PrepareDataFolder() {
    // TIDEPOST_HOME and a portable copy are the user's own to manage, as ever.
    const char* home = std::getenv("TIDEPOST_HOME");
    const std::string folder = GetExeFolder();
    if ((home && *home) || folder != PerUserDataFolder()) return true;

    std::error_code ec;
    if (!IsFolder(folder)) {
        // The folder holds the user's mail and memos in its pages: it is the
        // user's alone, as a mail program's folder is. Its parents are the
        // usual shared ones.
        std::filesystem::create_directories(std::filesystem::path(folder).parent_path().parent_path(), ec);
        if (!ec && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) ec.assign(errno, std::generic_category());
        if (ec) {
            errno = ec.value();
            return Fail("Cannot create the data folder", folder);
        }
    }
    if (::access(folder.c_str(), R_OK | W_OK | X_OK) != 0) return Fail("Cannot write the data folder", folder);

    const std::string installed = GetInstallDataFolder() + kConfigFolder;
    const std::string cfg = folder + kConfigFolder;
    if (!IsFolder(installed)) return true;
    if (!IsFolder(cfg) && ::mkdir(cfg.c_str(), 0777) != 0) return Fail("Cannot create the folder", cfg);
    for (const auto& entry : std::filesystem::directory_iterator(installed, ec)) {
        if (!entry.is_regular_file(ec)) continue;
        const auto target = cfg + entry.path().filename().string();
        if (Exists(target)) continue;
        std::filesystem::copy_file(entry.path(), target, ec);
        if (ec) {
            errno = ec.value();
            return Fail("Cannot copy the default settings into", cfg);
        }
    }
    return true;
}

std::string GetCfgFolder() { return GetExeFolder() + ConfigFolder(); }

std::string GetDocFolder() {
    const std::string beside = GetExeFolder() + "doc/";
    return IsFolder(beside) ? beside : GetInstallDataFolder() + "doc/";
}

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
