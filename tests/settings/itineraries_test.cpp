#include "settings/itineraries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "app/paths.h"
#include "app/text_format.h"
#include "settings/ini_file.h"
#include "tests/support/temp_home.h"

namespace tp {
namespace {

using Names = std::vector<std::string>;

Itinerary Route(const std::string& name, int country = kCountryUsa) {
    return {name, country, "1 " + name + " St", "san jose, ca", "2 Main St", "95118"};
}

class ItinerariesTest : public ::testing::Test {
protected:
    // Records 1..names.size() as the dialog would have stored them.
    void Store(const Names& names) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            ASSERT_TRUE(WriteItinerary(ini, static_cast<int>(i) + 1, Route(names[i])));
        }
    }

    test::TempHome home;
    const std::string ini = GetIniPath();
};

TEST_F(ItinerariesTest, CountStopsAtTheFirstMissingOrEmptyName) {
    struct Case {
        const char* name;
        const char* section;
        int count;
    };
    const Case cases[] = {
        {"no file", nullptr, 0},
        {"three records", "Itinary1=A\nItinary2=B\nItinary3=C\n", 3},
        {"empty name ends the list", "Itinary1=A\nItinary2=\nItinary3=C\n", 1},
        {"blank name ends the list", "Itinary1=A\nItinary2=   \nItinary3=C\n", 1},
        {"gap ends the list", "Itinary1=A\nItinary2=B\nItinary4=D\n", 2},
        {"addresses alone are no record", "FromAddress1=1 Main St\n", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.section) home.WriteFile("cfg/Tidepost.ini", std::string("[Directions]\n") + c.section);
        EXPECT_EQ(CountItineraries(ini), c.count);
    }
}

TEST_F(ItinerariesTest, RecordsReadBackAsWrittenAndMissingKeysReadAsDefaults) {
    Itinerary itinerary{"Caf\xE9 & Gym", kCountryFrance, "12 rue de Rivoli", "75001 Paris",
                        "1 place de la Com\xE9" "die", "Montpellier"};
    ASSERT_TRUE(WriteItinerary(ini, 1, itinerary));
    EXPECT_EQ(ReadItinerary(ini, 1), itinerary);
    EXPECT_EQ(home.ReadFile("cfg/Tidepost.ini"),
              "[Directions]\r\nItinary1=Caf\xE9 & Gym\r\nCountry1=1\r\nFromAddress1=12 rue de Rivoli\r\n"
              "FromCity1=75001 Paris\r\nToAddress1=1 place de la Com\xE9" "die\r\n"
              "ToCity1=Montpellier\r\n");

    home.WriteFile("cfg/Tidepost.ini", "[Directions]\nItinary2=Bare\n");
    EXPECT_EQ(ReadItinerary(ini, 2), (Itinerary{"Bare", kCountryUsa, "", "", "", ""}));
}

TEST_F(ItinerariesTest, ListLookUpIsAPrefixSearchFromTheSecondEntryIgnoringCase) {
    struct Case {
        Names list;
        const char* name;
        int index;
    };
    const Case cases[] = {
        {{"Home to work", "Gym"}, "home", 0},
        {{"Home to work", "Gym"}, "GYM", 1},
        {{"Home to work", "Gym"}, "Work", -1},
        {{"Home to work", "Gym"}, "Home to work and back", -1},
        {{"Hat", "Home", "Hill"}, "h", 1},
        {{"Hat", "Home", "Hill"}, "ha", 0},
        {{"\xC9" "cole", "Gare"}, "\xE9" "co", 0},
        {{}, "Home", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FindListedItinerary(c.list, c.name), c.index);
    }
}

TEST_F(ItinerariesTest, StoreReplacesAMatchingEntryOrAppends) {
    Store({"Home to work", "Gym"});
    const Names list = ReadItineraryNames(ini);

    Itinerary replacement = Route("  home\t", kCountryFrance);
    StoreItineraryOutcome outcome = StoreItinerary(ini, list, replacement);
    EXPECT_EQ(outcome.result, StoreItineraryResult::Replaced);
    EXPECT_EQ(outcome.number, 1);
    replacement.name = "home";
    EXPECT_EQ(ReadItinerary(ini, 1), replacement);

    // The list still shows the old name: "Home" still finds the first entry.
    outcome = StoreItinerary(ini, list, Route("Home"));
    EXPECT_EQ(outcome.result, StoreItineraryResult::Replaced);
    EXPECT_EQ(outcome.number, 1);

    outcome = StoreItinerary(ini, list, Route("Work"));
    EXPECT_EQ(outcome.result, StoreItineraryResult::Appended);
    EXPECT_EQ(outcome.number, 3);
    EXPECT_EQ(ReadItineraryNames(ini), (Names{"Home", "Gym", "Work"}));
}

