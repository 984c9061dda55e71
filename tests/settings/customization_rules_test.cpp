#include "settings/customization_rules.h"

#include "app/globals.h"
#include "app/paths.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tp {
namespace {

TEST(CustomizationRules, AddressesLoseTheBlanksAtBothEndsOnly) {
    const struct {
        const char* address;
        const char* trimmed;
        bool marker;
    } rows[] = {
        {"  x/%s  ", "x/%s", true},
        {"\t\nhttp://a/b c\r\n", "http://a/b c", false},
        {"   ", "", false},
        {"%", "%", false},
        {"a%%sb", "a%%sb", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.address);
        EXPECT_EQ(TrimAddress(row.address), row.trimmed);
        EXPECT_EQ(HasParameterMarker(row.address), row.marker);
    }
}

TEST(CustomizationRules, FilesOutsideTheConfigurationFolderAreCopiedIn) {
    test::TempHome home;
    home.WriteFile("cfg/mine.txt", "in place");
    home.WriteFile("elsewhere/icon.txt", "new icon\r\n");
    home.WriteFile("cfg/icon.txt", "old icon");
    EXPECT_TRUE(IsInConfigFolder(home.path() + "cfg/mine.txt"));
    EXPECT_TRUE(IsInConfigFolder(home.path() + "xml/../cfg/mine.txt"));
    EXPECT_FALSE(IsInConfigFolder(home.path() + "elsewhere/icon.txt"));
    EXPECT_FALSE(IsInConfigFolder(home.path() + "cfg/sub/icon.txt"));
    std::filesystem::create_directory_symlink(home.path() + "cfg", home.path() + "link");
    EXPECT_TRUE(IsInConfigFolder(home.path() + "link/mine.txt"));

    ASSERT_TRUE(CopyIntoConfigFolder(home.path() + "elsewhere/icon.txt"));
    EXPECT_EQ(home.ReadFile("cfg/icon.txt"), "new icon\r\n");
    EXPECT_EQ(home.ReadFile("elsewhere/icon.txt"), "new icon\r\n");

    g_lastError.clear();
    EXPECT_FALSE(CopyIntoConfigFolder(home.path() + "elsewhere/missing.txt"));
    EXPECT_NE(g_lastError.find("missing.txt"), std::string::npos);
    EXPECT_FALSE(home.Exists("cfg/missing.txt"));
}

}  // namespace
}  // namespace tp
