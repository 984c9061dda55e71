#include "settings/sync_tool.h"

#include "platform/process_start.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace tp {
namespace {

// Waits a bounded time for the detached tool to leave its mark.
bool AppearsSoon(const test::TempHome& home, const std::string& relative) {
    for (int i = 0; i < 200; ++i) {
        if (home.Exists(relative)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST(SyncTool, RunsTheConfiguredCommandLine) {
    test::TempHome home;
    home.WriteFile("cfg/Tidepost.ini",
                   "[Settings]\r\nIntelliSynch Path=touch '" + home.path() + "synced marker'\r\n");
    StartSyncTool();
    EXPECT_TRUE(AppearsSoon(home, "synced marker"));
}

TEST(SyncTool, CommandLineIsCutTo254Characters) {
    test::TempHome home;
    const std::string prefix = "touch " + home.path();
    const std::string name(254 - prefix.size(), 'n');
    ASSERT_LT(name.size(), 250u);
    home.WriteFile("cfg/Tidepost.ini", "[Settings]\r\nIntelliSynch Path=" + prefix + name + "TAIL\r\n");
    StartSyncTool();
    EXPECT_TRUE(AppearsSoon(home, name));
    EXPECT_FALSE(home.Exists(name + "TAIL"));
}

// A stand-in for wine on the PATH records the arguments it was given, one per line.
TEST(SyncTool, WindowsProgramsGetTheirArgumentsApartThroughWine) {
    const struct {
        std::string commandLine;
        std::string arguments;
    } rows[] = {
        {"C:\\Program Files\\REX6000\\IntellisyncForRex\\rexsync.exe",
         "C:\\Program Files\\REX6000\\IntellisyncForRex\\rexsync.exe\n"},
        {"C:\\Program Files\\Sync\\rexsync.exe /auto /q", "C:\\Program Files\\Sync\\rexsync.exe\n/auto\n/q\n"},
        {"sync.exe --quiet", "sync.exe\n--quiet\n"},
        {"sync.EXE  \"My Organiser\"  x", "sync.EXE\nMy Organiser\nx\n"},
        {"d:/tools/sync", "d:/tools/sync\n"},
    };
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.commandLine);
        test::TempHome home(false);
        home.WriteFile("bin/wine",
                       "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >\"$0.part\"\n"
                       "mv \"$0.part\" \"$0.args\"\n");
        std::filesystem::permissions(home.path() + "bin/wine", std::filesystem::perms::owner_all);
        ::setenv("PATH", (home.path() + "bin:" + oldPath).c_str(), 1);
        StartDetached(row.commandLine);
        const bool started = AppearsSoon(home, "bin/wine.args");
        ::setenv("PATH", oldPath.c_str(), 1);
        ASSERT_TRUE(started);
        EXPECT_EQ(home.ReadFile("bin/wine.args"), row.arguments);
    }
}

}  // namespace
}  // namespace tp
