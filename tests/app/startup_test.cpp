#include "app/startup.h"

#include "platform/process_start.h"

#include <gtest/gtest.h>


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

}  // namespace
}  // namespace tp
