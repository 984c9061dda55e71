// The recorded pages of every topic, fetched from the running sample provider
// through the default addresses, and cut with the default tags, icons and
// templates: what the demo shows must extract whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/globals.h"
#include "topics/topic_table.h"
#include "app/paths.h"
#include "topics/astro.h"
#include "topics/directions.h"
#include "topics/movies.h"
#include "topics/stocks.h"
#include "topics/weather.h"
#include "platform/text_file.h"
#include "settings/sign_list.h"
#include "tests/topics/topic_page_support.h"
#include "tests/support/running_provider.h"
#include "tests/support/temp_home.h"

namespace tp {
namespace {

const std::string& kPagesFolder = test::kRecordedPagesFolder;

// Installation data in a fresh home, every web address on the provider.
class RecordedPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::CopyDefaultConfig(home);
        provider.UseForEveryAddress();
    }

    std::string PagePath(const std::string& name) const { return home.path() + "xml/" + name; }
    // The written page as the program reads it (text mode).
    std::string Page(const std::string& name) const {
        return FromTextModeBytes(home.ReadFile("xml/" + name));
    }

    test::TempHome home;
    test::RunningProvider provider;
};

std::size_t CountMatches(const std::string& text, const char* pattern) {
    const std::regex expression(pattern);
    return static_cast<std::size_t>(std::distance(
        std::sregex_iterator(text.begin(), text.end(), expression), std::sregex_iterator()));
}

// The codes of the recorded pages in a folder, sorted; a European city code
// "FRXX/FRXX0076" is recorded as FRXX_FRXX0076, a currency pair as EUR_USD.
std::vector<std::string> RecordedCodes(const std::string& folder, bool withSlash) {
    std::vector<std::string> codes;
    for (const auto& entry : std::filesystem::directory_iterator(kPagesFolder + folder)) {
        std::string code = entry.path().stem().string();
        if (withSlash) code.replace(code.find('_'), 1, "/");
        codes.push_back(code);
    }
    std::sort(codes.begin(), codes.end());
    return codes;
}

std::string Join(const std::vector<std::string>& codes) {
    std::string joined;
    for (const std::string& code : codes) joined += (joined.empty() ? "" : ",") + code;
    return joined;
}

// The recorded routes are named after the itinerary's four address values as
// the planner receives them: "_" between the values, "+" for each blank.
std::vector<Itinerary> RecordedItineraries(const std::string& folder, int country) {
    std::vector<Itinerary> itineraries;
    for (const auto& entry : std::filesystem::directory_iterator(kPagesFolder + folder)) {
        std::string stem = entry.path().stem().string();
        std::replace(stem.begin(), stem.end(), '+', ' ');
        std::vector<std::string> values;
        std::istringstream pieces(stem);
        for (std::string piece; std::getline(pieces, piece, '_');) values.push_back(piece);
        EXPECT_EQ(values.size(), 4u) << entry.path();
        if (values.size() != 4) continue;
        itineraries.push_back({values[0] + " to " + values[2], country, values[0], values[1],
                               values[2], values[3]});
    }
    std::sort(itineraries.begin(), itineraries.end(),
              [](const Itinerary& a, const Itinerary& b) { return a.name < b.name; });
    return itineraries;
}

TEST_F(RecordedPagesTest, WeatherForecastsOfEveryEdition) {
    const std::vector<std::string> zips = RecordedCodes("weather/us", false);
    ASSERT_EQ(zips.size(), 3u);
    const char* languages[] = {"en", "fr", "de", "it", "es"};
    for (int language = 0; language < 5; ++language) {
        SCOPED_TRACE(languages[language]);
        const std::vector<std::string> cities =
            RecordedCodes(std::string("weather/") + languages[language], true);
        Settings settings;
        settings.main.weather.zip = Join(zips);
        settings.main.weather.cityCode = Join(cities);
        settings.main.weather.language = language;
        ASSERT_TRUE(DownloadTopic(TopicOf(TopicId::Weather), settings, Fetcher(), PagePath("weather.xml"))) << g_lastError;

        const std::string page = Page("weather.xml");
        EXPECT_EQ(CountMatches(page, "<Card ID="), zips.size() + cities.size());
        // Ten forecast days per US card, four full days per European card.
        EXPECT_EQ(CountMatches(page, "[0-9]+ / [0-9]+ [0-9]+ [^<]+<br/>"), 10 * zips.size());
        EXPECT_EQ(CountMatches(page, ": [^<:]+ , Max -?[0-9]+\xB0"
                                     "C Min -?[0-9]+\xB0"
                                     "C<br/>"),
                  4 * cities.size());
        EXPECT_NE(page.find("<Title> New York, NY</Title>"), std::string::npos);
    }
}

