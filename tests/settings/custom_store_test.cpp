#include "settings/custom_store.h"

#include "app/globals.h"
#include "app/paths.h"
#include "resources/string_table.h"

#include "tests/support/immutable_file.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <thread>

namespace tp {
namespace {

const char* const kIni = "cfg/Tidepost.ini";

TEST(CustomStore, ReadsStoredTextOrFallsBackToTheDefault) {
    struct Case {
        const char* name;
        std::string file;
        int number;
        std::string expected;
    };
    const Case cases[] = {
        {"no file", "", 119, "Last Trade"},
        {"stored text", "[Customization]\r\nString119=Price\r\n", 119, "Price"},
        {"empty value means default", "[Customization]\r\nString119=\r\n", 119, "Last Trade"},
        {"tilde becomes line feed", "[Customization]\r\nString119=a~b~~\r\n", 119, "a\nb\n\n"},
        {"names match without case", "[customization]\r\nSTRING119=x\r\n", 119, "x"},
        {"other section ignored", "[Settings]\r\nString119=x\r\n", 119, "Last Trade"},
        {"key has three digits", "[Customization]\r\nString99=x\r\nString099=y\r\n", 99, "y"},
        {"stored text without default", "[Customization]\r\nString250=z\r\n", 250, "z"},
        {"no text and no default", "[Customization]\r\n", 250, ""},
        {"number 0 is never looked up", "[Customization]\r\nString000=x\r\n", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempHome home;
        if (!c.file.empty()) home.WriteFile(kIni, c.file);
        EXPECT_EQ(GetCustomString(c.number), c.expected);
    }
}

TEST(CustomStore, StoredTextsReadBackAsWritten) {
    const std::string cases[] = {
        "x\ny",
        "IMDb Rating\n   ",   // trailing blanks
        "   leading",
        "\t",
        "\"quoted\"",
        "'single'",
        "\"",
        "a=b;c#d [e]",
        std::string("caf\xE9 m\xEDn."),
        std::string(kCustomTextMax, 'x'),
        std::string(kCustomTextMax - 1, 'x') + " ",  // quoted on disk, still fits
    };
    test::TempHome home;
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.substr(0, 40));
        ASSERT_TRUE(SetCustomString(121, text));
        EXPECT_EQ(GetCustomString(121), text);
    }
}

TEST(CustomStore, LineFeedsAreStoredAsTilde) {
    test::TempHome home;
    ASSERT_TRUE(SetCustomString(104, "x\ny"));
    EXPECT_NE(home.ReadFile(kIni).find("[Customization]\r\nString104=x~y\r\n"), std::string::npos)
        << home.ReadFile(kIni);
    // A "~" of the user's own comes back as a line break.
    ASSERT_TRUE(SetCustomString(104, "a~b"));
    EXPECT_EQ(GetCustomString(104), "a\nb");
}

TEST(CustomStore, EmptyTextOrNoTextRestoresTheDefault) {
    test::TempHome home;
    ASSERT_TRUE(SetCustomString(119, "Price"));
    ASSERT_TRUE(SetCustomString(119, ""));
    EXPECT_EQ(GetCustomString(119), "Last Trade");
    EXPECT_NE(home.ReadFile(kIni).find("String119=\r\n"), std::string::npos);

    ASSERT_TRUE(SetCustomString(119, "Price"));
    ASSERT_TRUE(SetCustomString(119, std::nullopt));
    EXPECT_EQ(GetCustomString(119), "Last Trade");
    EXPECT_EQ(home.ReadFile(kIni).find("String119"), std::string::npos);
}

TEST(CustomStore, RefusedTextsLeaveTheFileAsItWas) {
    struct Case {
        const char* name;
        int number;
        std::string text;
    };
    const Case cases[] = {
        {"one character too long", 104, std::string(kCustomTextMax + 1, 'x')},
        {"carriage return", 104, "a\r\nb"},
        {"negative number", -5, "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempHome home;
        const std::string before = "[Customization]\r\nString104=keep\r\n";
        home.WriteFile(kIni, before);
        g_lastError.clear();
        EXPECT_FALSE(SetCustomString(c.number, c.text));
        EXPECT_FALSE(g_lastError.empty());
        EXPECT_EQ(home.ReadFile(kIni), before);
    }
}

TEST(CustomStore, NumberZeroTouchesNoFile) {
    test::TempHome home;
    EXPECT_EQ(GetCustomString(0), "");
    EXPECT_TRUE(SetCustomString(0, "x"));
    EXPECT_TRUE(SetCustomString(0, std::nullopt));
    EXPECT_FALSE(home.Exists(kIni));
}

// Texts a window holds before they are saved stand in for the stored ones
// on this thread only, and only while their scope lasts.
TEST(CustomStore, ScopedTextsStandInWithoutTouchingTheFile) {
    test::TempHome home;
    const std::string file = "[Customization]\r\nString119=Price\r\nString171=Rain\r\n";
    home.WriteFile(kIni, file);
    {
        const ScopedCustomTexts outer({{119, "Quote"}, {171, ""}});
        EXPECT_EQ(GetCustomString(119), "Quote");
        EXPECT_EQ(GetCustomString(171), LoadStringResource(171));  // empty: the default, as once saved
        {
            const ScopedCustomTexts inner({{119, "Bid"}});
            EXPECT_EQ(GetCustomString(119), "Bid");
            EXPECT_EQ(GetCustomUrl(119, std::nullopt), "Bid");
        }
        EXPECT_EQ(GetCustomString(119), "Quote");
        std::string elsewhere;
        std::thread([&elsewhere] { elsewhere = GetCustomString(119); }).join();
        EXPECT_EQ(elsewhere, "Price");
    }
    EXPECT_EQ(GetCustomString(119), "Price");
    EXPECT_EQ(home.ReadFile(kIni), file);
}

TEST(CustomStore, InsertParameterFillsTheFirstMarkerOnly) {
    struct Case {
        std::string address;
        std::optional<std::string> parameter;
        std::string expected;
    };
    const Case cases[] = {
        {"a%sb%sc", "P", "aPb%sc"},
        {"aPb%sc", "Q", "aPbQc"},
        {"a%sb", std::nullopt, "a%sb"},
        {"no marker", "P", "no marker"},
        {"%s", "", ""},
        {"%s%s", "%s", "%s%s"},  // the parameter itself is never searched
        {"50%", "P", "50%"},
        {"%%s", "P", "%P"},
        {"", "P", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        std::optional<std::string_view> parameter;
        if (c.parameter) parameter = *c.parameter;
        EXPECT_EQ(InsertParameter(c.address, parameter), c.expected);
    }
}

TEST(CustomStore, CustomUrlUsesTheStoredAddress) {
    test::TempHome home;
    EXPECT_EQ(GetCustomUrl(117, "USD/EUR"), InsertParameter(LoadStringResource(117), "USD/EUR"));
    ASSERT_TRUE(SetCustomString(137, "http://h/?a=%s&b=%s&c=%s&d=%s"));
    std::string url = GetCustomUrl(137, "1 Main St");
    for (const char* value : {"Springfield, IL", "2 Oak Rd", "Shelbyville, IL"}) url = InsertParameter(url, value);
    EXPECT_EQ(url, "http://h/?a=1 Main St&b=Springfield, IL&c=2 Oak Rd&d=Shelbyville, IL");
    ASSERT_TRUE(SetCustomString(140, "http://h/fixed"));
    EXPECT_EQ(GetCustomUrl(140, "leo"), "http://h/fixed");
}

TEST(CustomStore, ResetRemovesKeys100To299Only) {
    test::TempHome home;
    home.WriteFile(kIni,
                   "[Settings]\r\nString150=other section\r\n"
                   "[Customization]\r\nString099=low\r\nString100=a\r\nString150=b\r\n"
                   "String299=c\r\nString300=high\r\nString119=\r\n");
    EXPECT_TRUE(ResetCustomStrings());
    const std::string after = home.ReadFile(kIni);
    for (const char* gone : {"String100", "String150=b", "String299", "String119"}) {
        EXPECT_EQ(after.find(gone), std::string::npos) << gone;
    }
    for (const char* kept : {"String150=other section", "String099=low", "String300=high"}) {
        EXPECT_NE(after.find(kept), std::string::npos) << kept;
    }
    EXPECT_EQ(GetCustomString(150), LoadStringResource(150));
}

TEST(CustomStore, ResetThatCannotWriteSaysSoAndKeepsTheTexts) {
    test::TempHome home;
    const std::string stored = "[Customization]\r\nString140=mine\r\n";
    home.WriteFile(kIni, stored);
    test::ImmutableFile locked(home.path() + "cfg");
    if (!locked.set()) GTEST_SKIP() << "the file system cannot lock a folder";
    EXPECT_FALSE(ResetCustomStrings());
    EXPECT_EQ(g_lastError, "File error: cannot update '" + GetIniPath() + "'");
    EXPECT_EQ(home.ReadFile(kIni), stored);
}

}  // namespace
}  // namespace tp
