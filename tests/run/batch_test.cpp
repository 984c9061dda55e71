#include "tests/run/batch_process.h"
#include "tests/run/undeletable_file.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

namespace tp {
namespace {

using test::BatchResult;
using test::RunBatchProcess;
using test::TempHome;
using test::UndeletableFile;

const char kInProgress[] = "Download in progress, please wait ...\n";
const char kCompletedZero[] = "Download successfully completed (total web content size is 0 bytes).\n";

// Written by hand, with comments, blanks, CR LF and keys the program does not
// know: any rewrite by the runner would show.
const std::string kBaseSettings =
    "; hand-written\r\n"
    "[Settings]\r\n"
    "IntelliSynch = 0\r\n"
    "StopOnError=1\r\n"
    "Unknown=kept\r\n"
    "[Customization]\r\n"
    "String142=<info>%s</info>\r\n";

TEST(BatchArguments, InformationAndUsageErrors) {
    TempHome home(false);
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* outStart;  // standard output starts with this
        const char* errPart;   // standard error holds this ("" : empty)
    } rows[] = {
        {{"--version"}, 0, "Tidepost Version 1.5\n", ""},
        {{"--help"}, 0, "Usage: tidepost-batch", ""},
        {{"/autorun", "--help"}, 0, "Usage: tidepost-batch", ""},
        {{"--frobnicate"}, 64, "", "unknown argument '--frobnicate'"},
        {{"/autorun", "weather"}, 64, "", "Usage: tidepost-batch"},
        {{"/AUTORUN"}, 64, "", "unknown argument '/AUTORUN'"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.back());
        const BatchResult result = RunBatchProcess(row.arguments);
        EXPECT_EQ(result.status, row.status);
        if (*row.outStart) {
            EXPECT_EQ(result.out.rfind(row.outStart, 0), 0u) << result.out;
        } else {
            EXPECT_EQ(result.out, "");
        }
        if (*row.errPart) {
            EXPECT_NE(result.err.find(row.errPart), std::string::npos) << result.err;
        } else {
            EXPECT_EQ(result.err, "");
        }
    }
    EXPECT_EQ(RunBatchProcess({"--version"}).out, "Tidepost Version 1.5\n");
    // Answering --help or --version is no run: no page folder is made.
    EXPECT_FALSE(home.Exists("xml"));
}

struct RunRow {
    const char* name;
    const char* extraSettings;  // appended to the settings file
    int status;
    std::string out;
    std::string err;
};

TEST(BatchRun, ExitStatusAndOutputFollowTheRun) {
    const RunRow rows[] = {
        {"nothing selected completes", "", 0, std::string(kInProgress) + kCompletedZero, ""},
        {"news without a category is refused", "[News]\r\nDownload=1\r\n", 2, "",
         "Missing information: Please select a news category\n"},
        {"headlines out of range are refused", "[News]\r\nNbNews=0\r\n", 2, "",
         "Tidepost: Please enter an integer between 1 and 10.\n"},
        {"weather without codes is refused", "[Weather]\r\nDownload=1\r\nZIP=\r\n", 2, "",
         "Weather information missing: Please, add the desired Area/City Code(s)\n"},
    };
    for (const RunRow& row : rows) {
        SCOPED_TRACE(row.name);
        TempHome home;
        const std::string settings = kBaseSettings + row.extraSettings;
        home.WriteFile("cfg/Tidepost.ini", settings);
        for (const char* name : {"a.xml", "b.xml", "c.xml", "d.xml"}) home.WriteFile(std::string("xml/") + name, "p");

        const BatchResult result = RunBatchProcess({"/autorun"});
        EXPECT_EQ(result.status, row.status);
        EXPECT_EQ(result.out, row.out);
        EXPECT_EQ(result.err, row.err);
        EXPECT_EQ(home.ReadFile("cfg/Tidepost.ini"), settings);
        // A completed run deletes the pages (DeleteXml defaults on); a refused one does not.
        EXPECT_EQ(home.Exists("xml/a.xml"), row.status != 0);
    }
}

TEST(BatchRun, FailedCleanUpExitsWithOne) {
    TempHome home;
    home.WriteFile("cfg/Tidepost.ini", kBaseSettings);
    home.WriteFile("xml/stuck.xml", "page");
    UndeletableFile stuck(home.path() + "xml/stuck.xml");
    if (!stuck.locked()) GTEST_SKIP() << "this file system cannot make a file undeletable";

    const BatchResult result = RunBatchProcess({});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, std::string(kInProgress) +
                              "Error: Not able to delete previous download file 'stuck.xml'\n");
    EXPECT_EQ(result.err, "");
}

}  // namespace
}  // namespace tp
