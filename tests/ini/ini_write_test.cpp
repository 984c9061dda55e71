#include "settings/ini_file.h"

#include "app/globals.h"
#include "platform/text_file.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tp::ini {
namespace {

using namespace std::string_literals;

struct Op {
    std::string section;
    std::string key;
    std::optional<std::string> value;  // nothing: delete the key
    bool expected = true;
};

bool Apply(const std::string& path, const Op& op) {
    return op.value ? WriteString(path, op.section, op.key, *op.value) : DeleteKey(path, op.section, op.key);
}

std::string OpText(const Op& op) {
    return (op.value ? "put " : "delete ") + op.section + "/" + op.key;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

struct WriteCase {
    const char* title;
    std::optional<std::string> before;  // nothing: no file
    std::vector<Op> ops;
    std::optional<std::string> after;  // nothing: still no file
};

void RunWriteCases(const std::vector<WriteCase>& cases) {
    test::TempHome home(false);
    const std::string path = home.path() + "t.ini";
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.title);
        std::remove(path.c_str());
        if (c.before) home.WriteFile("t.ini", *c.before);
        for (const Op& op : c.ops) EXPECT_EQ(Apply(path, op), op.expected) << OpText(op);
        if (c.after) {
            EXPECT_EQ(home.ReadFile("t.ini"), *c.after);
        } else {
            EXPECT_FALSE(home.Exists("t.ini"));
        }
        // A temporary file left behind would pile up in the settings folder.
        EXPECT_EQ(FolderEntries(home.path()).size(), c.after ? 1u : 0u);
    }
}

TEST(IniWriteString, ChangesOnlyWhatItMust) {
    RunWriteCases({
        {"creates the file", std::nullopt, {{"App", "key", ""s}}, "[App]\r\nkey=\r\n"s},
        {"names lose spaces, the value is kept as given", std::nullopt, {{" App ", " k ", "  v  "s}},
         "[App]\r\nk=  v  \r\n"s},
        {"no escaping", std::nullopt, {{"s", "k", ";x#y"s}}, "[s]\r\nk=;x#y\r\n"s},
        {"new section at the end", "[App1]\r\nk1=s1\r\n[App2]\r\nk4=s4\r\n"s, {{"App3", "k5", "s5"s}},
         "[App1]\r\nk1=s1\r\n[App2]\r\nk4=s4\r\n[App3]\r\nk5=s5\r\n"s},
        {"NULs before the first header are kept", "Data \0 before \0 first \0 section"s,
         {{"section1", "key1", "string1"s}}, "Data \0 before \0 first \0 section\r\n[section1]\r\nkey1=string1\r\n"s},
        {"a lone CR already ends the file", "[a]\rk=1\r"s, {{"b", "j", "2"s}}, "[a]\rk=1\r[b]\r\nj=2\r\n"s},
        {"new keys follow in the order written", "[s]\r\nb=x\r\na=x\r\n"s,
         {{"s", "z", ""s}, {"s", "b", ""s}, {"s", "y", ""s}, {"s", "a", ""s}}, "[s]\r\nb=\r\na=\r\nz=\r\ny=\r\n"s},
        {"names the reader could not find are refused", ""s,
         {{"S", "z", ""s},
          {"S", ";y", ""s, false},
          {"S", "a", ""s},
          {"S", "\tb", ""s, false},
          {"S", "b\v", ""s, false},
          {"\tS", "c", ""s, false},
          {"S\t", "c", ""s, false}},
         "[S]\r\nz=\r\na=\r\n"s},
        {"a UTF-8 mark is kept", "\xEF\xBB\xBF[s]\r\nk=1\r\n"s, {{"s", "k", "2"s}, {"t", "j", "3"s}},
         "\xEF\xBB\xBF[s]\r\nk=2\r\n[t]\r\nj=3\r\n"s},
        {"a file of a UTF-8 mark alone", "\xEF\xBB\xBF"s, {{"s", "k", "1"s}}, "\xEF\xBB\xBF[s]\r\nk=1\r\n"s},
        {"blank line stays before the next header", "[S]\r\nk=1\r\n\r\n[T]\r\n"s, {{"S", "n", "2"s}},
         "[S]\r\nk=1\r\nn=2\r\n\r\n[T]\r\n"s},
        {"new key after an unterminated last entry", "[s]\r\nk=1"s, {{"s", "j", "2"s}}, "[s]\r\nk=1\r\nj=2\r\n"s},
        {"new key after an unterminated header", "[s]"s, {{"s", "k", "1"s}}, "[s]\r\nk=1\r\n"s},
        {"new key goes to the first of duplicate sections", "[s]\r\na=1\r\n[t]\r\n[s]\r\nb=2\r\n"s,
         {{"s", "b", "3"s}}, "[s]\r\na=1\r\nb=3\r\n[t]\r\n[s]\r\nb=2\r\n"s},
        {"entries before any header are not the section's", "k=0\r\n[s]\r\n"s, {{"s", "k", "1"s}},
         "k=0\r\n[s]\r\nk=1\r\n"s},
        {"replacing keeps the file's spelling", "[Sec]\r\nKey=old"s, {{"SEC", "KEY", "New"s}},
         "[Sec]\r\nKey=New\r\n"s},
        {"replacing leaves other lines alone", "; top\r\n\r\n[s]\r\n  a = 1\r\nb=2\r\n"s, {{"s", "b", "3"s}},
         "; top\r\n\r\n[s]\r\n  a = 1\r\nb=3\r\n"s},
        {"replacing an indented entry", "[s]\n\t k = 1 \nj=2\n"s, {{"s", "K", "9"s}}, "[s]\nk=9\r\nj=2\n"s},
        {"only the first duplicate is replaced", "[s]\r\nk=1\r\nk=2\r\n"s, {{"s", "k", "3"s}},
         "[s]\r\nk=3\r\nk=2\r\n"s},
        {"empty section name", ""s, {{"", "k", "v"s}}, "[]\r\nk=v\r\n"s},
        {"8-bit bytes are kept", "[\xC4]\r\n\xE9=\xFF\r\n"s, {{"\xC4", "\xE9", "\x80\xA0"s}},
         "[\xC4]\r\n\xE9=\x80\xA0\r\n"s},
    });
}

