#include "topics/movies.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "platform/text_file.h"
#include "settings/custom_store.h"
#include "tests/support/temp_home.h"

namespace tp {
namespace {

using test::TempHome;

constexpr int kEnglish = 0;
constexpr int kFrench = 1;
const std::string kEnglishStart = "IMDb Rating\n   ";

std::string ReadSourceFile(const std::string& relative) {
    std::string text;
    EXPECT_TRUE(ReadBinaryFile(TIDEPOST_SOURCE_DIR "/" + relative, text)) << relative;
    return text;
}

MoviesSettings MoviesWith(int lang, int maxMovies) {
    MoviesSettings movies;
    movies.langMovies = lang;
    movies.maxMovies = maxMovies;
    return movies;
}

// Runs the extraction on a private copy of text, as the fetch would leave it.
bool Extract(const std::string& text, const MoviesSettings& movies, MoviesList& list) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return ExtractMovies(buffer.data(), movies, list);
}

// One English film entry as the list shows it.
std::string EnglishFilm(const std::string& title, const std::string& text) {
    return "   7.0/10 IMDb Rating\n   [1]" + title + "\n" + text + "[2]Reviews\n\n";
}

class MoviesExtractTest : public ::testing::Test {
protected:
    TempHome home;
};

TEST_F(MoviesExtractTest, RecordedListsGiveTheExpectedLinksAndCards) {
    struct Row {
        const char* recorded;
        int lang;
        const char* expected;
    };
    const Row rows[] = {
        {"tools/sample_provider/pages/movies/us/now_playing.txt", kEnglish,
         "tests/data/movies_us_now_playing_links_and_cards.txt"},
        {"tools/sample_provider/pages/movies/fr/avenir.txt", kFrench,
         "tests/data/movies_fr_coming_soon_links_and_cards.txt"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.recorded);
        MoviesList list;
        ASSERT_TRUE(Extract(ReadSourceFile(row.recorded), MoviesWith(row.lang, 10), list));
        EXPECT_EQ(list.indexLinks + list.cards, ReadSourceFile(row.expected));
    }
}

TEST_F(MoviesExtractTest, FilmsAreCutIntoTitleAndOneParagraph) {
    struct Film {
        std::string title;
        std::string body;
    };
    struct Row {
        const char* name;
        int lang;
        int maxMovies;
        std::string text;
        std::vector<Film> films;
    };
    const std::string five = EnglishFilm("One", "a\n") + EnglishFilm("Two", "b\n") +
                             EnglishFilm("Three", "c\n") + EnglishFilm("Four", "d\n") +
                             EnglishFilm("Five", "e\n");
    std::string twelve;
    for (int i = 0; i < 12; ++i) twelve += EnglishFilm("F" + std::to_string(i), "x\n");

    // clang-format off
    const std::vector<Row> rows = {
        {"three films with room for ten", kEnglish, 10,
         EnglishFilm("One", "a\n") + EnglishFilm("Two", "b\n") + EnglishFilm("Three", "c\n") +
             "   Copyright\n",
         {{"One", "a"}, {"Two", "b"}, {"Three", "c"}}},
        {"MaxMovies 2 on a list of five", kEnglish, 2, five, {{"One", "a"}, {"Two", "b"}}},
        {"MaxMovies above the ten slots", kEnglish, 12, twelve,
         {{"F0", "x"}, {"F1", "x"}, {"F2", "x"}, {"F3", "x"}, {"F4", "x"},
          {"F5", "x"}, {"F6", "x"}, {"F7", "x"}, {"F8", "x"}, {"F9", "x"}}},
        {"MaxMovies 0 takes no film", kEnglish, 0, five, {}},
        {"blanks around a line feed become one blank", kEnglish, 10,
         EnglishFilm("T", "word  \n   word\n"), {{"T", "word word"}}},
        {"a line feed alone joins the lines", kEnglish, 10, EnglishFilm("T", "one\ntwo\n"),
         {{"T", "onetwo"}}},
        {"leading blanks of the text stay one blank", kEnglish, 10, EnglishFilm("T", "   x\n"),
         {{"T", " x"}}},
        {"link markers leave nothing", kEnglish, 10,
         EnglishFilm("T", "With [12]Ann and [13]Bob\n"), {{"T", "With Ann and Bob"}}},
        {"a stray bracket hides the text up to the next closing one", kEnglish, 10,
         EnglishFilm("T", "Bo[b\nand more\n"), {{"T", "Bo"}}},
        {"English labels are dropped with the character after each", kEnglish, 10,
         EnglishFilm("T", "Plot.\n[5]Showtimes\n Trailers\n Photos\n "),
         {{"T", "Plot."}}},
        {"a label missing from the row does not stop the others", kEnglish, 10,
         EnglishFilm("T", "Plot.\nShowtimes\n|Photos\n|"), {{"T", "Plot."}}},
        {"a label without its line feed is text", kEnglish, 10, EnglishFilm("T", "Photos of x\n"),
         {{"T", "Photos of x"}}},
        {"French keeps the English labels", kFrench, 10,
         "[1]Titre\nShowtimes\n Trailers\n Photos\n\n",
         {{"Titre", "Showtimes Trailers Photos"}}},
        {"another language takes the English tags without anchor or labels", 2, 10,
         "IMDb Rating\n   Title\nShowtimes\n x]Reviews",
         {{"Title", "Showtimes x"}}},
        {"French films end at an empty line", kFrench, 10,
         "Header\n\n[1]Un\n   Avec A\n   Sortie\n\n[2]Deux\n   B\n\n   Fin\n",
         {{"Un", " Avec A Sortie"}, {"Deux", " B"}}},
        {"line feeds before the title are passed over", kFrench, 10, "[1]\n\nTitre\ntexte\n\n",
         {{"Titre", "texte"}}},
        {"end tag right after the title leaves the text empty", kEnglish, 10,
         "IMDb Rating\n   [1]T\n]Reviews", {{"T", ""}}},
        {"titles and texts are cleaned", kEnglish, 10,
         EnglishFilm("\"Tom\" & <Jerry>", "Caf\xE9 & \"bar\" <b>\xC9t\xE9</b>\n"),
         {{"'Tom' - (Jerry)", "Cafe - 'bar' (b)Ete(/b)"}}},
        {"a film's text on one line", kEnglish, 10,
         "IMDb Rating\n   [1]A\nfirst text[2]Reviews IMDb Rating\n   [3]B\nsecond]Reviews",
         {{"A", "first text"}, {"B", "second"}}},
        {"a list without line feeds is one title", kFrench, 10, "[1]Un [2]Deux [3]Trois",
         {{"Un [2]Deux [3]Trois", ""}}},
        {"text ending mid-item keeps what came", kEnglish, 10,
         EnglishFilm("A", "a\n") + "IMDb Rating\n   [1]B\nhalf a sen",
         {{"A", "a"}, {"B", "half a sen"}}},
        {"text ending inside a link marker", kEnglish, 10, "IMDb Rating\n   [1]A\nsee [12",
         {{"A", "see "}}},
        {"text ending inside a label", kEnglish, 10, "IMDb Rating\n   [1]A\nx Showtimes\n",
         {{"A", "x "}}},
        {"text ending right after the anchor gives no film", kEnglish, 10,
         EnglishFilm("A", "a\n") + "IMDb Rating\n   [1]", {{"A", "a"}}},
        {"text ending before the anchor's bracket gives no film", kFrench, 10, "[1", {}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MoviesList list;
        ASSERT_TRUE(Extract(row.text, MoviesWith(row.lang, row.maxMovies), list));
        ASSERT_EQ(list.films.size(), row.films.size());
        for (std::size_t i = 0; i < row.films.size(); ++i) {
            EXPECT_EQ(list.films[i].title, row.films[i].title) << "film " << i;
            EXPECT_EQ(list.films[i].body, row.films[i].body) << "film " << i;
        }
    }
}

TEST_F(MoviesExtractTest, TheListEndsAtTheFirstMissingStartTagWithoutFailing) {
    SetLastError("earlier");
    MoviesList list;
    ASSERT_TRUE(Extract(EnglishFilm("One", "a\n") + EnglishFilm("Two", "b\n"),
                        MoviesWith(kEnglish, 10), list));
    EXPECT_EQ(list.films.size(), 2u);
    EXPECT_EQ(g_lastError, "HTML error: tag '" + kEnglishStart + "' not found");
    EXPECT_NE(list.cards.find("<Card ID=\"102\">"), std::string::npos);
    EXPECT_EQ(list.cards.find("<Card ID=\"103\">"), std::string::npos);
}

TEST_F(MoviesExtractTest, NoStartTagAtAllFailsAndKeepsTheList) {
    struct Row {
        int lang;
        std::string text;
        std::string message;
    };
    const Row rows[] = {
        {kEnglish, "IMDb Rating\n  [1]two blanks only\n",
         "HTML error: tag '" + kEnglishStart + "' not found"},
        {kFrench, "Aucun film cette semaine\n\n", "HTML error: tag '[' not found"},
        {kEnglish, "", "HTML error: tag '" + kEnglishStart + "' not found"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message + " / " + row.text);
        MoviesList list;
        list.films.push_back({"kept", "kept"});
        EXPECT_FALSE(Extract(row.text, MoviesWith(row.lang, 10), list));
        EXPECT_EQ(g_lastError, row.message);
        EXPECT_EQ(list.films.size(), 1u);
    }
}

TEST_F(MoviesExtractTest, HugeTitlesAndTextsAreCutAndTheNextFilmStillFollows) {
    const std::string longTitle(300, 'T');
    std::string longText;
    for (int i = 0; i < 600; ++i) longText += "word [9]  \n";
    MoviesList list;
    ASSERT_TRUE(Extract(EnglishFilm(longTitle, longText) + EnglishFilm("Next", "n\n"),
                        MoviesWith(kEnglish, 10), list));
    ASSERT_EQ(list.films.size(), 2u);
    EXPECT_EQ(list.films[0].title, std::string(kMovieTitleMax, 'T'));
    ASSERT_EQ(list.films[0].body.size(), kMovieBodyMax);
    EXPECT_EQ(list.films[0].body.substr(0, 15), "word word word ");
    EXPECT_EQ(list.films[1].title, "Next");
    EXPECT_EQ(list.films[1].body, "n");
}

TEST_F(MoviesExtractTest, CustomizedTagsAreUsed) {
    ASSERT_TRUE(SetCustomString(134, std::string_view("<film>")));
    ASSERT_TRUE(SetCustomString(173, std::string_view("--")));
    MoviesList list;
    ASSERT_TRUE(Extract("[x] <film> #1]Un\ntexte--[y]\n<film>]Deux\nautre--",
                        MoviesWith(kFrench, 10), list));
    ASSERT_EQ(list.films.size(), 2u);
    EXPECT_EQ(list.films[0].title, "Un");
    EXPECT_EQ(list.films[0].body, "texte");
    EXPECT_EQ(list.films[1].title, "Deux");
    EXPECT_EQ(list.films[1].body, "autre");
}

}  // namespace
}  // namespace tp
