#include "app/startup.h"

#include "platform/process_start.h"

#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tp {
namespace {

TEST(Startup, AutoRunIsAPlainCaseSensitiveSubstringOfTheArguments) {
    struct Case {
        std::vector<std::string> arguments;
        bool expected;
    };
    const Case cases[] = {
        {{"/autorun"}, true},
        {{"/AUTORUN"}, false},
        {{"-x", "/autorun", "file.txt"}, true},
        {{"/autorunnow"}, true},
        {{"x/autorun"}, true},
        {{"/auto", "run"}, false},
        {{"autorun"}, false},
        {{"--autorun"}, false},
        {{}, false},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& a : c.arguments) shown += "[" + a + "]";
        SCOPED_TRACE(shown);
        EXPECT_EQ(DetectAutoRun(c.arguments), c.expected);
    }
}

TEST(Startup, WindowsProgramsAreRecognisedByDriveLetterOrExeName) {
    struct Case {
        const char* commandLine;
        bool expected;
    };
    const Case cases[] = {
        {"C:\\Program Files\\REX6000\\IntellisyncForRex\\rexsync.exe", true},
        {"d:/tools/sync", true},
        {"rexsync.EXE", true},
        {"sync.exe --quiet", true},
        {"/usr/bin/rexsync", false},
        {"touch /tmp/x.exe.log", false},
        {"C:", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        EXPECT_EQ(NamesWindowsProgram(c.commandLine), c.expected);
    }
}

TEST(Startup, NetworkingStartsAndStaysStarted) {
    EXPECT_TRUE(StartNetworking());
    EXPECT_TRUE(StartNetworking());
}

// Waits a bounded time for the detached tool to leave its mark.
bool AppearsSoon(const test::TempHome& home, const std::string& relative) {
    for (int i = 0; i < 200; ++i) {
        if (home.Exists(relative)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST(Startup, SyncToolRunsTheConfiguredCommandLine) {
    test::TempHome home;
    home.WriteFile("cfg/Tidepost.ini",
                   "[Settings]\r\nIntelliSynch Path=touch '" + home.path() + "synced marker'\r\n");
    StartSyncTool();
    EXPECT_TRUE(AppearsSoon(home, "synced marker"));
}

TEST(Startup, SyncToolCommandLineIsCutTo254Characters) {
    test::TempHome home;
    const std::string prefix = "touch " + home.path();
    const std::string name(254 - prefix.size(), 'n');
    ASSERT_LT(name.size(), 250u);
    home.WriteFile("cfg/Tidepost.ini", "[Settings]\r\nIntelliSynch Path=" + prefix + name + "TAIL\r\n");
    StartSyncTool();
    EXPECT_TRUE(AppearsSoon(home, name));
    EXPECT_FALSE(home.Exists(name + "TAIL"));
}

}  // namespace
}  // namespace tp
