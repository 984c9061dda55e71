#include "settings/custom_sources.h"

#include "app/globals.h"
#include "resources/string_table.h"
#include "settings/custom_store.h"

#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tp {
namespace {

const char* const kIni = "cfg/Tidepost.ini";

TEST(CustomSources, EveryRowNamesTextsThatHaveDefaults) {
    const auto topics = CustomizableTopics();
    for (const SourceRow& row : SourceRows()) {
        SCOPED_TRACE(row.label);
        EXPECT_NE(std::find(topics.begin(), topics.end(), row.topic), topics.end());
        EXPECT_NE(LoadStringResource(row.addressNumber).find("%"), std::string_view::npos)
            << "an address";
        for (int tag : row.tagNumbers) {
            if (tag != 0) {
                EXPECT_FALSE(LoadStringResource(tag).empty()) << tag;
            }
        }
    }
    for (std::string_view topic : topics) {
        SCOPED_TRACE(topic);
        EXPECT_LE(LoadTopicSources(topic).size(), kMaxTopicSources);
    }
}

TEST(CustomSources, TopicsListTheirSourcesInOrderWithCurrentTexts) {
    test::TempHome home;
    ASSERT_TRUE(SetCustomString(152, "Lowest"));

    const std::vector<SourceEntry> weather = LoadTopicSources("Weather");
    std::vector<std::string> labels;
    for (const SourceEntry& entry : weather) labels.push_back(entry.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"Weather (USA)", "Weather (UK)", "Weather (FR)",
                                                "Weather (IT)", "Weather (ES)", "Weather (DE)"}));
    ASSERT_EQ(weather.size(), 6u);
    EXPECT_EQ(weather[0].addressText, LoadStringResource(104));
    EXPECT_EQ(weather[0].tagTexts[0], "Precip. %");
    EXPECT_EQ(weather[0].tagNumbers[1], 0);
    EXPECT_EQ(weather[0].tagTexts[1], "");
    EXPECT_EQ(weather[1].tagTexts[1], "Lowest");

    struct Case {
        const char* topic;
        std::size_t count;
    };
    for (const Case& c : {Case{"News", 6}, Case{"Stocks", 2}, Case{"Movies", 2}, Case{"Directions", 2},
                          Case{"Astro", 1}, Case{"Email", 0}, Case{"weather", 0}, Case{"", 0}}) {
        SCOPED_TRACE(c.topic);
        EXPECT_EQ(LoadTopicSources(c.topic).size(), c.count);
    }
}

TEST(CustomSources, SavingUnchangedSourcesStoresEveryTextAndKeepsItExact) {
    test::TempHome home;
    const std::vector<SourceEntry> movies = LoadTopicSources("Movies");
    ASSERT_TRUE(SaveTopicSources(movies));
    const std::string file = home.ReadFile(kIni);
    for (const char* key : {"String120=", "String121=", "String124=", "String126=", "String133=",
                            "String134=", "String173="}) {
        EXPECT_NE(file.find(key), std::string::npos) << key;
    }
    EXPECT_EQ(file.find("String000"), std::string::npos);
    // The stored texts, blanks and line breaks included, read back unchanged.
    for (const SourceEntry& entry : LoadTopicSources("Movies")) {
        SCOPED_TRACE(entry.label);
        const auto original = std::find_if(movies.begin(), movies.end(),
                                           [&](const SourceEntry& e) { return e.label == entry.label; });
        ASSERT_NE(original, movies.end());
        EXPECT_EQ(entry.addressText, original->addressText);
        EXPECT_EQ(entry.tagTexts, original->tagTexts);
    }
}

TEST(CustomSources, OneRefusedTextStoresNothing) {
    test::TempHome home;
    std::vector<SourceEntry> news = LoadTopicSources("News");
    news[0].addressText = "http://changed/";
    news[5].tagTexts[0] = std::string(kCustomTextMax + 1, 'x');
    g_lastError.clear();
    EXPECT_FALSE(SaveTopicSources(news));
    EXPECT_FALSE(g_lastError.empty());
    EXPECT_FALSE(home.Exists(kIni));
    EXPECT_EQ(GetCustomString(106), LoadStringResource(106));
}

}  // namespace
}  // namespace tp