TEST_F(ItinerariesTest, NineteenListedLeaveRoomForATwentieth) {
    Names nineteen;
    for (int i = 1; i < kMaxItineraries; ++i) nineteen.push_back(Format("Route %i", i));
    Store(nineteen);
    const StoreItineraryOutcome outcome = StoreItinerary(ini, nineteen, Route("Last"));
    EXPECT_EQ(outcome.result, StoreItineraryResult::Appended);
    EXPECT_EQ(outcome.number, kMaxItineraries);
    EXPECT_EQ(CountItineraries(ini), kMaxItineraries);
}

TEST_F(ItinerariesTest, RefusedStoresWriteNothingAndNameTheirMessage) {
    Names twenty;
    for (int i = 1; i <= kMaxItineraries; ++i) twenty.push_back(Format("Route %i", i));
    Itinerary noCity = Route("Gym");
    noCity.toCity.clear();
    struct Case {
        const char* name;
        Names list;
        Itinerary entered;
        StoreItineraryResult result;
        const char* caption;
        const char* text;
    };
    const Case cases[] = {
        {"a full list, even for a name that would replace", twenty, Route("Route 1"),
         StoreItineraryResult::LimitReached, "Directions limitation",
         "You have already reached the maximum of initaries !"},
        {"a name of white space only", {}, Route(" \t "), StoreItineraryResult::NameMissing,
         "Directions information missing", "Please, enter an initinary name"},
        {"an empty address", {}, noCity, StoreItineraryResult::AddressMissing,
         "Directions information missing", "Please, add the full 'from' and 'start' directions"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StoreItineraryOutcome outcome = StoreItinerary(ini, c.list, c.entered);
        EXPECT_EQ(outcome.result, c.result);
        const ItineraryMessage message = StoreItineraryMessage(outcome.result);
        EXPECT_EQ(message.caption, c.caption);
        EXPECT_EQ(message.text, c.text);
        EXPECT_FALSE(home.Exists("cfg/Tidepost.ini"));
    }
}

TEST_F(ItinerariesTest, DeletingMovesTheLastRecordIntoTheGap) {
    struct Case {
        const char* name;
        Names stored;
        int selected;
        Names after;
    };
    const Case cases[] = {
        {"first of three", {"A", "B", "C"}, 0, {"C", "B"}},
        {"middle of three", {"A", "B", "C"}, 1, {"A", "C"}},
        {"last of three moves nothing", {"A", "B", "C"}, 2, {"A", "B"}},
        {"the only one", {"A"}, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        home.WriteFile("cfg/Tidepost.ini", "");
        Store(c.stored);
        ASSERT_TRUE(DeleteListedItinerary(ini, c.stored, c.selected)) << g_lastError;
        EXPECT_EQ(ReadItineraryNames(ini), c.after);
        for (std::size_t i = 0; i < c.after.size(); ++i) {
            EXPECT_EQ(ReadItinerary(ini, static_cast<int>(i) + 1), Route(c.after[i]));
        }
        // Nothing of the old last record is left behind.
        const int last = static_cast<int>(c.stored.size());
        EXPECT_EQ(ReadItinerary(ini, last), (Itinerary{}));
    }
}

TEST_F(ItinerariesTest, TheMovedRecordTakesTheNameItsListEntryShows) {
    Store({"A", "B", "C"});
    ASSERT_TRUE(DeleteListedItinerary(ini, {"A", "B", "Old name of C"}, 0));
    EXPECT_EQ(ReadItineraryNames(ini), (Names{"Old name of C", "B"}));
}

TEST_F(ItinerariesTest, DeletingOutsideTheListChangesNothing) {
    Store({"A", "B"});
    const std::string before = home.ReadFile("cfg/Tidepost.ini");
    for (const int index : {-1, 2}) {
        SCOPED_TRACE(index);
        EXPECT_FALSE(DeleteListedItinerary(ini, {"A", "B"}, index));
        EXPECT_TRUE(g_lastError.starts_with("Directions error: ")) << g_lastError;
        EXPECT_EQ(home.ReadFile("cfg/Tidepost.ini"), before);
    }
}

TEST_F(ItinerariesTest, DeleteAllRemovesHandEditedRecordsBeyondTwenty) {
    Names stored;
    for (int i = 1; i <= 25; ++i) stored.push_back(Format("Route %i", i));
    Store(stored);
    ASSERT_TRUE(ini::WriteString(ini, "Directions", "Download", "1"));
    EXPECT_EQ(ReadItineraryNames(ini).size(), 25u);

    ASSERT_TRUE(DeleteAllItineraries(ini));
    EXPECT_EQ(home.ReadFile("cfg/Tidepost.ini"), "[Directions]\r\nDownload=1\r\n");
}

}  // namespace
}  // namespace tp
