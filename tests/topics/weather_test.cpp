#include "topics/weather.h"
#include "topics/topic_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/globals.h"
#include "pages/page_format.h"
#include "platform/text_file.h"
#include "settings/custom_store.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_home.h"
#include "tests/support/terminated_text.h"

namespace tp {
namespace {

using test::Terminated;

std::string ReadWeatherData(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(ReadBinaryFile(TIDEPOST_SOURCE_DIR "/tests/data/weather/" + name, bytes)) << name;
    return bytes;
}

CodeLists SampleLists() {
    CodeLists lists;
    lists.area = {"62701 - Springfield, IL", "10001 - New York, NY"};
    lists.city = {"UKXX/UKXX0085 - London", "FRXX/FRXX0076 - Paris", "SPXX/SPXX0050 - Madrid",
                  "GMXX/GMXX0007 - Berlin"};
    return lists;
}

class WeatherExtractTest : public ::testing::Test {
protected:
    test::TempHome home;
};

struct GoldenCase {
    const char* input;
    bool european;
    int language;
    int days;
    const char* code;
    const char* expectedCard;
    const char* expectedTitle;
};

TEST_F(WeatherExtractTest, RecordedPagesGiveTheExpectedCards) {
    const GoldenCase cases[] = {
        {"us_springfield.txt", false, 0, 4, "62701", "us_springfield_4_days.card", " Springfield, IL"},
        {"us_springfield.txt", false, 0, 3, "62701", "us_springfield_3_days.card", " Springfield, IL"},
        {"us_cut_short.txt", false, 0, 3, "99999", "us_cut_short_3_days.card", ""},
        {"europe_en_london.txt", true, 0, 5, "UKXX/UKXX0085", "europe_en_london_5_days.card", "London"},
        {"europe_en_london.txt", true, 0, 2, "UKXX/UKXX0085", "europe_en_london_2_days.card", "London"},
        {"europe_fr_paris.txt", true, 1, 1, "FRXX/FRXX0076", "europe_fr_paris_1_day.card", "Paris"},
        {"europe_fr_paris.txt", true, 1, 5, "FRXX/FRXX0076", "europe_fr_paris_5_days.card", "Paris"},
        {"europe_es_madrid.txt", true, 4, 3, "SPXX/SPXX0050", "europe_es_madrid_3_days.card", "Madrid"},
    };
    for (const GoldenCase& c : cases) {
        SCOPED_TRACE(c.expectedCard);
        WeatherSettings weather;
        weather.language = c.language;
        weather.forecastUsa = c.days;
        weather.forecastEuro = c.days;
        std::vector<char> text = Terminated(ReadWeatherData(c.input));
        WeatherSlot slot;
        const bool cut = c.european
                             ? ExtractWeatherEurope(text.data(), weather, SampleLists(), c.code, slot)
                             : ExtractWeatherUsa(text.data(), weather, SampleLists(), c.code, slot);
        ASSERT_TRUE(cut) << g_lastError;
        EXPECT_EQ(slot.body, ReadWeatherData(c.expectedCard));
        EXPECT_EQ(slot.title, c.expectedTitle);
    }
}

TEST_F(WeatherExtractTest, MissingTagsNameTheTagThatWasNotFound) {
    const std::string london = ReadWeatherData("europe_en_london.txt");
    const std::string blanks(5000, ' ');
    const std::string lineFeeds(5000, '\n');
    struct Case {
        const char* what;
        bool european;
        int language;
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {"US page without the tag", false, 0, "High / Low   Precip.%\n1 2\n",
         "HTML error: weather tag 'Precip. %' not found"},
        {"US tag in other letter case", false, 0, "precip. %\nTue 78 / 62\nSunny\n",
         "HTML error: weather tag 'Precip. %' not found"},
        {"US tag cut by the end of the text", false, 0, "Day High / Low Precip. ",
         "HTML error: weather tag 'Precip. %' not found"},
        {"empty body", false, 0, "", "HTML error: weather tag 'Precip. %' not found"},
        {"body of blanks", false, 0, blanks, "HTML error: weather tag 'Precip. %' not found"},
        {"body of line feeds", true, 0, lineFeeds, "HTML error: weather2 tag 'Today' not found"},
        {"body of zeros", true, 0, std::string(5000, '\0'), "HTML error: weather2 tag 'Today' not found"},
        {"page in another language", true, 2, london, "HTML error: weather2 tag 'Heute' not found"},
        {"no end marker: today runs to the end", true, 2,
         ReadWeatherData("europe_de_no_end_marker.txt"), "HTML error: weather2 tag 'Maximal' not found"},
        {"end inside the first day's high", true, 0, london.substr(0, london.find("Low: 13")),
         "HTML error: weather2 tag 'Low' not found"},
        {"only three days of temperatures", true, 0, london.substr(0, london.find("High: n/a")),
         "HTML error: weather2 tag 'High' not found"},
        {"end right after the today word", true, 0, "Today", "HTML error: weather2 tag 'High' not found"},
        {"high word at the very end", true, 0, london.substr(0, london.find("High: 21") + 4),
         "HTML error: weather2 tag 'Low' not found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WeatherSettings weather;
        weather.language = c.language;
        std::vector<char> text = Terminated(c.text);
        WeatherSlot slot;
        g_lastError.clear();
        const bool cut = c.european ? ExtractWeatherEurope(text.data(), weather, {}, "X", slot)
                                    : ExtractWeatherUsa(text.data(), weather, {}, "X", slot);
        EXPECT_FALSE(cut);
        EXPECT_EQ(g_lastError, c.message);
    }
}

TEST_F(WeatherExtractTest, CustomizedTagsReplaceTheDefaults) {
    ASSERT_TRUE(SetCustomString(171, std::string_view("Rain %")));
    ASSERT_TRUE(SetCustomString(153, std::string_view("Highest")));
    WeatherSettings weather;
    weather.forecastUsa = 1;
    std::vector<char> us = Terminated("Day  Rain %\nMon Sunny\nJun 3\n");
    WeatherSlot slot;
    ASSERT_TRUE(ExtractWeatherUsa(us.data(), weather, {}, "1", slot)) << g_lastError;
    EXPECT_EQ(slot.body, "High / Low(\xB0" "F) - Precip. %<br/><br/>\nMon Sunny Jun 3<br/>");

    std::vector<char> europe = Terminated(ReadWeatherData("europe_en_london.txt"));
    EXPECT_FALSE(ExtractWeatherEurope(europe.data(), weather, {}, "1", slot));
    EXPECT_EQ(g_lastError, "HTML error: weather2 tag 'Highest' not found");
}

TEST_F(WeatherExtractTest, LongTextIsCutWithoutBreakingALine) {
    WeatherSettings weather;
    weather.forecastUsa = 10;
    weather.forecastEuro = 5;
    std::string longLine(100000, 'x');

    std::vector<char> us = Terminated("Precip. %\n" + longLine + "\nsecond\n" + longLine + "\n");
    WeatherSlot slot;
    ASSERT_TRUE(ExtractWeatherUsa(us.data(), weather, {}, "1", slot));
    EXPECT_LE(slot.body.size(), kWeatherBodyMax);
    EXPECT_GT(slot.body.size(), kWeatherBodyMax - 10);
    EXPECT_TRUE(slot.body.ends_with("x<br/>"));

    std::string london = ReadWeatherData("europe_en_london.txt");
    london.insert(london.find("Bright"), longLine.substr(0, 3000));
    london.insert(london.find("Sunny intervals"), longLine.substr(0, 3000));
    std::vector<char> europe = Terminated(london);
    std::vector<std::string> cityNames{"UKXX/UKXX0085 - " + longLine.substr(0, 400)};
    CodeLists lists;
    lists.city = cityNames;
    ASSERT_TRUE(ExtractWeatherEurope(europe.data(), weather, lists, "UKXX/UKXX0085", slot)) << g_lastError;
    EXPECT_EQ(slot.title.size(), kWeatherTitleMax);
    // Each of the five lines is cut before its closing break; the breaks stay.
    const std::size_t firstLineEnd = slot.body.find("<br/>");
    EXPECT_EQ(firstLineEnd, kWeatherEuroLineMax - 5);
    EXPECT_EQ(slot.body.find("<br/>", firstLineEnd + 5), 2 * kWeatherEuroLineMax - 5);
    EXPECT_NE(slot.body.find("Thursday: Light  showers , Max 19\xB0" "C Min 12\xB0" "C<br/>"),
              std::string::npos);
}

TEST(WeatherSources, EachLanguageHasItsAddressAndTags) {
    struct Case {
        int language;
        EuropeanWeatherSource expected;
    };
    const Case cases[] = {
        {0, {130, 151, 152, 153, 154}}, {1, {105, 155, 156, 157, 158}},
        {2, {129, 167, 168, 169, 170}}, {3, {127, 159, 160, 161, 162}},
        {4, {128, 163, 164, 165, 166}}, {5, {105, 151, 152, 153, 154}},
        {255, {105, 151, 152, 153, 154}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        const EuropeanWeatherSource got = EuropeanWeatherSourceFor(c.language);
        EXPECT_EQ(got.address, c.expected.address);
        EXPECT_EQ(got.todayWord, c.expected.todayWord);
        EXPECT_EQ(got.lowWord, c.expected.lowWord);
        EXPECT_EQ(got.highWord, c.expected.highWord);
        EXPECT_EQ(got.endMarker, c.expected.endMarker);
    }
}

// The whole topic against a local server that plays the conversion service.
class DownloadWeatherTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"weather.txt", "weather.xmt"}) {
            std::string bytes;
            ASSERT_TRUE(ReadBinaryFile(test::SourceDataFolder() + "cfg/" + name, bytes));
            home.WriteFile(std::string("cfg/") + name, bytes);
        }
        home.WriteFile("cfg/areacode.ini", "62701 - Springfield, IL\r\n10001 - New York, NY\r\n");
        home.WriteFile("cfg/citycode.ini", "UKXX/UKXX0085 - London\r\nSPXX/SPXX0050 - Madrid\r\n");
        ASSERT_TRUE(SetCustomString(104, server.url("/us?zip=%s")));
        ASSERT_TRUE(SetCustomString(130, server.url("/en?city=%s")));
        ASSERT_TRUE(SetCustomString(105, server.url("/fr?city=%s")));
        ASSERT_TRUE(SetCustomString(128, server.url("/es?city=%s")));
        server.Serve("/us", ReadWeatherData("us_springfield.txt"));
        server.Serve("/en", ReadWeatherData("europe_en_london.txt"));
        server.Serve("/fr", ReadWeatherData("europe_en_london.txt"));
        server.Serve("/es", ReadWeatherData("europe_es_madrid.txt"));
        settings.main.weather.download = true;
        settings.main.weather.forecastUsa = 4;
        settings.main.weather.forecastEuro = 5;
    }

