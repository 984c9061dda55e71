// The directions topic: one card per stored itinerary (see
// settings/itineraries.h), its route fetched from the maps provider through the
// conversion service and cut out with the directions tags, written as the
// directions page.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/globals.h"
#include "topics/topic_plan.h"
#include "net/fetch_url.h"
#include "settings/itineraries.h"
#include "settings/settings_model.h"

namespace tp {

// Longest card title (the itinerary's name as stored), in characters.
inline constexpr std::size_t kDirectionsTitleMax = 254;
// Longest encoded address value, in characters.
inline constexpr std::size_t kEncodedAddressMax = 127;
// Longest route text, in characters (the scratch text less its zero).
inline constexpr std::size_t kDirectionsTextMax = kScratchCapacity - 1;
// No new line of the route is started once the text is this long.
inline constexpr std::size_t kDirectionsBodyStop = 51194;
// Capacities of the page's index links and cards texts (terminating zero included).
inline constexpr std::size_t kDirectionsLinksCapacity = 5100;
inline constexpr std::size_t kDirectionsCardsCapacity = kScratchCapacity;

// Customization numbers of the two route planners.
inline constexpr int kDirectionsUsaAddress = 137;
inline constexpr int kDirectionsUsaStartTag = 138;
inline constexpr int kDirectionsUsaBodyTag = 139;
inline constexpr int kDirectionsFranceAddress = 149;
inline constexpr int kDirectionsFranceStartTag = 150;

struct DirectionsSource {
    int address;
    int startTag;  // start of the directions block; for the USA also the body's end
    int bodyTag;   // start of the body, 0 when there is none (France)
};

// The planner for a stored "Country%i": France for 1, the USA for any other value.
DirectionsSource DirectionsSourceFor(int country);

// An address value as the planner's address carries it: a blank becomes
// "%2B", a comma "%2C", every other character goes through CleanChar. The
// characters that would end or bend the address ("#", "%", "+", controls and
// bytes above 127) are percent-encoded twice, so the planner receives them as
// typed. Cut before kEncodedAddressMax is passed, never inside an escape.
std::string EncodeAddressValue(std::string_view value);

// Reads key of section "Directions" of the settings file at iniPath (empty when
// missing) and puts its encoded form in out.
void ReadEncodedAddressValue(std::string_view key, std::string& out, const std::string& iniPath);

// The planner's address for one route: the address text of number with its
// "%s" markers filled in the fixed order from address, from city, to address,
// to city (whatever the parameters' names in the text), all already encoded.
std::string DirectionsUrl(int addressNumber, std::string_view fromAddress,
                          std::string_view fromCity, std::string_view toAddress,
                          std::string_view toCity);

// Cuts one route out of the fetched text (zero-terminated; characters copied
// are cleaned in place): eight header lines after the start tag (paired into
// four lines when there is a body tag), a blank line, then the body lines up to
// the end marker (the start tag again, or "[" without a body tag). False with
// g_lastError = "HTML error: tag '<tag>' not found" naming the missing tag.
// out holds at most kDirectionsTextMax characters; a cut line still ends
// with its "<br/>".
bool ExtractDirections(char* text, int startTagNumber, int bodyTagNumber, std::string& out);

// The route of every stored itinerary, at most kMaxItineraries
// (SourceFetch::variant holds the record's number).
TopicPlan PlanDirections(const Settings& settings);

// Reads the icon and the template, then fetches and cuts the route of every
// itinerary of plan and writes the page to pagePath. False at the first step
// that fails, with its reason; no page is written then. No itinerary gives a
// page without cards.
bool BuildDirectionsPage(const std::string& pagePath, const Settings& settings, const TopicPlan& plan,
                         const Fetcher& fetcher);

// The topic's step in the download run (which shows its status text).
bool DownloadDirections(const Settings& settings, const TopicPlan& plan, const Fetcher& fetcher,
                        const std::string& pageFile);

}  // namespace tp
