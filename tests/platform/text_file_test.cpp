#include "platform/text_file.h"

#include "platform/dir_list.h"

#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace tp {
namespace {

TEST(TextFile, WritesLineFeedsAsCrLfAndReadsThemBack) {
    test::TempHome home(false);
    const std::string text = std::string("a\nb\r\nc\xE9\0d\n", 11);
    ASSERT_TRUE(WriteTextFile(home.path() + "t.txt", text));
    EXPECT_EQ(home.ReadFile("t.txt"), std::string("a\r\nb\r\r\nc\xE9\0d\r\n", 14));
    std::string back;
    ASSERT_TRUE(ReadTextFile(home.path() + "t.txt", back, 1000));
    EXPECT_EQ(back, text);
}

// A rewrite leaves exactly the new bytes, whether the old file was longer,
// shorter or missing.
TEST(TextFile, RewriteLeavesOnlyTheNewText) {
    test::TempHome home(false);
    const std::string path = home.path() + "copy.txt";
    for (const std::string text : {"first body\nof two lines\n", "short", "a longer body than the short one\n", ""}) {
        ASSERT_TRUE(RewriteTextFile(path, text));
        EXPECT_EQ(home.ReadFile("copy.txt"), ToTextModeBytes(text));
    }
}

TEST(TextFile, ReadStopsAtMaxCharactersAfterConversion) {
    test::TempHome home(false);
    home.WriteFile("t.txt", "ab\r\ncd\rx");
    struct Case {
        std::size_t max;
        const char* expected;
    };
    const Case cases[] = {{0, ""}, {2, "ab"}, {3, "ab\n"}, {5, "ab\ncd"}, {6, "ab\ncd\r"},
                          {100, "ab\ncd\rx"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.max);
        std::string out;
        ASSERT_TRUE(ReadTextFile(home.path() + "t.txt", out, c.max));
        EXPECT_EQ(out, c.expected);
    }
}

TEST(TextFile, MissingFileFailsToRead) {
    std::string out = "old";
    EXPECT_FALSE(ReadTextFile("/nonexistent-tidepost/x.txt", out, 10));
    EXPECT_TRUE(out.empty());
}

TEST(ReplaceFileAtomically, ReplacesContentAndLeavesNoTemporaryFile) {
    test::TempHome home(false);
    home.WriteFile("s.ini", "old");
    ASSERT_TRUE(ReplaceFileAtomically(home.path() + "s.ini", "new content"));
    EXPECT_EQ(home.ReadFile("s.ini"), "new content");
    EXPECT_EQ(ListFiles(home.path(), "*").size(), 1u);
}

TEST(ReplaceFileAtomically, FailureKeepsOldFileAndLeavesNoTemporaryFile) {
    test::TempHome home(false);
    home.WriteFile("s.ini/keep", "old");  // a folder cannot be replaced by a file
    EXPECT_FALSE(ReplaceFileAtomically(home.path() + "s.ini", "new"));
    EXPECT_EQ(home.ReadFile("s.ini/keep"), "old");
    EXPECT_TRUE(ListFiles(home.path(), "*").empty());
}

// download.txt, the settings, the code lists and the pages: a link put in
// their place never makes the program write or create a file elsewhere.
TEST(TextFile, WritersRefuseLinksAndKeepTheRawCopyPrivate) {
    test::TempHome home(false);
    const mode_t umask = ::umask(022);
    ASSERT_TRUE(RewriteTextFile(home.path() + "download.txt", "page"));
    ::umask(umask);
    EXPECT_EQ(std::filesystem::status(home.path() + "download.txt").permissions(), std::filesystem::perms(0600));

    home.WriteFile("outside.txt", "keep");
    const struct {
        const char* name;
        std::function<bool(const std::string&)> write;
    } writers[] = {
        {"rewrite", [](const std::string& path) { return RewriteTextFile(path, "fetched"); }},
        {"write", [](const std::string& path) { return WriteTextFile(path, "fetched"); }},
        {"replace", [](const std::string& path) { return ReplaceFileAtomically(path, "fetched"); }},
    };
    for (const auto& writer : writers) {
        SCOPED_TRACE(writer.name);
        for (const char* target : {"outside.txt", "created.txt"}) {
            const std::string link = home.path() + "link.txt";
            ::unlink(link.c_str());
            ASSERT_EQ(::symlink((home.path() + target).c_str(), link.c_str()), 0);
            EXPECT_FALSE(writer.write(link));
            EXPECT_TRUE(std::filesystem::is_symlink(link));
        }
        EXPECT_EQ(home.ReadFile("outside.txt"), "keep");
        EXPECT_FALSE(home.Exists("created.txt"));
    }
}

TEST(ReplaceFileAtomically, MissingFolderFails) {
    EXPECT_FALSE(ReplaceFileAtomically("/nonexistent-tidepost/s.ini", "new"));
}

}  // namespace
}  // namespace tp