TEST(IniDeleteKey, RemovesOnlyTheEntryLine) {
    RunWriteCases({
        {"removes the line with its break, twice is harmless", "[App1]\r\nk1=s1\r\nk2=s2\r\n"s,
         {{"App1", "k2", std::nullopt}, {"App1", "k2", std::nullopt}}, "[App1]\r\nk1=s1\r\n"s},
        {"a missing file becomes empty", std::nullopt, {{"App", "key", std::nullopt}}, ""s},
        {"comments cannot be deleted", "[s]\r\n;k=v\r\n"s, {{"s", ";k", std::nullopt}}, "[s]\r\n;k=v\r\n"s},
        {"the header stays, comments around stay", "[s]\r\n;c\r\nk=1\r\n;d\r\n"s, {{"S", "K", std::nullopt}},
         "[s]\r\n;c\r\n;d\r\n"s},
        {"unterminated last entry", "[s]\r\nj=1\r\nk=2"s, {{"s", "k", std::nullopt}}, "[s]\r\nj=1\r\n"s},
        {"every copy in the section goes", "[s]\nk=1\n;c\nK = 2\nj=3\nk=4\n[t]\nk=5\n"s,
         {{"s", "k", std::nullopt}}, "[s]\n;c\nj=3\n[t]\nk=5\n"s},
        {"a key of another section stays", "[a]\r\nk=1\r\n[b]\r\nk=2\r\n"s, {{"b", "k", std::nullopt}},
         "[a]\r\nk=1\r\n[b]\r\n"s},
    });
}

TEST(IniWriteFailure, BadArgumentsLeaveTheFileAsItWas) {
    const std::string before = "[s]\r\nk=old\r\n";
    RunWriteCases({
        {"CR in the value", before, {{"s", "k", "a\rb"s, false}}, before},
        {"LF in the value", before, {{"s", "k", "a\nb"s, false}}, before},
        {"LF in the key", before, {{"s", "k\n", "v"s, false}, {"s", "k\n", std::nullopt, false}}, before},
        {"CR in the section", before, {{"s\r", "k", "v"s, false}, {"\rs", "k", std::nullopt, false}}, before},
        {"value longer than the longest value", before, {{"s", "k", std::string(kMaxValueLength + 1, 'v'), false}},
         before},
        {"] in the section", before, {{"s]x", "k", "v"s, false}}, before},
        {"= in the key", before, {{"s", "a=b", "v"s, false}}, before},
        {"key starting with [", before, {{"s", "\t[k", "v"s, false}}, before},
        {"UTF-16 file", "\xFF\xFE[\0s\0]\0"s, {{"s", "k", "v"s, false}, {"s", "k", std::nullopt, false}},
         "\xFF\xFE[\0s\0]\0"s},
        {"big-endian UTF-16 file", "\xFE\xFF\0[\0s\0]"s, {{"s", "k", "v"s, false}}, "\xFE\xFF\0[\0s\0]"s},
        {"nothing created on a bad argument", std::nullopt, {{"s", "k", "\n"s, false}}, std::nullopt},
    });
}

