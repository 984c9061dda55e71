#include "settings/settings_model.h"

#include "app/globals.h"
#include "app/paths.h"

#include "tests/support/immutable_file.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <tuple>

namespace tp {
namespace {

const char* const kIni = "cfg/Tidepost.ini";

Settings Read() {
    Settings settings;
    settings.main.news.nbNews = 99;  // must not survive: reading starts from the defaults
    ReadSettings(settings);
    return settings;
}

// The lines of a settings file, without line ends.
std::vector<std::string> Lines(const std::string& file) {
    std::vector<std::string> lines;
    std::istringstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

TEST(SettingsModel, NoFileGivesTheDefaults) {
    test::TempHome home(false);
    g_debug = true;
    const Settings settings = Read();
    EXPECT_EQ(settings, Settings{});
    EXPECT_FALSE(g_debug);
    EXPECT_TRUE(home.Exists("cfg/")) << "reading creates the data folders first";
    // Every topic off; the flags as a new user gets them.
    const GeneralSettings& g = settings.general;
    EXPECT_TRUE(g.stopOnError && g.deleteXml && g.timeZone && g.saveOnExit && g.intelliSynch &&
                g.customWarnings);
    EXPECT_FALSE(g.autoExit || g.localConversion);
    EXPECT_EQ(g.timeFormat, 1);
    EXPECT_FALSE(settings.main.weather.download || settings.main.news.download ||
                 settings.main.movies.download || settings.main.stocks.download ||
                 settings.more.directions.download || settings.more.astro.download ||
                 settings.more.email.download);
}

Settings EverythingChanged() {
    Settings s;
    s.general = {false, false, 0, false, false, false, true, false, true};
    s.main.weather = {true, "w icon.txt", "w.xmt", "12345,54321", "FRXX/FRXX0076", 3, 4, 2};
    s.main.news = {true, 7, "n.txt", "n.xmt", true, false, true, 1, 0, 1};
    s.main.movies = {true, "m.txt", "m.xmt", 4, 1};
    s.main.stocks = {true, "s.txt", "s.xmt", "IBM,MSFT", "USD/EUR,GBP/USD", 30};
    s.more.directions = {true, "d.txt", "d.xmt", 0};
    s.more.astro = {true, "a.txt", "a.xmt", "Aquarius,Leo"};
    s.more.email = {true, "e.txt", "  e.xmt  "};
    return s;
}

TEST(SettingsModel, WrittenSettingsReadBackEqual) {
    test::TempHome home;
    // Also with the three news categories' values turned round, so that any
    // two of them differ in one of the files.
    for (const bool turned : {false, true}) {
        Settings written = EverythingChanged();
        NewsSettings& n = written.main.news;
        if (turned) {
            std::tie(n.sport, n.world, n.tech, n.sportLang, n.worldLang, n.techLang) =
                std::tuple(n.tech, n.sport, n.world, n.techLang, n.sportLang, n.worldLang);
        }
        WriteSettings(written);
        EXPECT_EQ(Read(), written) << turned;
    }

    // Written again over an existing file, the defaults come back too.
    Settings defaults;
    for (bool* download : {&defaults.main.weather.download, &defaults.main.news.download,
                           &defaults.main.movies.download, &defaults.main.stocks.download,
                           &defaults.more.directions.download, &defaults.more.astro.download,
                           &defaults.more.email.download}) {
        *download = true;
    }
    WriteSettings(defaults);
    EXPECT_EQ(Read(), defaults);
}

TEST(SettingsModel, NewFileHasSectionsAndKeysInWritingOrder) {
    test::TempHome home;
    Settings settings = EverythingChanged();
    settings.more.directions.country = 1;
    WriteSettings(settings);
    std::vector<std::string> sections;
    std::vector<std::string> weatherKeys;
    std::string current;
    for (const std::string& line : Lines(home.ReadFile(kIni))) {
        if (line.rfind("[", 0) == 0) {
            current = line;
            sections.push_back(line);
        } else if (current == "[Weather]") {
            weatherKeys.push_back(line.substr(0, line.find('=')));
        }
    }
    EXPECT_EQ(sections, (std::vector<std::string>{"[Settings]", "[News]", "[Weather]", "[Movies]", "[Stocks]",
                                                  "[Directions]", "[Astro]", "[Email]"}));
    EXPECT_EQ(weatherKeys, (std::vector<std::string>{"Download", "Icon", "XmlUSA", "ZIP", "CityCode",
                                                     "ForecastUSA", "ForecastEuro", "Language"}));
    const std::string file = home.ReadFile(kIni);
    EXPECT_NE(file.find("[Settings]\r\nStopOnError=0\r\nDeleteXml=0\r\nTimeFormat=0\r\n"), std::string::npos);
    EXPECT_NE(file.find("CustomWarnings=0\r\nLocalConversion=1\r\nConnectTimeout=60\r\n"), std::string::npos);
    EXPECT_NE(file.find("[News]\r\nDownload=1\r\nIcon=n.txt\r\nXml=n.xmt\r\nNbNews=7\r\n"), std::string::npos);
    // The dialog's country is written for the user to see but never read back.
    EXPECT_NE(file.find("Country=1\r\n"), std::string::npos);
    EXPECT_EQ(Read().more.directions.country, 0);
}

TEST(SettingsModel, DeselectedTopicWritesOnlyDownloadAndKeepsItsOldKeys) {
    test::TempHome home;
    home.WriteFile(kIni, "[Stocks]\r\nDownload=1\r\nSymbols=IBM\r\nXRateDays=20\r\n");
    Settings settings;
    settings.main.stocks.symbols = "MSFT,AAPL";
    settings.main.stocks.download = false;
    WriteSettings(settings);
    const std::string file = home.ReadFile(kIni);
    EXPECT_NE(file.find("[Stocks]\r\nDownload=0\r\nSymbols=IBM\r\nXRateDays=20\r\n"), std::string::npos) << file;
    EXPECT_EQ(file.find("MSFT"), std::string::npos);
    const Settings back = Read();
    EXPECT_FALSE(back.main.stocks.download);
    EXPECT_EQ(back.main.stocks.symbols, "IBM");
}

TEST(SettingsModel, FailedSaveReportsTheFileAndLeavesItAsItWas) {
    test::TempHome home;
    const std::string before = "[Weather]\r\nDownload=1\r\nZIP=11111\r\n";
    home.WriteFile(kIni, before);
    test::ImmutableFile locked(home.path() + "cfg");
    if (!locked.set()) GTEST_SKIP() << "the file system cannot make a folder immutable";
    g_lastError.clear();
    EXPECT_FALSE(WriteSettings(EverythingChanged()));
    EXPECT_NE(g_lastError.find(GetIniPath()), std::string::npos) << g_lastError;
    EXPECT_EQ(home.ReadFile(kIni), before);
}

TEST(SettingsModel, AnyOfTheSevenTopicsCountsAsSelected) {
    Settings settings;
    EXPECT_FALSE(AnyTopicSelected(settings));
    const std::function<bool&(Settings&)> topics[] = {
        [](Settings& s) -> bool& { return s.main.weather.download; },
        [](Settings& s) -> bool& { return s.main.news.download; },
        [](Settings& s) -> bool& { return s.main.stocks.download; },
        [](Settings& s) -> bool& { return s.main.movies.download; },
        [](Settings& s) -> bool& { return s.more.directions.download; },
        [](Settings& s) -> bool& { return s.more.astro.download; },
        [](Settings& s) -> bool& { return s.more.email.download; },
    };
    for (const auto& topic : topics) {
        Settings one;
        topic(one) = true;
        EXPECT_TRUE(AnyTopicSelected(one));
    }
}

TEST(SettingsModel, KeysTheProgramNeverWritesStayUntouched) {
    test::TempHome home;
    const std::string kept[] = {"On=1", "IntelliSynch Path=/opt/sync --now", "OldEuroSymb=FRF",
                                "OldEuroRate=6.55957", "Itinary1=Home", "FromCity1=Paris",
                                "String104=http://x/%s", "; a comment", "Unknown=7"};
    home.WriteFile(kIni,
                   "[Debug]\r\nOn=1\r\n"
                   "[Settings]\r\nIntelliSynch Path=/opt/sync --now\r\nUnknown=7\r\n"
                   "[Stocks]\r\nOldEuroSymb=FRF\r\nOldEuroRate=6.55957\r\n"
                   "[Directions]\r\n; a comment\r\nItinary1=Home\r\nFromCity1=Paris\r\n"
                   "[Customization]\r\nString104=http://x/%s\r\n");
    WriteSettings(EverythingChanged());
    const std::vector<std::string> lines = Lines(home.ReadFile(kIni));
    for (const std::string& line : kept) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    }
}

TEST(SettingsModel, NumbersAreNormalisedOnReading) {
    struct Case {
        const char* section;
        const char* key;
        const char* stored;
        std::function<int(const Settings&)> field;
        int expected;
        bool reset = false;  // reported as taken at its default
    };
    const auto forecastUsa = [](const Settings& s) { return s.main.weather.forecastUsa; };
    const auto forecastEuro = [](const Settings& s) { return s.main.weather.forecastEuro; };
    const auto language = [](const Settings& s) { return s.main.weather.language; };
    const auto xRateDays = [](const Settings& s) { return s.main.stocks.xRateDays; };
    const auto maxMovies = [](const Settings& s) { return s.main.movies.maxMovies; };
    const auto nbNews = [](const Settings& s) { return s.main.news.nbNews; };
    const auto sportLang = [](const Settings& s) { return s.main.news.sportLang; };
    const auto timeFormat = [](const Settings& s) { return s.general.timeFormat; };
    const auto stopOnError = [](const Settings& s) { return int{s.general.stopOnError}; };
    const auto autoExit = [](const Settings& s) { return int{s.general.autoExit}; };
    const auto connect = [](const Settings& s) { return s.general.connectTimeout; };
    const auto stall = [](const Settings& s) { return s.general.stallTimeout; };
    const auto fetch = [](const Settings& s) { return s.general.fetchTimeout; };
    const auto maxFetches = [](const Settings& s) { return s.general.maxFetches; };
    const auto perHost = [](const Settings& s) { return s.general.maxFetchesPerHost; };
    const auto retries = [](const Settings& s) { return s.general.retries; };
    const auto deadline = [](const Settings& s) { return s.general.runDeadline; };
    const auto keepPage = [](const Settings& s) { return int{s.general.keepLastGoodPage}; };
    const Case cases[] = {
        {"Settings", "ConnectTimeout", "99999", connect, 60, true},
        {"Settings", "ConnectTimeout", "4294967297", connect, 60, true},
        {"Settings", "ConnectTimeout", "", connect, 60},
        {"Settings", "ConnectTimeout", "600", connect, 600},
        {"Settings", "StallTimeout", "5abc", stall, 60, true},
        {"Settings", "StallTimeout", "0x10", stall, 60, true},
        {"Settings", "StallTimeout", "1", stall, 1},
        {"Settings", "FetchTimeout", "abc", fetch, 120, true},
        {"Settings", "FetchTimeout", "3601", fetch, 120, true},
        {"Settings", "FetchTimeout", "3600", fetch, 3600},
        {"Settings", "MaxFetches", "-5", maxFetches, 16, true},
        {"Settings", "MaxFetches", "0", maxFetches, 16, true},
        {"Settings", "MaxFetchesPerHost", "64", perHost, 64},
        {"Settings", "MaxFetchesPerHost", "65", perHost, 6, true},
        {"Settings", "Retries", "0", retries, 0},
        {"Settings", "Retries", "6", retries, 2, true},
        {"Settings", "RunDeadline", "29", deadline, 600, true},
        {"Settings", "RunDeadline", "7200", deadline, 7200},
        {"Settings", "KeepLastGoodPage", "1", keepPage, 1},
        {"Weather", "ForecastUSA", "0", forecastUsa, 10},
        {"Weather", "ForecastUSA", "25", forecastUsa, 10},
        {"Weather", "ForecastUSA", "266", forecastUsa, 10},
        {"Weather", "ForecastUSA", "263", forecastUsa, 7},
        {"Weather", "ForecastUSA", "1", forecastUsa, 1},
        {"Weather", "ForecastUSA", "", forecastUsa, 10},
        {"Weather", "ForecastEuro", "9", forecastEuro, 5},
        {"Weather", "ForecastEuro", "3", forecastEuro, 3},
        {"Weather", "Language", "257", language, 1},
        {"Weather", "Language", "9", language, 9},
        {"Stocks", "XRateDays", "31", xRateDays, 10},
        {"Stocks", "XRateDays", "286", xRateDays, 30},
        {"Stocks", "XRateDays", "0x1E", xRateDays, 30},
        {"Movies", "MaxMovies", "-3", maxMovies, 10},
        {"Movies", "MaxMovies", "11", maxMovies, 10},
        {"Movies", "MaxMovies", "258", maxMovies, 10},
        {"Movies", "MaxMovies", "10", maxMovies, 10},
        {"Movies", "MaxMovies", "9", maxMovies, 9},
        {"News", "NbNews", "0", nbNews, 0},
        {"News", "NbNews", "300", nbNews, 44},
        {"News", "NbNews", "-1", nbNews, 255},
        {"News", "NewsSportLang", "7", sportLang, 7},
        {"Settings", "TimeFormat", "7", timeFormat, 1},
        {"Settings", "StopOnError", "0", stopOnError, 0},
        {"Settings", "AutoExit", "-2", autoExit, 1},
        {"Settings", "AutoExit", "abc", autoExit, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.stored);
        test::TempHome home;
        home.WriteFile(kIni, std::string("[") + c.section + "]\r\n" + c.key + "=" + c.stored + "\r\n");
        Settings settings;
        std::vector<SettingReset> resets;
        ReadSettings(settings, &resets);
        EXPECT_EQ(c.field(settings), c.expected);
        ASSERT_EQ(resets.size(), c.reset ? 1u : 0u);
        if (c.reset) {
            EXPECT_EQ(resets[0].key, c.key);
            EXPECT_EQ(resets[0].value, c.stored);
            EXPECT_EQ(resets[0].used, c.expected);
        }
    }
}

TEST(SettingsModel, ByteValuesAreWrittenAsTheirLowEightBits) {
    test::TempHome home;
    Settings settings;
    settings.main.news.download = true;
    settings.main.news.nbNews = 300;
    settings.main.movies.download = true;
    settings.main.movies.maxMovies = 300;
    WriteSettings(settings);
    const std::string file = home.ReadFile(kIni);
    EXPECT_NE(file.find("NbNews=44\r\n"), std::string::npos);
    EXPECT_NE(file.find("MaxMovies=300\r\n"), std::string::npos);
}

TEST(SettingsModel, TextsAreCutToTheirBuffers) {
    test::TempHome home;
    const std::string longText(60000, 'z');
    std::string file = "[Weather]\r\nZIP=" + std::string(150, '1') + "\r\nIcon=" + longText +
                       "\r\n[Stocks]\r\nSymbols=" + longText + "\r\n";
    home.WriteFile(kIni, file);
    const Settings settings = Read();
    EXPECT_EQ(settings.main.weather.zip, std::string(119, '1'));
    EXPECT_EQ(settings.main.weather.icon.size(), 254u);
    EXPECT_EQ(settings.main.stocks.symbols.size(), 51199u);
}

TEST(SettingsModel, HandWrittenFileIsReadAsTheProfileFunctionsWould) {
    test::TempHome home;
    home.WriteFile(kIni,
                   "; written by hand\n"
                   "[debug]\n"
                   "on = 2\n"
                   "[ SETTINGS ]\r"
                   "stoponerror=0\r"
                   "StopOnError=1\r"
                   "\n"
                   "[News]\n"
                   "  Download =\t1  \n"
                   "Icon = \"  spaced.txt  \"\n"
                   "Xml=news.xmt ; not a comment\n"
                   "NewsWorldUS\n"
                   "NewsTechUS=1\n"
                   "[News]\n"
                   "NewsSportUS=1\n"
                   "[Weather]\n"
                   "ZIP=\n"
                   "CityCode='FRXX/FRXX0076'\n"
                   "[Astro]\n"
                   "Signs=Leo");
    const Settings settings = Read();
    EXPECT_TRUE(g_debug);
    EXPECT_FALSE(settings.general.stopOnError) << "the first of two equal keys wins";
    EXPECT_TRUE(settings.main.news.download);
    EXPECT_EQ(settings.main.news.icon, "  spaced.txt  ");
    EXPECT_EQ(settings.main.news.xml, "news.xmt ; not a comment");
    EXPECT_FALSE(settings.main.news.world);
    EXPECT_TRUE(settings.main.news.tech);
    EXPECT_FALSE(settings.main.news.sport) << "only the first section of a name counts";
    EXPECT_EQ(settings.main.weather.zip, "");
    EXPECT_EQ(settings.main.weather.cityCode, "FRXX/FRXX0076");
    EXPECT_EQ(settings.more.astro.signs, "Leo");
}

}  // namespace
}  // namespace tp
