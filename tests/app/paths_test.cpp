#include "app/paths.h"

#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tp {
namespace {

// Root may write anywhere, so a folder that cannot be created is stood in for
// by a plain file of the same name.
TEST(DataFolders, AFolderThatCannotBeCreatedFallsBackToTheExecutableFolder) {
    const struct {
        const char* blocked;  // a file where this folder should be ("" : none)
        const char* pageFolder;
        const char* iniPath;  // relative to the home folder
    } rows[] = {
        {"", "xml/", "cfg/Tidepost.ini"},
        {"xml", "", "cfg/Tidepost.ini"},
        {"cfg", "xml/", "Tidepost.ini"},
        {"emails", "xml/", "cfg/Tidepost.ini"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(*row.blocked ? row.blocked : "nothing blocked");
        test::TempHome home(false);
        if (*row.blocked) home.WriteFile(row.blocked, "a file");
        CreateDataFolders();
        EXPECT_EQ(PageFolderName(), row.pageFolder);
        EXPECT_EQ(GetIniPath(), home.path() + row.iniPath);
        EXPECT_EQ(GetCfgFolder() + "Tidepost.ini", GetIniPath());
        EXPECT_EQ(std::filesystem::current_path().string() + "/", home.path());
        for (const char* folder : {"xml/", "cfg/", "emails/"}) {
            if (std::string(folder) != std::string(row.blocked) + "/") {
                EXPECT_TRUE(std::filesystem::is_directory(home.path() + folder)) << folder;
            }
        }
    }
}

// Start-up moves into the data folder, so a relative TIDEPOST_HOME must keep
// naming the same folder afterwards, not one below itself.
TEST(DataFolders, RelativeHomeStillNamesTheSameFolderAfterStartUp) {
    for (const char* relative : {"data", "data/", "./data", "."}) {
        SCOPED_TRACE(relative);
        test::TempHome parent(false);
        ASSERT_EQ(::chdir(parent.path().c_str()), 0);
        const std::string home =
            std::string(relative) == "." ? parent.path() : parent.path() + "data/";
        std::filesystem::create_directories(home + "cfg");
        std::filesystem::create_directories(home + "doc");
        ::setenv("TIDEPOST_HOME", relative, 1);

        CreateDataFolders();
        EXPECT_EQ(GetExeFolder(), home);
        EXPECT_EQ(GetIniPath(), home + "cfg/Tidepost.ini");
        EXPECT_EQ(PageFolderName(), "xml/");
        EXPECT_TRUE(std::filesystem::is_directory(home + "xml"));
        EXPECT_EQ(GetDocFolder(), home + "doc/");
    }
}

TEST(DataFolders, PerUserFolderFollowsTheBaseDirectoryRules) {
    const char* savedData = std::getenv("XDG_DATA_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string data = savedData ? savedData : "";
    const std::string home = savedHome ? savedHome : "";
    const struct {
        const char* dataHome;  // nullptr: unset
        const char* expected;
    } rows[] = {
        {nullptr, "/home/ann/.local/share/tidepost/"},
        {"/srv/data", "/srv/data/tidepost/"},
        {"/srv/data/", "/srv/data/tidepost/"},
        {"relative/data", "/home/ann/.local/share/tidepost/"},  // ignored, as the rules ask
        {"", "/home/ann/.local/share/tidepost/"},
    };
    ::setenv("HOME", "/home/ann", 1);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.dataHome ? row.dataHome : "unset");
        if (row.dataHome) ::setenv("XDG_DATA_HOME", row.dataHome, 1); else ::unsetenv("XDG_DATA_HOME");
        EXPECT_EQ(PerUserDataFolder(), row.expected);
    }
    if (savedData) ::setenv("XDG_DATA_HOME", data.c_str(), 1); else ::unsetenv("XDG_DATA_HOME");
    if (savedHome) ::setenv("HOME", home.c_str(), 1); else ::unsetenv("HOME");
}

// The per-user folder holds the user's mail and memos in its pages.
TEST(DataFolders, PerUserFolderIsCreatedPrivate) {
    test::TempHome temp(false);
    const std::string home = std::getenv("TIDEPOST_HOME");
    const char* savedData = std::getenv("XDG_DATA_HOME");
    const std::string data = savedData ? savedData : "";
    ::setenv("XDG_DATA_HOME", (home + "share").c_str(), 1);
    ::unsetenv("TIDEPOST_HOME");
    const mode_t umask = ::umask(022);
    if (GetExeFolder() == PerUserDataFolder()) {
        EXPECT_TRUE(PrepareDataFolder());
        EXPECT_EQ(std::filesystem::status(home + "share/tidepost").permissions(), std::filesystem::perms(0700));
        EXPECT_EQ(std::filesystem::status(home + "share").permissions(), std::filesystem::perms(0755));
    } else {
        ADD_FAILURE() << "the program's folder is a portable data folder here: " << GetExeFolder();
    }
    ::umask(umask);
    ::setenv("TIDEPOST_HOME", home.c_str(), 1);
    if (savedData) ::setenv("XDG_DATA_HOME", data.c_str(), 1); else ::unsetenv("XDG_DATA_HOME");
}

TEST(DataFolders, HelpPagesComeFromTheInstallationWhenTheDataFolderHasNone) {
    test::TempHome home;
    EXPECT_EQ(GetDocFolder(), GetInstallDataFolder() + "doc/");
    std::filesystem::create_directories(home.path() + "doc");
    EXPECT_EQ(GetDocFolder(), home.path() + "doc/");
}

}  // namespace
}  // namespace tp
