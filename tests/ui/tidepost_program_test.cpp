// The tidepost program as a real process: its options, and an unattended
// "/autorun" start that must write what tidepost-batch writes.
#include "app/paths.h"
#include "platform/dir_list.h"
#include "platform/text_file.h"
#include "tests/support/child_process.h"
#include "tests/support/running_provider.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>

namespace tp {
namespace {

namespace fs = std::filesystem;

TEST(TidepostProgram, HelpAndVersionNeedNoDisplay) {
    const char* saved = std::getenv("QT_QPA_PLATFORM");
    const std::string platform = saved ? saved : "";
    // With no usable display platform a window could not even be created.
    ::setenv("QT_QPA_PLATFORM", "no-such-platform", 1);
    const test::ProcessResult version = test::RunProcess(TIDEPOST_GUI_PATH, {"--version"});
    const test::ProcessResult help = test::RunProcess(TIDEPOST_GUI_PATH, {"/autorun", "--help"});
    if (saved) ::setenv("QT_QPA_PLATFORM", platform.c_str(), 1); else ::unsetenv("QT_QPA_PLATFORM");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "Tidepost Version 1.5\n");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: tidepost [/autorun]", 0), 0u) << help.out;
}

// The pages of the page folder, with the clock of their date lines blanked.
std::map<std::string, std::string> Pages(const std::string& folder) {
    std::map<std::string, std::string> pages;
    const std::regex clock("[0-9]{1,2}(h|:)[0-9]{2}");
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string bytes;
        EXPECT_TRUE(ReadBinaryFile(entry.path().string(), bytes));
        pages[entry.path().filename().string()] = std::regex_replace(bytes, clock, "hh:mm");
    }
    return pages;
}

TEST(TidepostProgram, AutorunWithAutoExitWritesWhatTheBatchRunnerWrites) {
    test::TempHome home;
    for (const auto& entry : fs::directory_iterator(test::SourceDataFolder() + "cfg")) {
        fs::copy_file(entry.path(), home.path() + "cfg/" + entry.path().filename().string());
    }
    home.WriteFile("emails/note.txt", "Call the garage\nabout the brakes\n");
    home.WriteFile("cfg/Tidepost.ini",
                   "[Settings]\r\nStopOnError=1\r\nDeleteXml=1\r\nIntelliSynch=0\r\nAutoExit=1\r\n"
                   "SaveOnExit=1\r\n"
                   "[Weather]\r\nDownload=1\r\nZIP=10001\r\nCityCode=UKXX/UKXX0085\r\nForecastUSA=3\r\n"
                   "[News]\r\nDownload=1\r\nNbNews=3\r\nNewsWorldUS=1\r\n"
                   "[Stocks]\r\nDownload=1\r\nSymbols=IBM\r\nXRate=USD/EUR\r\n"
                   "[Movies]\r\nDownload=1\r\nMaxMovies=3\r\n"
                   "[Astro]\r\nDownload=1\r\nSigns=Leo\r\n[Email]\r\nDownload=1\r\n");
    test::RunningProvider provider;
    provider.UseForEveryAddress();

    const test::ProcessResult batch = test::RunProcess(TIDEPOST_BATCH_PATH, {});
    ASSERT_EQ(batch.status, 0) << batch.out << batch.err;
    const auto expected = Pages(home.path() + "xml");
    ASSERT_GE(expected.size(), 7u);
    for (const auto& entry : fs::directory_iterator(home.path() + "xml")) fs::remove(entry.path());

    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const test::ProcessResult window = test::RunProcess(TIDEPOST_GUI_PATH, {"/autorun"});
    EXPECT_EQ(window.status, 0) << window.err;
    EXPECT_EQ(Pages(home.path() + "xml"), expected);
    const std::string saved = home.ReadFile("cfg/Tidepost.ini");
    EXPECT_NE(saved.find("[Customization]"), std::string::npos) << "saved at exit, customizations kept";
    EXPECT_NE(saved.find("Signs=Leo"), std::string::npos);
}

}  // namespace
}  // namespace tp