TEST(IniWriteFailure, MissingFolderCreatesNothing) {
    test::TempHome home(false);
    const std::string path = home.path() + "no-such-folder/t.ini";
    g_lastError.clear();
    EXPECT_FALSE(WriteString(path, "s", "k", "v"));
    EXPECT_NE(g_lastError.find("no-such-folder"), std::string::npos) << g_lastError;
    EXPECT_FALSE(DeleteKey(path, "s", "k"));
    EXPECT_TRUE(FolderEntries(home.path()).empty());
}

// Root ignores permissions, so a full disk is made with a file-size limit in a
// child process; the child reports through its exit code.
TEST(IniWriteFailure, FullDiskLeavesTheOldFileByteForByte) {
    test::TempHome home(false);
    const std::string path = home.path() + "t.ini";
    const std::string before = "[s]\r\nk=old\r\nj=1\r\n";
    home.WriteFile("t.ini", before);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8, 8};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(10);
        int failures = 0;
        g_lastError.clear();
        if (WriteString(path, "s", "k", "a value that does not fit")) failures |= 1;
        if (g_lastError.empty()) failures |= 2;
        if (DeleteKey(path, "s", "j")) failures |= 4;
        ::_exit(failures);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(home.ReadFile("t.ini"), before);
    EXPECT_EQ(FolderEntries(home.path()), std::vector<std::string>{"t.ini"});

    // Without the limit the same write goes through.
    EXPECT_TRUE(WriteString(path, "s", "k", "a value that does not fit"));
    EXPECT_EQ(home.ReadFile("t.ini"), "[s]\r\nk=a value that does not fit\r\nj=1\r\n");
}

TEST(IniRoundTrip, ValuesComeBackAsReadRulesAllow) {
    struct Case {
        std::string value;
        std::string readBack;
    };
    const Case cases[] = {
        {"line one~line two~", "line one~line two~"},
        {"a=b=c", "a=b=c"},
        {";not a comment", ";not a comment"},
        {"say \"hi\" to 'them'", "say \"hi\" to 'them'"},
        {"\"quoted\"", "quoted"},
        {"'single'", "single"},
        {"\"  kept blanks  \"", "  kept blanks  "},
        {"  lost blanks \t", "lost blanks"},
        {"\xE9t\xE9 \xA3\xFF\x80", "\xE9t\xE9 \xA3\xFF\x80"},
        {"", ""},
        {std::string(kMaxValueLength, 'x'), std::string(kMaxValueLength, 'x')},
    };
    test::TempHome home(false);
    const std::string path = home.path() + "t.ini";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.substr(0, 40));
        ASSERT_TRUE(WriteString(path, "Customization", "String101", c.value));
        EXPECT_EQ(GetString(path, "Customization", "String101", "(default)", kMaxValueLength + 1), c.readBack);
        EXPECT_EQ(home.ReadFile("t.ini"), "[Customization]\r\nString101=" + c.value + "\r\n");
    }
}

TEST(IniHandEditedFile, WritesTouchOnlyTheirLines) {
    test::TempHome home(false);
    std::string original;
    std::string expected;
    ASSERT_TRUE(ReadBinaryFile(TIDEPOST_SOURCE_DIR "/tests/data/ini_hand_edited.ini", original));
    ASSERT_TRUE(ReadBinaryFile(TIDEPOST_SOURCE_DIR "/tests/data/ini_hand_edited_after_writes.ini", expected));
    home.WriteFile("t.ini", original);
    const std::string path = home.path() + "t.ini";

    EXPECT_TRUE(WriteString(path, "SETTINGS", "deletexml", "1"));
    EXPECT_TRUE(WriteString(path, "Weather", "Language", "2"));
    EXPECT_TRUE(WriteString(path, "News", "Download", "1"));
    EXPECT_TRUE(WriteString(path, "Email", "Download", "1"));
    EXPECT_TRUE(DeleteKey(path, "customization", "string102"));
    EXPECT_TRUE(DeleteKey(path, "Astro", "Missing"));
    EXPECT_EQ(home.ReadFile("t.ini"), expected);
}

TEST(IniFile, EveryCallSeesChangesMadeByOthers) {
    test::TempHome home(false);
    const std::string path = home.path() + "t.ini";
    home.WriteFile("t.ini", "[s]\r\nk=1\r\n");
    EXPECT_EQ(GetInt(path, "s", "k", 0), 1);
    home.WriteFile("t.ini", "[s]\r\nk=2\r\n");
    EXPECT_EQ(GetInt(path, "s", "k", 0), 2);
    home.WriteFile("t.ini", "[s]\r\nj=3\r\n");
    EXPECT_TRUE(WriteString(path, "s", "k", "4"));
    EXPECT_EQ(home.ReadFile("t.ini"), "[s]\r\nj=3\r\nk=4\r\n");
}

}  // namespace
}  // namespace tp::ini
