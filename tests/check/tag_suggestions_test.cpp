// Sites that changed under their tags: each sample page as it was served
// before, and after a small edit such as a site makes. The check must name the
// tag that went missing, and the first suggestion must cut the cards that the
// old tag cut from the old page.
#include "check/tag_suggestions.h"

#include "app/globals.h"
#include "tests/check/check_home.h"

#include <gtest/gtest.h>

#include <string>

namespace tp {
namespace {

using test::FetchedText;
using test::ReplaceAll;
using test::SamplePage;

struct SiteChange {
    const char* what;
    int address;
    const char* code;
    const char* page;
    std::string from;
    std::string to;
    int missing;
    // The change is also repaired without the last good text.
    bool blind;
};

const SiteChange kChanges[] = {
    {"US forecast: the column heading reworded", 104, "10001", "weather/us/10001.txt",
     "Precip. %", "Chance of rain", 171, false},
    {"UK forecast: the arrow ending today's text gone", 130, "UKXX/UKXX0085", "weather/en/UKXX_UKXX0085.txt",
     "   <- Back", "   Back", 154, false},
    {"UK forecast: the arrow ending today's text now a dash", 130, "UKXX/UKXX0085",
     "weather/en/UKXX_UKXX0085.txt", "   <- Back", "   -- Back", 154, true},
    {"German forecast: a prefix on the high", 129, "GMXX/GMXX0007", "weather/de/GMXX_GMXX0007.txt",
     "Maximal:", "Tagesmaximal:", 169, true},
    {"World news: blank lines added inside the tag", 106, "", "news/en/world.txt",
     "]Photos\n\n", "]Photos\n\n\n", 111, true},
    {"Technology news: the heading reworded", 107, "", "news/en/tech.txt",
     "Computers and Internet", "Computers & Internet", 112, false},
    {"Sport news: the link now wrapped onto a line of its own", 108, "", "news/en/sport.txt",
     "Internet Broadcasts", "Internet\n   Broadcasts", 113, true},
    {"French world news: a list bullet now inside the link", 109, "", "news/fr/world.txt",
     "[4]International", "[4]\n     * International", 114, true},
    {"French technology news: an image now before the link's word", 135, "", "news/fr/tech.txt",
     "[5]Photos", "[5][IMG] Photos", 136, true},
    {"French sport news: the banner reworded", 110, "", "news/fr/sport.txt",
     "POUR TOUTE L'INFO", "POUR TOUTE L'INFO EN CONTINU", 115, false},
    {"Quotes: the column heading reworded", 118, "IBM", "quotes/IBM.txt", "Last Trade", "Last Price", 119, false},
    {"Rates: a class added to every cell", 117, "EUR/USD", "rates/EUR_USD.html",
     "<td><font", "<td class=\"rate\"><font", 172, false},
    {"US films: a blank line added after the rating", 120, "", "movies/us/now_playing.txt",
     "IMDb Rating\n   [", "IMDb Rating\n\n   [", 121, true},
    {"US films: a prefix on the reviews link", 120, "", "movies/us/now_playing.txt",
     "]Reviews", "]All Reviews", 124, false},
    {"French films: the blank lines between films now hold a blank", 133, "", "movies/fr/avenir.txt",
     "\n\n", "\n \n", 173, false},
    {"US directions: the miles column renamed", 137, test::kUsItinerary,
     "directions/us/350+5th+Ave_New+York,+NY_1+Penn+Plz_New+York,+NY.txt", "Miles", "Mileage", 139, false},
    {"French directions: the sending link reworded", 149, test::kFrenchItinerary,
     "directions/fr/12+rue+de+Rivoli_75001+Paris_1+place+de+la+Comedie_34000+Montpellier.txt",
     "Envoyer l'itin", "Partager l'itin", 150, false},
    {"Horoscope: the site moved to another domain", 140, "leo", "astro/leo.txt",
     "astrology.example.com", "stars.example.net", 141, false},
};

class SiteChangeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(test::PrepareCheckHome(home)) << g_lastError; }

    test::TempHome home;
    Settings settings;
};

TEST_F(SiteChangeTest, TheCheckNamesTheMissingTagAndTheFirstSuggestionCutsTheOldCards) {
    for (const SiteChange& change : kChanges) {
        for (const bool withLastGood : {true, false}) {
            if (!withLastGood && !change.blind) continue;
            SCOPED_TRACE(std::string(change.what) + (withLastGood ? "" : ", without the last good text"));
            CheckTarget target;
            ASSERT_TRUE(TargetForAddress(settings, change.address, change.code, {}, target)) << g_lastError;
            const std::string before = SamplePage(change.page);
            std::string after = before;
            ASSERT_GT(ReplaceAll(after, change.from, change.to), 0);

            const SourceCheck good = CheckFetched(target, FetchedText(before), "");
            ASSERT_EQ(good.outcome, CheckOutcome::Ok) << OutcomeText(good);
            const SourceCheck broken = CheckFetched(target, FetchedText(after), "");
            ASSERT_EQ(broken.outcome, CheckOutcome::TagMissing) << OutcomeText(broken);
            EXPECT_EQ(broken.FirstMissing()->number, change.missing);

            const auto suggestions = SuggestTags(broken, withLastGood ? &before : nullptr);
            ASSERT_FALSE(suggestions.empty());
            const TagSuggestion& first = suggestions.front();
            EXPECT_EQ(first.number, change.missing);
            EXPECT_EQ(CutText(target, after, {{first.number, first.tag}}).cardsXml, good.cut.cardsXml)
                << "first suggestion: '" << first.tag << "'";
        }
    }
}

TEST_F(SiteChangeTest, NothingIsSuggestedWhenNoCandidateGivesCards) {
    CheckTarget target;
    ASSERT_TRUE(TargetForAddress(settings, 130, "UKXX/UKXX0085", {}, target)) << g_lastError;
    // "today" stands in it, loosely and in part, but no forecast follows.
    const SourceCheck broken = CheckFetched(target, FetchedText("   The forecast for today is not available.\n"), "");
    ASSERT_EQ(broken.outcome, CheckOutcome::TagMissing);
    const std::string lastGood = SamplePage("weather/en/UKXX_UKXX0085.txt");
    EXPECT_TRUE(SuggestTags(broken, &lastGood).empty());
    EXPECT_TRUE(SuggestTags(broken, nullptr).empty());
}

}  // namespace
}  // namespace tp
