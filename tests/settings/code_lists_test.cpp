#include "settings/code_lists.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/globals.h"
#include "tests/support/temp_home.h"

namespace tp {
namespace {

using Entries = std::vector<std::string>;

TEST(CodeListText, LinesInFileOrderWithoutEmptyOnes) {
    struct Case {
        const char* what;
        std::string text;
        Entries expected;
    };
    const Case cases[] = {
        {"plain lines", "b - B\na - A\n", {"b - B", "a - A"}},
        {"empty lines skipped", "\n\nx\n\n\ny", {"x", "y"}},
        {"no line feed at all", "only", {"only"}},
        {"nothing", "", {}},
        {"only line feeds", "\n\n\n", {}},
        {"blank line kept as an entry", "a\n \nb\n", {"a", " ", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SplitCodeListText(c.text), c.expected);
    }
}

TEST(CodeListFiles, ReadFromTheConfigurationFolder) {
    test::TempHome home;
    home.WriteFile("cfg/areacode.ini", "10001 - New York, NY\r\n\r\n60601 - Chicago, IL\r\n");
    home.WriteFile("cfg/xrates.ini", "USD/EUR\r\nEUR/GBP");
    g_lastError = "earlier failure";

    const CodeLists lists = ReadCodeLists();
    EXPECT_EQ(lists.area, (Entries{"10001 - New York, NY", "60601 - Chicago, IL"}));
    EXPECT_TRUE(lists.city.empty());  // no citycode.ini: an empty list, quietly
    EXPECT_EQ(lists.rate, (Entries{"USD/EUR", "EUR/GBP"}));
    EXPECT_EQ(g_lastError, "earlier failure");
}

TEST(CodeListFiles, HugeFilesAreReadUpToTheBufferSize) {
    test::TempHome home;
    // One line longer than the read buffer, and a file of exactly that size.
    home.WriteFile("cfg/citycode.ini", std::string(200000, 'c'));
    home.WriteFile("cfg/areacode.ini", std::string(kTransferCapacity - 3, 'a') + "\nb\n");

    const Entries city = ReadCodeList(CodeListKind::City);
    ASSERT_EQ(city.size(), 1u);
    EXPECT_EQ(city[0].size(), kTransferCapacity - 1);
    const Entries area = ReadCodeList(CodeListKind::Area);
    ASSERT_EQ(area.size(), 2u);
    EXPECT_EQ(area[1], "b");
}

TEST(CodeOfEntry, EachListTakesItsOwnPart) {
    struct Case {
        CodeListKind kind;
        const char* entry;
        const char* code;
    };
    const Case cases[] = {
        {CodeListKind::Area, "12345 - Springfield", "12345"},
        {CodeListKind::Area, "123", "123"},
        {CodeListKind::City, "FRXX/FRXX0076 - Paris", "FRXX/FRXX0076"},
        {CodeListKind::City, "FRXX/FRXX0076 Paris", ""},
        {CodeListKind::City, "A - B - C", "A"},
        {CodeListKind::Rate, "USD/EUR", "USD/EUR"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(CodeOfEntry(c.kind, c.entry), c.code);
    }
}

TEST(CodeField, RemovingACode) {
    struct Case {
        const char* field;
        const char* code;
        const char* after;
    };
    const Case cases[] = {
        {"11111,22222,33333", "11111", "22222,33333"},
        {"11111,22222,33333", "33333", "11111,22222"},
        {"11111,22222,33333", "22222", "11111,33333"},
        {"11111", "11111", ""},
        {"", "11111", ""},
        {"11111,22222", "44444", "11111,22222"},
        // Only whole codes count: a code inside a longer one stays put.
        {"FRXX/FRXX00761,FRXX/FRXX0076", "FRXX/FRXX0076", "FRXX/FRXX00761"},
        {"USD/EURO,USD/EUR,USD/EUR", "USD/EUR", "USD/EURO,USD/EUR"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " - " + c.code);
        std::string field = c.field;
        EXPECT_TRUE(RemoveCodeFromField(field, c.code));
        EXPECT_EQ(field, c.after);
    }
    std::string field = "11111";
    EXPECT_FALSE(RemoveCodeFromField(field, ""));
    EXPECT_EQ(field, "11111");
}

TEST(CodeField, AddingACodeListsItOnceAtTheEnd) {
    std::string field;
    ASSERT_TRUE(AddCodeToField(field, "11111", 119));
    ASSERT_TRUE(AddCodeToField(field, "22222", 119));
    ASSERT_TRUE(AddCodeToField(field, "11111", 119));
    EXPECT_EQ(field, "22222,11111");
    ASSERT_TRUE(AddCodeToField(field, "11111", 119));
    EXPECT_EQ(field, "22222,11111");

    EXPECT_FALSE(AddCodeToField(field, "", 119));
    // A field the settings file could not keep whole is refused, unchanged.
    EXPECT_FALSE(AddCodeToField(field, "33333", 15));
    EXPECT_EQ(field, "22222,11111");
    EXPECT_TRUE(AddCodeToField(field, "33333", 17));
    EXPECT_EQ(CodeFieldMax(CodeListKind::Area), 119u);
    EXPECT_EQ(CodeFieldMax(CodeListKind::City), 119u);
}

TEST(CodeListEditor, TildesShowAsLineBreaksAndLineBreaksComeBackAsLineFeeds) {
    struct Case {
        const char* what;
        std::string file;
        std::string shown;
    };
    const Case cases[] = {
        {"two lines", "a - A\nb - B\n", "a - A\nb - B\n"},
        {"a tilde is a line break", "a - A~b - B", "a - A\nb - B"},
        {"nothing", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CodeListTextForEditor(c.file), c.shown);
        EXPECT_EQ(CodeListTextFromEditor(c.shown), CodeListTextForEditor(c.file));
    }
    EXPECT_EQ(CodeListTextFromEditor("a\r\nb~c\rd"), "a\nb\nc\rd");
}

TEST(CodeListEditor, FilesAreReadWholeAndReplacedWholeOrNotAtAll) {
    test::TempHome home;
    std::string text = "stale";
    EXPECT_TRUE(ReadCodeFileForEditor(CodeListKind::City, text)) << "a missing file starts empty";
    EXPECT_EQ(text, "");

    home.WriteFile("cfg/citycode.ini", "A - a\r\nB - b\r\n");
    ASSERT_TRUE(ReadCodeFileForEditor(CodeListKind::City, text));
    EXPECT_EQ(text, "A - a\nB - b\n");
    ASSERT_TRUE(WriteCodeFile(CodeListKind::City, text));
    EXPECT_EQ(home.ReadFile("cfg/citycode.ini"), "A - a\r\nB - b\r\n");

    // What one read takes is kept; one character more would be cut by a save.
    const std::string longest(kCodeFileMax, 'x');
    ASSERT_TRUE(WriteCodeFile(CodeListKind::Rate, longest));
    EXPECT_TRUE(ReadCodeFileForEditor(CodeListKind::Rate, text));
    EXPECT_EQ(text.size(), kCodeFileMax);
    g_lastError.clear();
    EXPECT_FALSE(WriteCodeFile(CodeListKind::Rate, longest + "y"));
    EXPECT_NE(g_lastError.find("81919"), std::string::npos) << g_lastError;
    home.WriteFile("cfg/xrates.ini", longest + "y");
    EXPECT_FALSE(ReadCodeFileForEditor(CodeListKind::Rate, text));
    EXPECT_NE(g_lastError.find("xrates.ini"), std::string::npos) << g_lastError;

    // A file that exists but cannot be read is not replaced by an empty list.
    std::filesystem::create_directory(home.path() + "cfg/areacode.ini");
    EXPECT_FALSE(ReadCodeFileForEditor(CodeListKind::Area, text));
    EXPECT_FALSE(WriteCodeFile(CodeListKind::Area, "x\n"));
}

TEST(PlaceNames, AreaAndCityNamesFromTheirLists) {
    const Entries area = {"12345 - Springfield", "1234", "54321", "54321 - Second", "99999 -"};
    const Entries city = {"FRXX/FRXX0076 - Paris", "UKXX/UKXX0085 -", "GMXX/GMXX0007",
                          "FRXX/FRXX00761 - Not Paris"};
    struct Case {
        bool isArea;
        const char* code;
        const char* name;
    };
    const Case cases[] = {
        {true, "12345", " Springfield"},
        {true, "00000", ""},
        {true, "54321", ""},   // the bare entry matches first and has no name
        {true, "1234", ""},    // "1234 " against the 4-character entry "1234"
        {true, "99999", ""},   // shorter than the name's start
        {false, "FRXX/FRXX0076", "Paris"},
        {false, "FRXX/FRXX00761", "Not Paris"},
        {false, "UKXX/UKXX0085", ""},
        {false, "GMXX/GMXX0007", ""},  // the entry is shorter than code and blank
        {false, "FRXX", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(c.isArea ? LookUpAreaName(area, c.code) : LookUpCityName(city, c.code), c.name);
    }
}

}  // namespace
}  // namespace tp
