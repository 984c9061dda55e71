// tidepost-batch --check against the sample provider run as a program: every
// source found ok without a page written; markers moved in a copy of the
// provider's pages named by their keys, with replacements that give the
// pages their cards back.
#include "app/paths.h"
#include "run/good_texts.h"
#include "run/json_line.h"
#include "run/run_lock.h"
#include "settings/ini_file.h"
#include "platform/text_file.h"
#include "settings/itineraries.h"
#include "tests/run/batch_process.h"
#include "tests/support/demo_itineraries.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace tp {
namespace {

namespace fs = std::filesystem;
using test::BatchResult;
using test::RunBatchProcess;
using test::TempHome;

const std::string kRecordedPages = TIDEPOST_SOURCE_DIR "/tools/sample_provider/pages/";

// The provider serving pages (its own when empty), with a data folder in home
// whose six web topics all go to it.
class ProviderHome {
public:
    ProviderHome(const TempHome& home, const std::string& pages)
        : provider_(TIDEPOST_SAMPLE_PROVIDER_PATH,
                    pages.empty() ? std::vector<std::string>{"0"} : std::vector<std::string>{"--pages", pages, "0"}) {
        const std::string port = provider_.ReadLine();
        EXPECT_FALSE(port.empty()) << "the provider did not start";
        for (const auto& entry : fs::directory_iterator(test::SourceDataFolder() + "cfg")) {
            fs::copy_file(entry.path(), home.path() + "cfg/" + entry.path().filename().string());
        }
        home.WriteFile("cfg/Tidepost.ini",
                       "[Settings]\nIntelliSynch=0\nRetries=0\n"
                       "[Weather]\nDownload=1\nZIP=10001,60601\nCityCode=UKXX/UKXX0085\n"
                       "[News]\nDownload=1\nNewsWorldUS=1\nNewsTechUS=1\n"
                       "[Stocks]\nDownload=1\nXRate=USD/EUR\nSymbols=IBM\n"
                       "[Movies]\nDownload=1\n[Directions]\nDownload=1\n[Astro]\nDownload=1\nSigns=Leo\n"
                       "[Customization]\n" +
                           test::RunProcess(TIDEPOST_SAMPLE_PROVIDER_PATH, {"--customization", port}).out);
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(WriteItinerary(GetIniPath(), i + 1, test::kDemoItineraries[i]));
    }

private:
    test::BackgroundProcess provider_;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// Each string of a JSON line after "name":, in order ("missing" and
// "suggestions" hold a "key" each).
std::vector<std::string> JsonStrings(const std::string& line, const std::string& name) {
    std::vector<std::string> values;
    const std::string marker = "\"" + name + "\":";
    for (std::size_t at = line.find(marker); at != std::string::npos; at = line.find(marker, at)) {
        at += marker.size();
        std::string value;
        if (ReadJsonString(line, at, value)) values.push_back(value);
    }
    return values;
}

// The cards of a page, without its date line.
std::string Cards(const std::string& page) {
    const std::size_t first = page.find("<Card");
    const std::size_t last = page.rfind("</Card>");
    return first == std::string::npos || last == std::string::npos ? std::string() : page.substr(first, last - first);
}

// Every from in the file at relative of home becomes to.
void Replace(const TempHome& home, const std::string& relative, const std::string& from, const std::string& to) {
    std::string bytes = home.ReadFile(relative);
    ASSERT_NE(bytes.find(from), std::string::npos) << relative;
    for (std::size_t at; (at = bytes.find(from)) != std::string::npos;) bytes.replace(at, from.size(), to);
    home.WriteFile(relative, bytes);
}

TEST(BatchCheck, EverySourceOfTheProviderIsOkAndNothingIsWritten) {
    TempHome home;
    const ProviderHome provider(home, "");
    if (HasFatalFailure()) return;
    const BatchResult words = RunBatchProcess({"--check"});
    EXPECT_EQ(words.status, 0) << words.out << words.err;
    EXPECT_EQ(words.err, "");
    // Two US and one European forecast, two news categories, a rate and a
    // symbol, the films, three itineraries, a sign.
    const std::vector<std::string> lines = Lines(words.out);
    ASSERT_EQ(lines.size(), 12u) << words.out;
    EXPECT_EQ(lines[0], "Weather String104 10001: ok, 1 card");
    EXPECT_EQ(lines[11], "Astro String140 leo: ok, 1 card");
    for (const std::string& line : lines) EXPECT_NE(line.find(": ok, "), std::string::npos) << line;

    const BatchResult json = RunBatchProcess({"--check", "ASTRO", "--json", "movies"});
    EXPECT_EQ(json.status, 0);
    ASSERT_EQ(Lines(json.out).size(), 2u) << json.out;
    EXPECT_TRUE(
        json.out.starts_with(R"({"topic":"movies","key":"String120","code":"","url":"http://127.0.0.1:)"))
        << json.out;
    EXPECT_NE(json.out.find("\"outcome\":\"ok\",\"message\":\"ok, 1 card\",\"http_status\":200,"), std::string::npos);

    // No page, no raw copy, and the texts found ok kept as the last good ones.
    EXPECT_TRUE(fs::is_empty(home.path() + "xml"));
    EXPECT_FALSE(home.Exists("download.txt"));
    std::string leo;
    ASSERT_TRUE(ReadBinaryFile(kRecordedPages + "astro/leo.txt", leo));
    EXPECT_EQ(LastGoodText(140, "leo"), leo);

    // Not while a download holds the data folder.
    RunLock lock;
    std::string failure;
    ASSERT_EQ(lock.Acquire(failure), RunLock::Result::Held) << failure;
    const BatchResult busy = RunBatchProcess({"--check", "--json"});
    EXPECT_EQ(busy.status, 75);
    EXPECT_EQ(busy.out, "");
    const std::string folder = home.path().substr(0, home.path().size() - 1);
    EXPECT_EQ(busy.err, "Tidepost: another download is running in " + folder + "\n");
}

// The US forecasts' tag and the films' end marker changed on the provider:
// the run fails and keeps the last good texts; the check names the keys, and
// their first suggestions give the pages the cards they had.
TEST(BatchCheck, MovedMarkersAreNamedAndTheirSuggestionsGiveTheCardsBack) {
    TempHome home;
    const std::string pages = home.path() + "pages";
    fs::copy(kRecordedPages, pages, fs::copy_options::recursive);
    const ProviderHome provider(home, pages);
    if (HasFatalFailure()) return;
    const BatchResult before = RunBatchProcess({});
    ASSERT_EQ(before.status, 0) << before.err;
    const std::string weatherCards = Cards(home.ReadFile("xml/weather.xml"));
    const std::string movieCards = Cards(home.ReadFile("xml/movies.xml"));
    ASSERT_NE(weatherCards, "");
    ASSERT_NE(movieCards, "");
    const std::string usText = home.ReadFile("pages/weather/us/10001.txt");
    EXPECT_EQ(LastGoodText(104, "10001"), usText);
    EXPECT_TRUE(LastGoodText(149, "3")) << "an itinerary's text is kept under its number";

    for (const char* code : {"10001", "60601"}) {
        Replace(home, "pages/weather/us/" + std::string(code) + ".txt", "Precip. %", "Rain %");
    }
    Replace(home, "pages/movies/us/now_playing.txt", "]Reviews", "]Critics");
    EXPECT_EQ(RunBatchProcess({}).status, 1);
    EXPECT_EQ(LastGoodText(104, "10001"), usText) << "a failed topic keeps no text";

    const BatchResult check = RunBatchProcess({"--check", "movies", "--json", "weather"});
    EXPECT_EQ(check.status, 1);
    // Source -> the keys it misses.
    const std::map<std::string, std::vector<std::string>> expected = {
        {"weather String104 10001", {"String171"}},
        {"weather String104 60601", {"String171"}},
        {"weather String130 UKXX/UKXX0085", {}},
        {"movies String120 ", {"String124"}},
    };
    std::map<std::string, std::vector<std::string>> missing;
    std::map<std::string, std::string> firstSuggestion;  // key -> tag
    for (const std::string& line : Lines(check.out)) {
        const std::size_t missingAt = line.find("\"missing\":");
        const std::size_t suggestionsAt = line.find("\"suggestions\":");
        ASSERT_LT(missingAt, suggestionsAt) << line;
        const std::string head = line.substr(0, missingAt);
        const std::string source = JsonStrings(head, "topic").at(0) + " " + JsonStrings(head, "key").at(0) + " " +
                                   JsonStrings(head, "code").at(0);
        const std::vector<std::string> keys = JsonStrings(line.substr(missingAt, suggestionsAt - missingAt), "key");
        missing[source] = keys;
        EXPECT_EQ(JsonStrings(head, "outcome").at(0), keys.empty() ? "ok" : "tag-missing") << line;
        const std::vector<std::string> suggested = JsonStrings(line.substr(suggestionsAt), "key");
        const std::vector<std::string> tags = JsonStrings(line.substr(suggestionsAt), "tag");
        if (!keys.empty()) {
            ASSERT_FALSE(tags.empty()) << line;
            EXPECT_EQ(suggested[0], keys[0]);
            firstSuggestion.emplace(keys[0], tags[0]);
        }
    }
    EXPECT_EQ(missing, expected) << check.out;

    // Written as a user writes it into the file.
    for (auto [key, tag] : firstSuggestion) {
        std::replace(tag.begin(), tag.end(), '\n', '~');
        ASSERT_TRUE(ini::WriteString(GetIniPath(), "Customization", key, tag));
    }
    const BatchResult after = RunBatchProcess({});
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_EQ(Cards(home.ReadFile("xml/weather.xml")), weatherCards);
    EXPECT_EQ(Cards(home.ReadFile("xml/movies.xml")), movieCards);
}

TEST(BatchCheck, RefusedAndMistypedChecks) {
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        const char* settings;
        int status;
        const char* errPart;
    } rows[] = {
        {"only the e-mail page is selected", {"--check"}, "[Email]\nDownload=1\n", 2,
         "no topic that fetches web pages is selected in "},
        {"a topic named is refused as its run would be", {"--check", "--json", "news"}, "", 2,
         "Missing information: Please select a news category\n"},
        {"an unknown topic", {"--check", "wether"}, "", 64, "unknown topic 'wether'; the topics to check are "
                                                            "weather, news, stocks, movies, directions, astro\n"},
        {"the e-mail topic", {"--check", "Email"}, "", 64, "the topic 'Email' fetches no web page to check"},
        {"an option", {"--check", "--jsn"}, "", 64, "--check takes topic names and --json, not '--jsn'"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempHome home;
        home.WriteFile("cfg/Tidepost.ini", row.settings);
        const BatchResult result = RunBatchProcess(row.arguments);
        EXPECT_EQ(result.status, row.status);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find(row.errPart), std::string::npos) << result.err;
    }
}

}  // namespace
}  // namespace tp
