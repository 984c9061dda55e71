#include "tools/sample_provider/sample_provider.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/paths.h"
#include "extract/astro.h"
#include "extract/directions.h"
#include "extract/movies.h"
#include "extract/stocks.h"
#include "extract/weather.h"
#include "platform/text_file.h"
#include "resources/string_table.h"
#include "settings/custom_store.h"
#include "settings/sign_list.h"
#include "tests/support/running_provider.h"
#include "tests/support/temp_home.h"

namespace tp::sample {
namespace {

using test::RunningProvider;
const std::string& kPagesFolder = test::kRecordedPagesFolder;

TEST(RouteTable, TargetsFindTheirRecordedPages) {
    RouteTable table;
    std::string error;
    ASSERT_TRUE(table.Parse("# comment\n"
                            "weather.example.com  /weather/print/*   weather/us/*.txt\n"
                            "\n"
                            "uk.forecast.example.org /*/*/index_c.html weather/en/*_*.txt  # UK\n"
                            "news.example.com /news?tmpl=index&cid=* news/*.txt\n"
                            "* /d/*/*/data30.html rates/*_*.html\n",
                            error))
        << error;
    struct Case {
        const char* host;
        const char* path;
        const char* page;  // nullptr: no route
    };
    const Case cases[] = {
        {"weather.example.com", "/weather/print/10001", "weather/us/10001.txt"},
        {"WEATHER.example.com", "/weather/print/10001", "weather/us/10001.txt"},
        {"uk.forecast.example.org", "/UKXX/UKXX0085/index_c.html", "weather/en/UKXX_UKXX0085.txt"},
        {"news.example.com", "/news?tmpl=index&cid=738", "news/738.txt"},
        {"", "/d/USD/EUR/data30.html", "rates/USD_EUR.html"},
        {"anything.example", "/d/USD/EUR/data30.html", "rates/USD_EUR.html"},
        {"fr.forecast.example.org", "/UKXX/UKXX0085/index_c.html", nullptr},
        {"weather.example.com", "/weather/print/", nullptr},
        {"weather.example.com", "/weather/print/1/2", nullptr},
        {"weather.example.com", "/weather/print/..", nullptr},
        {"uk.forecast.example.org", "/../etc/index_c.html", nullptr},
        {"uk.forecast.example.org", "/UKXX0085/index_c.html", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.host) + c.path);
        const std::optional<std::string> page = table.Find(c.host, c.path);
        if (c.page) {
            ASSERT_TRUE(page.has_value());
            EXPECT_EQ(*page, c.page);
        } else {
            EXPECT_FALSE(page.has_value()) << *page;
        }
    }
}

TEST(RouteTable, MalformedLinesAreReportedWithTheirNumber) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"a /b c\nhost /path\n", "line 2: expected host, path and page file"},
        {"a /b c d\n", "line 1: expected host, path and page file"},
        {"a /*/* page/*.txt\n", "line 1: path and page file differ in their \"*\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RouteTable table;
        std::string error;
        EXPECT_FALSE(table.Parse(c.text, error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(SampleProvider, TargetAddressesAreSplitIntoHostAndPath) {
    struct Case {
        const char* url;
        const char* host;  // nullptr: refused
        const char* path;
    };
    const Case cases[] = {
        {"http://Weather.Example.com:8080/weather/print/10001", "weather.example.com",
         "/weather/print/10001"},
        {"http://news.example.com/news?tmpl=index&cid=738", "news.example.com",
         "/news?tmpl=index&cid=738"},
        {"http://host.example", "host.example", "/"},
        {"http://host.example?q=1", "host.example", "/?q=1"},
        {"host.example/path", nullptr, nullptr},
        {"http:///path", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        const std::optional<Target> target = SplitTarget(c.url);
        ASSERT_EQ(target.has_value(), c.host != nullptr);
        if (!target) continue;
        EXPECT_EQ(target->host, c.host);
        EXPECT_EQ(target->path, c.path);
    }
}

TEST(SampleProvider, CustomizationSendsEveryAddressToTheProvider) {
    const std::string lines = CustomizationLines(8123);
    std::istringstream stream(lines);
    std::string line;
    int count = 0;
    while (std::getline(stream, line)) {
        SCOPED_TRACE(line);
        ++count;
        const int number = std::stoi(line.substr(6, 3));
        const std::string original(LoadStringResource(number));
        EXPECT_EQ(line.substr(0, 10), "String" + line.substr(6, 3) + "=");
        EXPECT_TRUE(line.substr(10).starts_with("http://127.0.0.1:8123/"));
        // Everything after the host is the default address unchanged.
        EXPECT_EQ(line.substr(line.find('/', 17)), original.substr(original.find('/', 7)));
    }
    // Five weather editions, the US forecast, six news sources, quotes, rates,
    // two film sources, two route planners and the horoscopes.
    EXPECT_EQ(count, 19);
    EXPECT_NE(lines.find("String104=http://127.0.0.1:8123/cgi-bin/html2txt?url=http%3A%2F%2F"),
              std::string::npos);
}

// Copies the named installation files into the home's cfg/ and points every
// web address at the running provider.
void PrepareProviderHome(const test::TempHome& home, const test::RunningProvider& running,
                         std::initializer_list<const char*> cfgFiles) {
    for (const char* name : cfgFiles) {
        std::string bytes;
        ASSERT_TRUE(ReadBinaryFile(test::SourceDataFolder() + "cfg/" + name, bytes)) << name;
        home.WriteFile(std::string("cfg/") + name, bytes);
    }
    running.UseForEveryAddress();
}

std::vector<std::string> RecordedCodes(const std::string& folder, bool european) {
    std::vector<std::string> codes;
    for (const auto& entry : std::filesystem::directory_iterator(kPagesFolder + folder)) {
        std::string code = entry.path().stem().string();
        if (european) code.replace(code.find('_'), 1, "/");
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

std::size_t Count(const std::string& text, const std::regex& pattern) {
    return static_cast<std::size_t>(
        std::distance(std::sregex_iterator(text.begin(), text.end(), pattern), std::sregex_iterator()));
}

TEST(SampleProvider, RecordedWeatherPagesExtractWithTheDefaultTags) {
    test::TempHome home;
    RunningProvider running;
    PrepareProviderHome(home, running, {"weather.txt", "weather.xmt", "areacode.ini", "citycode.ini"});
    if (HasFatalFailure()) return;

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
        const std::string pagePath = home.path() + "xml/weather.xml";
        ASSERT_TRUE(DownloadWeather(settings, pagePath)) << g_lastError;

        const std::string page = FromTextModeBytes(home.ReadFile("xml/weather.xml"));
        EXPECT_EQ(Count(page, std::regex("<Card ID=")), zips.size() + cities.size());
        // Ten forecast days per US card, four full days per European card.
        EXPECT_EQ(Count(page, std::regex("[0-9]+ / [0-9]+ [0-9]+ [^<]+<br/>")), 10 * zips.size());
        EXPECT_EQ(Count(page, std::regex(": [^<:]+ , Max -?[0-9]+\xB0" "C Min -?[0-9]+\xB0" "C<br/>")),
                  4 * cities.size());
        EXPECT_NE(page.find("<Title> New York, NY</Title>"), std::string::npos);
    }
}

TEST(SampleProvider, RecordedFilmListsExtractWithTheDefaultTags) {
    test::TempHome home;
    RunningProvider running;
    PrepareProviderHome(home, running, {"movies.txt", "movies.xmt"});
    if (HasFatalFailure()) return;

    struct Source {
        int lang;
        std::size_t films;
        const char* lastTitle;
    };
    const Source sources[] = {{0, 4, "Paper Kites (2002)"}, {1, 3, "La Derniere Ecole"}};
    for (const Source& source : sources) {
        SCOPED_TRACE(source.lastTitle);
        Settings settings;
        settings.main.movies.langMovies = source.lang;
        ASSERT_TRUE(DownloadMovies(settings, home.path() + "xml/movies.xml")) << g_lastError;
        const std::string page = FromTextModeBytes(home.ReadFile("xml/movies.xml"));
        EXPECT_EQ(Count(page, std::regex("<Card ID=\"10[1-9]\">")), source.films);
        EXPECT_NE(page.find("<Title>" + std::string(source.lastTitle) + "</Title>"), std::string::npos);
    }
}

TEST(SampleProvider, RecordedStocksPagesExtractWithTheDefaultTags) {
    test::TempHome home;
    RunningProvider running;
    PrepareProviderHome(home, running, {"stocks.txt", "stocks.xmt"});
    if (HasFatalFailure()) return;

    const std::vector<std::string> pairs = RecordedCodes("rates", true);
    const std::vector<std::string> symbols = RecordedCodes("quotes", false);
    ASSERT_EQ(pairs.size(), 5u);
    ASSERT_EQ(symbols.size(), 4u);
    Settings settings;
    settings.main.stocks.xRate = Join(pairs);
    settings.main.stocks.symbols = Join(symbols);
    settings.main.stocks.xRateDays = 30;
    ASSERT_TRUE(DownloadStocks(settings, home.path() + "xml/stocks.xml")) << g_lastError;

    const std::string page = FromTextModeBytes(home.ReadFile("xml/stocks.xml"));
    EXPECT_EQ(Count(page, std::regex("<Card ID=")), pairs.size() + symbols.size());
    EXPECT_EQ(Count(page, std::regex("\\[2026-[0-9]{2}-[0-9]{2}\\] [0-9]+\\.[0-9]{5} [A-Z]{3}<br/>")),
              30 * pairs.size());
    EXPECT_EQ(Count(page, std::regex("Symbol: [A-Z]+<br/>Last Trade: [0-9:]+[AP]M ET<br/>Value: [0-9.]+"
                                     "<br/>Change: [-+][0-9.]+ / [-+][0-9.]+%<br/>Volume: [0-9,]+<br/>")),
              symbols.size());
    EXPECT_EQ(page.find("not available"), std::string::npos);
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

TEST(SampleProvider, RecordedRoutesExtractWithTheDefaultTags) {
    test::TempHome home;
    RunningProvider running;
    PrepareProviderHome(home, running, {"directions.txt", "directions.xmt"});
    if (HasFatalFailure()) return;

    std::vector<Itinerary> itineraries = RecordedItineraries("directions/us", kCountryUsa);
    const std::vector<Itinerary> french = RecordedItineraries("directions/fr", kCountryFrance);
    ASSERT_FALSE(itineraries.empty());
    ASSERT_FALSE(french.empty());
    itineraries.insert(itineraries.end(), french.begin(), french.end());
    for (std::size_t i = 0; i < itineraries.size(); ++i) {
        ASSERT_TRUE(WriteItinerary(GetIniPath(), static_cast<int>(i) + 1, itineraries[i]));
    }
    Settings settings;
    ASSERT_TRUE(DownloadDirections(settings, home.path() + "xml/directions.xml")) << g_lastError;

    const std::string page = FromTextModeBytes(home.ReadFile("xml/directions.xml"));
    EXPECT_EQ(Count(page, std::regex("<Card ID=")), itineraries.size());
    // Every card: its header, a blank line, then at least one numbered step.
    EXPECT_EQ(Count(page, std::regex("<Text><p>[^<]+<br/>[^<]+<br/>(([^<]+<br/>){2}){1,3}<br/>"
                                     "1\\. [^<]+<br/>")),
              itineraries.size());
    for (const Itinerary& itinerary : itineraries) {
        EXPECT_NE(page.find("<Title>" + itinerary.name + "</Title>"), std::string::npos) << itinerary.name;
    }
}

TEST(SampleProvider, RecordedHoroscopesExtractWithTheDefaultTags) {
    test::TempHome home;
    RunningProvider running;
    PrepareProviderHome(home, running, {"astro.txt", "astro.xmt"});
    if (HasFatalFailure()) return;

    Settings settings;
    for (std::string_view entry : kZodiacSignEntries) AddSign(settings.more.astro.signs, entry);
    ASSERT_TRUE(DownloadAstro(settings, home.path() + "xml/astro.xml")) << g_lastError;
    const std::string page = FromTextModeBytes(home.ReadFile("xml/astro.xml"));
    EXPECT_EQ(Count(page, std::regex("<Card ID=")), kZodiacSignEntries.size());
    // Each card holds the horoscope's sentences and nothing of the links after them.
    EXPECT_EQ(Count(page, std::regex("<Title>[A-Z][a-z]+</Title>\n</Header>\n<Body>\n"
                                     "<Text><p>[A-Z][^<\\[]{80,}</p>")),
              kZodiacSignEntries.size());
}

TEST(SampleProvider, UnknownPagesAndBadRequestsAreRefused) {
    RunningProvider running;
    httplib::Client client("127.0.0.1", running.port());
    struct Case {
        const char* target;
        int status;
        const char* bodyStart;
    };
    const Case cases[] = {
        {"/cgi-bin/html2txt?url=http%3A%2F%2Fweather.example.com%2Fweather%2Fprint%2F10001&noinlinerefs=on",
         200, "[1]Weather Example"},
        {"/cgi-bin/html2txt?url=http%3A%2F%2Fweather.example.com%2Fweather%2Fprint%2F00000&noinlinerefs=on",
         404, "Recorded page weather/us/00000.txt is missing"},
        {"/cgi-bin/html2txt?url=http%3A%2F%2Fnowhere.example%2F&noinlinerefs=on", 404,
         "No recorded page for nowhere.example/"},
        {"/cgi-bin/html2txt?noinlinerefs=on", 400, "Expected url="},
        {"/some/page.html", 404, "No recorded page for /some/page.html"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const httplib::Result result = client.Get(c.target);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, c.status);
        EXPECT_TRUE(result->body.starts_with(c.bodyStart)) << result->body;
    }
}

}  // namespace
}  // namespace tp::sample
