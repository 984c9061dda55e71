// The astro topic: one card of daily horoscope per chosen zodiac sign, fetched
// through the conversion service and cut out after the start marker.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "topics/card_list.h"
#include "topics/topic_plan.h"
#include "net/fetch_url.h"
#include "settings/settings_model.h"

namespace tp {

// A page holds at most this many signs; later names are not fetched.
inline constexpr std::size_t kAstroSlots = 12;
// Longest card title, in characters.
inline constexpr std::size_t kAstroTitleMax = 254;
// Longest horoscope text, in characters (its slot less the terminating zero).
inline constexpr std::size_t kAstroTextMax = 51199;
// Capacities of the page's index links and cards texts (terminating zero included).
inline constexpr std::size_t kAstroLinksCapacity = 2048;
inline constexpr std::size_t kAstroCardsCapacity = 51200;

// Customization numbers: the address (its "%s" takes the sign in lower case)
// and the start marker of the horoscope text.
inline constexpr int kAstroAddress = 140;
inline constexpr int kAstroStartMarker = 141;

// The names of a "Signs" value in lower case, in order, empty pieces skipped,
// at most kAstroSlots of them.
std::vector<std::string> AstroSignsToFetch(std::string_view signs);

// The card title of a lower-case sign name: first letter upper case ("leo" gives
// "Leo"), at most kAstroTitleMax characters.
std::string AstroTitle(std::string_view sign);

// Cuts the horoscope out of a fetched text (zero-terminated; cleaned in place
// as it is read): after the start marker of customization markerNumber and the
// blanks and line feeds that follow it, every character up to the next "[" or
// the text's end, at most kAstroTextMax. False with g_lastError =
// "HTML error: tag '<marker>' not found" when the marker is missing.
bool ExtractHoroscope(char* text, int markerNumber, std::string& horoscope);

// Writes the astro page with one card per entry (ids from 101), with the icon
// and template of the astro settings. False with the reason of the step that
// failed; nothing is written then.
bool BuildAstroPage(const std::string& pagePath, const std::vector<CardEntry>& entries,
                    const Settings& settings);

// The horoscope of every sign of the list, at most kAstroSlots.
TopicPlan PlanAstro(const Settings& settings);

// The whole topic: fetch and cut the horoscope of every sign of plan, then
// write the page. False at the first fetch or cut that fails; no page is
// written and the horoscopes already fetched are dropped. An empty sign list
// writes a page without cards.
bool DownloadAstro(const Settings& settings, const TopicPlan& plan, const Fetcher& fetcher,
                   const std::string& pageFile);

}  // namespace tp
