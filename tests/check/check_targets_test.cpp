#include "check/source_check.h"

#include "app/globals.h"
#include "topics/news_categories.h"
#include "tests/check/check_home.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace tp {
namespace {

using test::SamplePage;

class TargetForAddressTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::PrepareCheckHome(home)) << g_lastError;
        settings.main.weather.language = 0;
        settings.main.weather.cityCode = "UKXX/UKXX0085";
        settings.main.news.world = settings.main.news.tech = settings.main.news.sport = false;
    }

    test::TempHome home;
    Settings settings;
};

TEST_F(TargetForAddressTest, AnAddressOutsideTheUsersPlanIsCutWithItsOwnTags) {
    CheckTarget german;
    ASSERT_TRUE(TargetForAddress(settings, 129, "GMXX/GMXX0007", {}, german)) << g_lastError;
    const CutOutcome forecast = CutText(german, SamplePage("weather/de/GMXX_GMXX0007.txt"));
    ASSERT_EQ(forecast.cards.size(), 1u) << forecast.error;
    EXPECT_NE(forecast.cards[0].body.find("Heute: "), std::string::npos) << forecast.cards[0].body;

    // No news category is ticked, and the one checked is not left ticked.
    CheckTarget frenchSport;
    ASSERT_TRUE(TargetForAddress(settings, 110, "", {}, frenchSport)) << g_lastError;
    const CutOutcome news = CutText(frenchSport, SamplePage("news/fr/sport.txt"));
    ASSERT_GT(news.cards.size(), 1u) << news.error;
    EXPECT_EQ(news.cards[0].title, "Sport News");
    EXPECT_TRUE(std::none_of(std::begin(g_newsCategories), std::end(g_newsCategories), [](bool on) { return on; }));
}

TEST_F(TargetForAddressTest, WhatCannotBeCheckedIsRefusedWithAMessage) {
    const struct {
        int address;
        const char* code;
        const char* message;
    } rows[] = {
        {999, "", "no topic takes the address of key String999"},
        {171, "", "no topic takes the address of key String171"},  // a tag, not an address
        {104, "", "the address of key String104 needs a code"},
        {140, "", "the address of key String140 needs a code"},
        {117, "EURUSD", "'EURUSD' cannot be put into the address of key String117"},
        {137, "7", "code '7' cannot be used with the address of key String137"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.address) + " '" + row.code + "'");
        g_lastError.clear();
        CheckTarget target;
        EXPECT_FALSE(TargetForAddress(settings, row.address, row.code, {}, target));
        EXPECT_NE(g_lastError.find(row.message), std::string::npos) << g_lastError;
    }
}

}  // namespace
}  // namespace tp
