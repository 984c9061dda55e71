#include "run/good_texts.h"

#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace tp {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> KeptFiles() {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(GoodTextsFolder())) files.push_back(entry.path());
    return files;
}

// Makes every kept file an hour older, so that the next one kept is the
// newest whatever the clock's grain.
void AgeKeptFiles() {
    for (const fs::path& file : KeptFiles()) fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(1));
}

TEST(GoodTexts, EachSourceAndCodeKeepsItsOwnLastText) {
    test::TempHome home;
    EXPECT_FALSE(LastGoodText(104, "10001"));
    ASSERT_TRUE(KeepGoodText(104, "10001", "first"));
    ASSERT_TRUE(KeepGoodText(104, "60601", "other code"));
    ASSERT_TRUE(KeepGoodText(130, "10001", "other source"));
    ASSERT_TRUE(KeepGoodText(104, "10001", "again"));
    EXPECT_EQ(LastGoodText(104, "10001"), "again");
    EXPECT_EQ(LastGoodText(104, "60601"), "other code");
    EXPECT_EQ(LastGoodText(130, "10001"), "other source");
    EXPECT_FALSE(LastGoodText(130, "60601"));
    EXPECT_EQ(KeptFiles().size(), 3u);
}

TEST(GoodTexts, TheBudgetDropsTheOldestButNeverTheNewest) {
    test::TempHome home;
    const std::string third(kGoodTextsBudget / 3, 'x');
    for (const char* code : {"a", "b", "c"}) {
        ASSERT_TRUE(KeepGoodText(117, code, third));
        AgeKeptFiles();
    }
    ASSERT_TRUE(KeepGoodText(117, "d", "small"));
    EXPECT_FALSE(LastGoodText(117, "a"));
    EXPECT_TRUE(LastGoodText(117, "b"));

    AgeKeptFiles();
    ASSERT_TRUE(KeepGoodText(117, "huge", std::string(kGoodTextsBudget + 1, 'y')));
    EXPECT_TRUE(LastGoodText(117, "huge"));
    EXPECT_EQ(KeptFiles().size(), 1u);
}

TEST(GoodTexts, ALinkInPlaceOfTheFileOrFolderIsNotFollowed) {
    test::TempHome home;
    const fs::path elsewhere = home.path() + "elsewhere";
    fs::create_directory(elsewhere);
    ASSERT_TRUE(KeepGoodText(140, "leo", "kept"));
    const fs::path file = KeptFiles().at(0);
    home.WriteFile("elsewhere/" + file.filename().string(), "planted");

    fs::remove(file);
    fs::create_symlink(elsewhere / file.filename(), file);
    EXPECT_FALSE(LastGoodText(140, "leo"));

    const fs::path folder = fs::path(GoodTextsFolder()).parent_path();
    fs::remove_all(folder);
    fs::create_directory_symlink(elsewhere, folder);
    EXPECT_FALSE(LastGoodText(140, "leo"));
    EXPECT_FALSE(KeepGoodText(140, "leo", "through the link"));
    EXPECT_EQ(home.ReadFile("elsewhere/" + file.filename().string()), "planted");
}

}  // namespace
}  // namespace tp
