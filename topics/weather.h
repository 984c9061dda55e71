// The weather topic: one card per US area code (ZIP) and per European city
// code, fetched through the conversion service and cut out with the weather
// tags, written as the weather page.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "topics/topic_plan.h"
#include "net/fetch_url.h"
#include "settings/code_lists.h"
#include "settings/settings_model.h"

namespace tp {

// A page holds at most this many places; codes beyond it are not fetched.
inline constexpr std::size_t kWeatherSlots = 10;
// Longest place name on a card, in characters.
inline constexpr std::size_t kWeatherTitleMax = 254;
// Longest card body, in characters.
inline constexpr std::size_t kWeatherBodyMax = 51199;
// Longest line of a European card (today, or one following day), in characters.
inline constexpr std::size_t kWeatherEuroLineMax = 1023;
// Capacities of the page's index links and cards texts (terminating zero included).
inline constexpr std::size_t kWeatherLinksCapacity = 2550;
inline constexpr std::size_t kWeatherCardsCapacity = 512000;

// Customization numbers of the US source: the address and its only tag.
inline constexpr int kWeatherUsaAddress = 104;
inline constexpr int kWeatherUsaTag = 171;

// Customization numbers of one European language edition.
struct EuropeanWeatherSource {
    int address;
    int todayWord;
    int lowWord;
    int highWord;
    int endMarker;
};

// The edition of "Language" (0 English, 1 French, 2 German, 3 Italian,
// 4 Spanish); any other value takes the French address with the English tags.
EuropeanWeatherSource EuropeanWeatherSourceFor(int language);

// One place of the page: its name and its card text.
struct WeatherSlot {
    std::string title;
    std::string body;
};


// Fill slot from the fetched text of a US printable forecast (zero-terminated;
// never read past its zero). False with g_lastError =
// "HTML error: weather tag '<tag>' not found" when the tag is missing.
bool ExtractWeatherUsa(const char* text, const WeatherSettings& weather, const CodeLists& lists,
                       std::string_view code, WeatherSlot& slot);

// Fill slot from the fetched text of a European portal page. The walk cleans
// the characters it copies in place, so text is changed. False with g_lastError =
// "HTML error: weather2 tag '<tag>' not found" naming the today, high or low
// word that is missing.
bool ExtractWeatherEurope(char* text, const WeatherSettings& weather, const CodeLists& lists,
                          std::string_view code, WeatherSlot& slot);

// Writes the weather page with one card per slot (ids from 101), icon and
// template of the weather settings. False with the page step's message.
bool BuildWeatherPage(const std::string& pagePath, const std::vector<WeatherSlot>& slots,
                      const Settings& settings);

// The two kinds of weather page (SourceFetch::variant).
enum class WeatherSource { Usa, Europe };

// Every ZIP code, then every city code, at most kWeatherSlots in all.
TopicPlan PlanWeather(const Settings& settings);

// The whole topic: fetch and cut each page of plan, then write the page. False
// at the first fetch or cut that fails (no page is written), or when the plan
// is empty.
bool DownloadWeather(const Settings& settings, const TopicPlan& plan, const Fetcher& fetcher,
                     const std::string& pageFile);

}  // namespace tp