    std::string PagePath() const { return home.path() + "xml/weather.xml"; }
    std::string Page() const { return home.ReadFile("xml/weather.xml"); }
    std::vector<std::string> Targets() const {
        std::vector<std::string> targets;
        for (const test::RecordedRequest& request : server.Requests()) targets.push_back(request.target);
        return targets;
    }
    static std::string Card(int id, const std::string& title, const std::string& body) {
        std::string card;
        AppendCard(card, kWeatherCardsCapacity, id, title, body);
        return ToTextModeBytes(card);
    }

    test::TempHome home;
    test::HttpServer server;
    Settings settings;
};

TEST_F(DownloadWeatherTest, ZipCodesThenCityCodesBecomeNumberedCards) {
    settings.main.weather.zip = "62701,,10001";
    settings.main.weather.cityCode = "UKXX/UKXX0085";
    ASSERT_TRUE(DownloadTopic(TopicOf(TopicId::Weather), settings, Fetcher(), PagePath())) << g_lastError;

    EXPECT_EQ(Targets(), (std::vector<std::string>{"/us?zip=62701", "/us?zip=10001",
                                                   "/en?city=UKXX/UKXX0085"}));
    const std::string page = Page();
    const std::string usBody = ReadWeatherData("us_springfield_4_days.card");
    EXPECT_NE(page.find(Card(101, " Springfield, IL", usBody)), std::string::npos);
    EXPECT_NE(page.find(Card(102, " New York, NY", usBody)), std::string::npos);
    EXPECT_NE(page.find(Card(103, "London", ReadWeatherData("europe_en_london_5_days.card"))),
              std::string::npos);
    EXPECT_NE(page.find("<a href=\"#103\">London</a><br/>"), std::string::npos);
    EXPECT_EQ(g_totalSize, FromTextModeBytes(page).size());
}

