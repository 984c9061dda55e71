#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "app/globals.h"
#include "topics/topic_table.h"
#include "topics/movies.h"
#include "run/download_run.h"
#include "pages/page_files.h"
#include "platform/text_file.h"
#include "settings/custom_store.h"
#include "tests/run/recording_run_view.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_home.h"

namespace tp {
namespace {

using test::HttpServer;
using test::RecordingRunView;
using test::SharedHttpServer;
using test::TempHome;

const std::string kUsPath = "/NowPlaying/";
const std::string kFrPath = "/films/avenir.html";

std::string ReadSourceFile(const std::string& relative) {
    std::string text;
    EXPECT_TRUE(ReadBinaryFile(TIDEPOST_SOURCE_DIR "/" + relative, text)) << relative;
    return text;
}

std::string WithCarriageReturns(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

class MoviesDownloadTest : public ::testing::Test {
protected:
    void SetUp() override { Arrange(); }

    // The default data files, both lists served and the addresses pointed at them.
    void Arrange() {
        server.Clear();
        home.WriteFile("cfg/movies.txt", ReadSourceFile("data/cfg/movies.txt"));
        home.WriteFile("cfg/movies.xmt", ReadSourceFile("data/cfg/movies.xmt"));
        server.Serve(kUsPath,
                     ReadSourceFile("tools/sample_provider/pages/movies/us/now_playing.txt"));
        server.Serve(kFrPath, ReadSourceFile("tools/sample_provider/pages/movies/fr/avenir.txt"));
        ASSERT_TRUE(SetCustomString(120, server.url(kUsPath)));
        ASSERT_TRUE(SetCustomString(133, server.url(kFrPath)));
        g_totalSize = 0;
    }

    TempHome home;
    HttpServer& server = SharedHttpServer();
};

TEST_F(MoviesDownloadTest, EachSourceWritesItsMoviesPage) {
    struct Row {
        int lang;
        std::string path;
        const char* expectedCards;
    };
    const Row rows[] = {
        {0, kUsPath, "tests/data/movies_us_now_playing_links_and_cards.txt"},
        {1, kFrPath, "tests/data/movies_fr_coming_soon_links_and_cards.txt"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        g_totalSize = 0;
        Settings settings;
        settings.main.movies.langMovies = row.lang;
        const std::string pageFile = PageFileName(settings.main.movies.xml);
        ASSERT_TRUE(DownloadTopic(TopicOf(TopicId::Movies), settings, Fetcher(), pageFile)) << g_lastError;

        EXPECT_EQ(server.LastRequest().target, row.path);
        const std::string page = home.ReadFile("xml/movies.xml");
        const std::string icon = ReadSourceFile("data/cfg/movies.txt");
        EXPECT_EQ(page.rfind("<Tidepost>\r\n<Icon><Data>" + WithCarriageReturns(icon), 0), 0u);
        EXPECT_NE(page.find("<Title>Movies</Title>\r\n<SubTitle>"), std::string::npos);
        // The index links and the cards go to their own places in the template.
        const std::string expected = WithCarriageReturns(ReadSourceFile(row.expectedCards));
        const std::size_t firstCard = expected.find("<Card ID=");
        ASSERT_NE(firstCard, std::string::npos);
        EXPECT_NE(page.find("<p>\r\n" + expected.substr(0, firstCard) + "</p>"), std::string::npos);
        EXPECT_NE(page.find("</IndexCard>\r\n" + expected.substr(firstCard) + "</Tidepost>"),
                  std::string::npos);
        const auto carriageReturns = std::count(page.begin(), page.end(), '\r');
        EXPECT_EQ(g_totalSize, page.size() - static_cast<std::size_t>(carriageReturns));
    }
}

TEST_F(MoviesDownloadTest, AFailedStepWritesNoPage) {
    struct Row {
        const char* name;
        std::function<void(TempHome&, HttpServer&)> arrange;
        std::string pageFile;
        std::string message;
        bool fetches;
    };
    const std::string page = PageFileName("movies.xmt");
    const Row rows[] = {
        {"icon missing",
         [](TempHome& h, HttpServer&) { std::remove((h.path() + "cfg/movies.txt").c_str()); }, page,
         "Error: Enable to read file '" + home.path() + "cfg/movies.txt'", false},
        {"template missing",
         [](TempHome& h, HttpServer&) { std::remove((h.path() + "cfg/movies.xmt").c_str()); }, page,
         "Error: Enable to read file '" + home.path() + "cfg/movies.xmt'", false},
        {"no server at the address",
         [](TempHome&, HttpServer&) {
             ASSERT_TRUE(SetCustomString(120, std::string_view("http://127.0.0.1:1/")));
         },
         page, "InternetOpenUrl Error: 7", false},
        {"no film in the list",
         [](TempHome&, HttpServer& s) { s.Serve(kUsPath, "No films are playing this week.\n"); },
         page, "HTML error: tag 'IMDb Rating\n   ' not found", true},
        {"page folder missing", [](TempHome&, HttpServer&) {}, home.path() + "gone/movies.xml",
         "File error: Enable to write '" + home.path() + "gone/movies.xml': No such file or directory", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Arrange();
        row.arrange(home, server);
        Settings settings;
        EXPECT_FALSE(DownloadTopic(TopicOf(TopicId::Movies), settings, Fetcher(), row.pageFile));
        EXPECT_EQ(g_lastError, row.message);
        EXPECT_EQ(server.Requests().size(), row.fetches ? 1u : 0u);
        EXPECT_FALSE(home.Exists("xml/movies.xml"));
        EXPECT_EQ(g_totalSize, 0u);
    }
}

TEST_F(MoviesDownloadTest, TheRunWritesTheMoviesPageOrShowsWhyNot) {
    Settings settings;
    settings.general.intelliSynch = false;
    settings.main.movies.download = true;
    settings.main.movies.maxMovies = 2;

    RecordingRunView written;
    EXPECT_TRUE(RunDownload(settings, written).AllPagesWritten());
    const std::string page = home.ReadFile("xml/movies.xml");
    EXPECT_NE(page.find("<Card ID=\"102\">"), std::string::npos);
    EXPECT_EQ(page.find("<Card ID=\"103\">"), std::string::npos);

    server.Serve(kUsPath, "No films are playing this week.\n");
    RecordingRunView failed;
    const RunOutcome outcome = RunDownload(settings, failed);
    EXPECT_EQ(outcome.failedTopics, 1);
    EXPECT_TRUE(failed.Has("status Download \"" + PageFileName("movies.xmt") +
                           "\" in progress...HTML error: tag 'IMDb Rating\n   ' not found"));
}

}  // namespace
}  // namespace tp
