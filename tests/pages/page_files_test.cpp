#include "pages/page_files.h"

#include "app/globals.h"
#include "app/paths.h"
#include "tests/support/immutable_file.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <set>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace tp {
namespace {

namespace fs = std::filesystem;

std::set<std::string> FileNamesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

TEST(PageFileNameTest, TemplateExtensionBecomesXml) {
    test::TempHome home;
    const struct {
        const char* templateName;
        const char* expected;
    } cases[] = {
        {"weather.xmt", "xml/weather.xml"},
        {"my.template", "xml/my.temp.xml"},
        {"noext", "xml/n.xml"},
        {"abcd", "xml/.xml"},
        // Shorter than an extension: the folder part is never cut.
        {"ab", "xml/.xml"},
        {"", "xml/.xml"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.templateName);
        EXPECT_EQ(PageFileName(c.templateName), c.expected);
    }
}

TEST(DeletePreviousDownloadsTest, RemovesAllPagesOrOnlyInformationPages) {
    const std::vector<std::string> present = {"weather.xml", "user notes.xml", "emzzz.xml", "MOZZZ.XML",
                                              "azzz.xml",    "abczzz.xml",     "readme.txt", "emzzz.xml.bak"};
    const struct {
        bool all;
        std::set<std::string> left;
    } cases[] = {
        {true, {"readme.txt", "emzzz.xml.bak"}},
        {false, {"weather.xml", "user notes.xml", "azzz.xml", "abczzz.xml", "readme.txt", "emzzz.xml.bak"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.all ? "all pages" : "information pages only");
        test::TempHome home;
        for (const auto& name : present) home.WriteFile("xml/" + name, "x");
        // A folder is not a page, whatever its name.
        fs::create_directory(home.path() + "xml/aazzz.xml");
        EXPECT_TRUE(DeletePreviousDownloads(c.all));
        std::set<std::string> left = c.left;
        left.insert("aazzz.xml");
        EXPECT_EQ(FileNamesIn(home.path() + "xml/"), left);
    }
}

TEST(DeletePreviousDownloadsTest, EmptyPageFolderIsSuccess) {
    test::TempHome home;
    g_lastError = "earlier";
    EXPECT_TRUE(DeletePreviousDownloads(true));
    EXPECT_TRUE(DeletePreviousDownloads(false));
    EXPECT_EQ(g_lastError, "earlier");
}

TEST(DeletePreviousDownloadsTest, StopsAtTheFirstFileThatCannotBeDeleted) {
    test::TempHome home;
    for (const char* name : {"astro.xml", "email.xml", "news.xml"}) home.WriteFile(std::string("xml/") + name, "x");
    test::ImmutableFile locked(home.path() + "xml/email.xml");
    if (!locked.set()) GTEST_SKIP() << "this file system cannot mark files immutable";
    EXPECT_FALSE(DeletePreviousDownloads(true));
    EXPECT_EQ(g_lastError, "Error: Not able to delete previous download file 'email.xml'");
    EXPECT_EQ(FileNamesIn(home.path() + "xml/"), (std::set<std::string>{"email.xml", "news.xml"}));
}

TEST(InfoPageFileNameTest, NamedAfterTheThirdPageInByteOrder) {
    std::vector<std::string> manyPages;
    for (int i = 0; i < 32; ++i) manyPages.push_back("c" + std::to_string(10 + i) + ".xml");
    // Listed after the c pages, though they would sort first by bytes.
    for (const char* late : {"Z1.xml", "Z2.xml", "Z3.xml"}) manyPages.push_back(late);
    const std::string longName = std::string(251, 'q') + ".xml";

    const struct {
        const char* description;
        std::vector<std::string> pages;
        std::string expected;
    } cases[] = {
        {"no pages", {}, ""},
        {"three pages", {"astro.xml", "news.xml", "weather.xml"}, ""},
        {"three pages and other files",
         {"astro.xml", "news.xml", "weather.xml", "notes.txt", "xml"},
         ""},
        {"the seven default pages",
         {"astro.xml", "directions.xml", "email.xml", "movies.xml", "news.xml", "stocks.xml", "weather.xml"},
         "xml/emzzz.xml"},
        {"upper case sorts first", {"astro.xml", "weather.xml", "News.xml", "movies.xml"}, "xml/mozzz.xml"},
        {"short third name", {"ad.xml", "ab.xml", "ac.xml", "aa.xml"}, "xml/azzz.xml"},
        {"third name of seven characters", {"a1.xml", "a2.xml", "abc.xml", "b.xml"}, "xml/abzzz.xml"},
        {"Latin-1 after ASCII", {"\xE9t\xE9.xml", "zz.xml", "yy.xml", "\xE0la.xml"}, "xml/\xE0lzzz.xml"},
        {"only the first 32 listed take part", manyPages, "xml/c1zzz.xml"},
        {"a name longer than a slot", {"a.xml", "b.xml", longName, "z.xml"}, "xml/qqzzz.xml"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        test::TempHome home;
        for (const auto& name : c.pages) home.WriteFile("xml/" + name, "<x/>");
        EXPECT_EQ(InfoPageFileName(), c.expected);
    }
}

TEST(InfoPageFileNameTest, WithoutPageFolderPagesGoBesideTheExecutable) {
    test::TempHome home(false);
    home.WriteFile("xml", "a file where the page folder should be");
    CreateDataFolders();
    ASSERT_EQ(PageFolderName(), "");
    EXPECT_EQ(PageFileName("news.xmt"), "news.xml");
    for (const char* name : {"astro.xml", "email.xml", "news.xml", "stocks.xml"}) home.WriteFile(name, "<x/>");
    EXPECT_EQ(InfoPageFileName(), "nezzz.xml");
}

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
    EXPECT_EQ(FileNamesIn(home.path() + "cfg/"), std::set<std::string>{"citycode.ini"});
}

}  // namespace
}  // namespace tp
