#include "app/whole_files.h"

#include "app/globals.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <set>
#include <string>
#include <sys/resource.h>

namespace tp {
namespace {

namespace fs = std::filesystem;

TEST(ReadWholeFileTest, ReadsTextModeUpToCapacityLessOne) {
    std::string template60k(60000, 'x');
    for (std::size_t i = 0; i < template60k.size(); i += 97) template60k[i] = '\n';
    const struct {
        const char* description;
        std::string bytes;
        std::size_t capacity;
        std::string expected;
    } cases[] = {
        {"template longer than the buffer", template60k, 51200, template60k.substr(0, 51199)},
        {"line ends", "one\r\ntwo\r\n\rthree\r", 100, "one\ntwo\n\rthree\r"},
        {"exactly capacity less one", "abcd", 5, "abcd"},
        {"one more than fits", "abcde", 5, "abcd"},
        {"capacity of one holds only the zero", "abc", 1, ""},
        {"no capacity at all", "abc", 0, ""},
        {"empty file", "", 10, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        test::TempHome home;
        home.WriteFile("cfg/list.ini", c.bytes);
        std::string out = "stale";
        ASSERT_TRUE(ReadWholeFile("list.ini", out, c.capacity, true));
        EXPECT_EQ(out, c.expected);
    }
}

TEST(ReadWholeFileTest, ChoosesTheFolder) {
    test::TempHome home;
    home.WriteFile("cfg/codes.ini", "in cfg");
    home.WriteFile("codes.ini", "beside");
    std::string out;
    ASSERT_TRUE(ReadWholeFile("codes.ini", out, 100, true));
    EXPECT_EQ(out, "in cfg");
    ASSERT_TRUE(ReadWholeFile("codes.ini", out, 100, false));
    EXPECT_EQ(out, "beside");
}

TEST(ReadWholeFileTest, UnreadableFileNamesTheFullPath) {
    test::TempHome home;
    fs::create_directory(home.path() + "cfg/folder.xmt");
    const struct {
        const char* name;
        bool inConfigFolder;
        std::string path;
    } cases[] = {
        {"missing.xmt", true, home.path() + "cfg/missing.xmt"},
        {"missing.txt", false, home.path() + "missing.txt"},
        {"folder.xmt", true, home.path() + "cfg/folder.xmt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out;
        EXPECT_FALSE(ReadWholeFile(c.name, out, 100, c.inConfigFolder));
        EXPECT_EQ(g_lastError, "Error: Enable to read file '" + c.path + "'");
    }
}

TEST(WriteWholeFileTest, WritesLineFeedsAsTextLineEnds) {
    test::TempHome home;
    home.WriteFile("cfg/xrates.ini", "an older and longer list\r\n");
    ASSERT_TRUE(WriteWholeFile("xrates.ini", "USD,EUR\nGBP\n", true));
    EXPECT_EQ(home.ReadFile("cfg/xrates.ini"), "USD,EUR\r\nGBP\r\n");
    ASSERT_TRUE(WriteWholeFile("xml/emzzz.xml", "<page/>\n", false));
    EXPECT_EQ(home.ReadFile("xml/emzzz.xml"), "<page/>\r\n");
    std::string back;
    ASSERT_TRUE(ReadWholeFile("xrates.ini", back, 100, true));
    EXPECT_EQ(back, "USD,EUR\nGBP\n");
}

TEST(WriteWholeFileTest, FolderInTheWayIsAFailure) {
    test::TempHome home;
    fs::create_directory(home.path() + "cfg/citycode.ini");
    EXPECT_FALSE(WriteWholeFile("citycode.ini", "Paris\n", true));
    EXPECT_EQ(g_lastError, "Error: Enable to write file '" + home.path() + "cfg/citycode.ini'");
    EXPECT_FALSE(WriteWholeFile("nowhere/page.xml", "x", false));
    EXPECT_EQ(g_lastError, "Error: Enable to write file '" + home.path() + "nowhere/page.xml'");
}

// Limits the size of files this process may write, as a full disk would, and
// restores the limit and the signal's handling afterwards.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST(WriteWholeFileTest, FullDiskFailsAndKeepsThePreviousFile) {
    test::TempHome home;
    const std::string previous = "Berlin\r\nParis\r\n";
    home.WriteFile("cfg/citycode.ini", previous);
    const std::string longList(20000, 'c');
    bool written;
    {
        FileSizeLimit limit(4096);
        written = WriteWholeFile("citycode.ini", longList, true);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(g_lastError, "Error: Enable to write file '" + home.path() + "cfg/citycode.ini'");
    EXPECT_EQ(home.ReadFile("cfg/citycode.ini"), previous);
    // Nothing of the failed attempt is left in the folder.
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(home.path() + "cfg/")) left.insert(entry.path().filename().string());
    EXPECT_EQ(left, std::set<std::string>{"citycode.ini"});
}

}  // namespace
}  // namespace tp
