#include "pages/page_files.h"

#include "app/globals.h"
#include "app/paths.h"
#include "tests/support/immutable_file.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
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

}  // namespace
}  // namespace tp