TEST_F(RecordedPagesTest, FilmsOfBothSources) {
    const struct {
        int lang;
        std::size_t films;
        const char* lastTitle;
    } sources[] = {{0, 4, "Paper Kites (2002)"}, {1, 3, "La Derniere Ecole"}};
    for (const auto& source : sources) {
        SCOPED_TRACE(source.lastTitle);
        Settings settings;
        settings.main.movies.langMovies = source.lang;
        ASSERT_TRUE(DownloadTopic(TopicOf(TopicId::Movies), settings, Fetcher(), PagePath("movies.xml"))) << g_lastError;
        const std::string page = Page("movies.xml");
        EXPECT_EQ(CountMatches(page, "<Card ID=\"10[1-9]\">"), source.films);
        EXPECT_NE(page.find("<Title>" + std::string(source.lastTitle) + "</Title>"),
                  std::string::npos);
    }
}

TEST_F(RecordedPagesTest, EveryRecordedRateHistoryAndQuote) {
    const std::vector<std::string> pairs = RecordedCodes("rates", true);
    const std::vector<std::string> symbols = RecordedCodes("quotes", false);
    ASSERT_EQ(pairs.size(), 5u);
    ASSERT_EQ(symbols.size(), 4u);
    Settings settings;
    settings.main.stocks.xRate = Join(pairs);
    settings.main.stocks.symbols = Join(symbols);
    settings.main.stocks.xRateDays = 30;
    ASSERT_TRUE(DownloadTopic(TopicOf(TopicId::Stocks), settings, Fetcher(), PagePath("stocks.xml"))) << g_lastError;

    const std::string page = Page("stocks.xml");
    EXPECT_EQ(CountMatches(page, "<Card ID="), pairs.size() + symbols.size());
    EXPECT_EQ(CountMatches(page, "\\[2026-[0-9]{2}-[0-9]{2}\\] [0-9]+\\.[0-9]{5} [A-Z]{3}<br/>"),
              30 * pairs.size());
    EXPECT_EQ(CountMatches(page, "Symbol: [A-Z]+<br/>Last Trade: [0-9:]+[AP]M ET<br/>Value: [0-9.]+"
                                 "<br/>Change: [-+][0-9.]+ / [-+][0-9.]+%<br/>Volume: [0-9,]+<br/>"),
              symbols.size());
    EXPECT_EQ(page.find("not available"), std::string::npos);
}

TEST_F(RecordedPagesTest, RoutesOfBothCountries) {
    std::vector<Itinerary> itineraries = RecordedItineraries("directions/us", kCountryUsa);
    const std::vector<Itinerary> french = RecordedItineraries("directions/fr", kCountryFrance);
    ASSERT_FALSE(itineraries.empty());
    ASSERT_FALSE(french.empty());
    itineraries.insert(itineraries.end(), french.begin(), french.end());
    for (std::size_t i = 0; i < itineraries.size(); ++i) {
        ASSERT_TRUE(WriteItinerary(GetIniPath(), static_cast<int>(i) + 1, itineraries[i]));
    }
    Settings settings;
    ASSERT_TRUE(DownloadTopic(TopicOf(TopicId::Directions), settings, Fetcher(), PagePath("directions.xml"))) << g_lastError;

    const std::string page = Page("directions.xml");
    EXPECT_EQ(CountMatches(page, "<Card ID="), itineraries.size());
    // Every card: its header, a blank line, then at least one numbered step.
    EXPECT_EQ(CountMatches(page, "<Text><p>[^<]+<br/>[^<]+<br/>(([^<]+<br/>){2}){1,3}<br/>"
                                 "1\\. [^<]+<br/>"),
              itineraries.size());
    for (const Itinerary& itinerary : itineraries) {
        EXPECT_NE(page.find("<Title>" + itinerary.name + "</Title>"), std::string::npos)
            << itinerary.name;
    }
}

TEST_F(RecordedPagesTest, HoroscopesOfEverySign) {
    Settings settings;
    for (std::string_view entry : kZodiacSignEntries) AddSign(settings.more.astro.signs, entry);
    ASSERT_TRUE(DownloadTopic(TopicOf(TopicId::Astro), settings, Fetcher(), PagePath("astro.xml"))) << g_lastError;
    const std::string page = Page("astro.xml");
    EXPECT_EQ(CountMatches(page, "<Card ID="), kZodiacSignEntries.size());
    // Each card holds the horoscope's sentences and nothing of the links after them.
    EXPECT_EQ(CountMatches(page, "<Title>[A-Z][a-z]+</Title>\n</Header>\n<Body>\n"
                                 "<Text><p>[A-Z][^<\\[]{80,}</p>"),
              kZodiacSignEntries.size());
}

}  // namespace
}  // namespace tp