TEST_F(DownloadWeatherTest, LanguageChoosesAddressAndTags) {
    struct Case {
        int language;
        const char* expectedTarget;
        const char* expectedCard;
    };
    const Case cases[] = {
        {4, "/es?city=SPXX/SPXX0050", "europe_es_madrid_3_days.card"},
        // Beyond the list: the French address with the English words.
        {7, "/fr?city=SPXX/SPXX0050", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        server.Clear();
        server.Serve("/es", ReadWeatherData("europe_es_madrid.txt"));
        server.Serve("/fr", ReadWeatherData("europe_en_london.txt"));
        settings.main.weather.language = c.language;
        settings.main.weather.forecastEuro = 3;
        settings.main.weather.cityCode = "SPXX/SPXX0050";
        ASSERT_TRUE(DownloadTopic(TopicOf(TopicId::Weather), settings, Fetcher(), PagePath())) << g_lastError;
        EXPECT_EQ(Targets(), std::vector<std::string>{c.expectedTarget});
        if (c.expectedCard) {
            EXPECT_NE(Page().find(Card(101, "Madrid", ReadWeatherData(c.expectedCard))), std::string::npos);
        } else {
            EXPECT_NE(Page().find("Today: Bright spells"), std::string::npos);
        }
    }
}

TEST_F(DownloadWeatherTest, AFailingCodeEndsTheTopicWithoutAPage) {
    server.Serve("/broken", "Day / Date   Forecast   (no precipitation column)\n");
    ASSERT_TRUE(SetCustomString(130, server.url("/broken?city=%s")));
    settings.main.weather.zip = "62701";
    settings.main.weather.cityCode = "UKXX/UKXX0085,SPXX/SPXX0050";
    EXPECT_FALSE(DownloadTopic(TopicOf(TopicId::Weather), settings, Fetcher(), PagePath()));
    EXPECT_EQ(g_lastError, "HTML error: weather2 tag 'Today' not found");
    EXPECT_EQ(Targets().size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(PagePath()));

    ASSERT_TRUE(SetCustomString(104, "http://127.0.0.1:1/us?zip=%s"));
    EXPECT_FALSE(DownloadTopic(TopicOf(TopicId::Weather), settings, Fetcher(), PagePath()));
    EXPECT_TRUE(g_lastError.starts_with("InternetOpenUrl Error: ")) << g_lastError;
    EXPECT_FALSE(std::filesystem::exists(PagePath()));
}

TEST_F(DownloadWeatherTest, AtMostTenPlacesAreFetched) {
    settings.main.weather.zip = "1,2,3,4,5,6,7,8";
    settings.main.weather.cityCode = "A,B,C,D";
    ASSERT_TRUE(DownloadTopic(TopicOf(TopicId::Weather), settings, Fetcher(), PagePath())) << g_lastError;
    const std::vector<std::string> targets = Targets();
    ASSERT_EQ(targets.size(), kWeatherSlots);
    EXPECT_EQ(targets.back(), "/en?city=B");
    const std::string page = Page();
    EXPECT_NE(page.find("<Card ID=\"110\">"), std::string::npos);
    EXPECT_EQ(page.find("<Card ID=\"111\">"), std::string::npos);
}

TEST_F(DownloadWeatherTest, ListsOfOnlyCommasGiveAClearFailure) {
    settings.main.weather.zip = ",";
    settings.main.weather.cityCode = ",,";
    EXPECT_FALSE(DownloadTopic(TopicOf(TopicId::Weather), settings, Fetcher(), PagePath()));
    EXPECT_EQ(g_lastError, "Weather error: no area or city code to download");
    EXPECT_TRUE(Targets().empty());
    EXPECT_FALSE(std::filesystem::exists(PagePath()));
}

}  // namespace
}  // namespace tp
