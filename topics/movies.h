// The movies topic: one card per film of a films list, fetched through the
// conversion service from one of two sources (films now playing in the USA,
// films coming soon in France) and written as the movies page.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "topics/topic_plan.h"
#include "net/fetch_url.h"
#include "settings/settings_model.h"

namespace tp {

// A page holds at most this many films, whatever "MaxMovies" says.
inline constexpr std::size_t kMovieSlots = 10;
// Longest film title and film text kept, in characters; longer ones are cut.
inline constexpr std::size_t kMovieTitleMax = 79;
inline constexpr std::size_t kMovieBodyMax = 2047;
// Capacities of the page's index links and cards texts (terminating zero included).
inline constexpr std::size_t kMoviesLinksCapacity = 51200;
inline constexpr std::size_t kMoviesCardsCapacity = 51200;

// Customization numbers of one source: its address, the tag that leads each
// film and the tag that ends a film's text.
struct MoviesSource {
    int address;
    int startTag;
    int endTag;
};

// "LangMovies" 1 is the French list of films coming soon; any other value the
// English list of films now playing.
MoviesSource MoviesSourceFor(int langMovies);

struct MovieSlot {
    std::string title;
    std::string body;
};

// What one extraction yields: the films in list order and, for them, the
// page's index links and cards (ids from 101).
struct MoviesList {
    std::vector<MovieSlot> films;
    std::string indexLinks;
    std::string cards;
};

// Cuts the films out of a fetched list (zero-terminated; never read past its
// zero). The walk cleans the characters it copies in place, so text is changed.
// The list ends after "MaxMovies" films or at the first film whose start tag is
// missing; that miss leaves FindAfterTag's message in g_lastError but is not a
// failure. False with g_lastError = "HTML error: tag '<start tag>' not found"
// when the list holds no start tag at all.
bool ExtractMovies(char* text, const MoviesSettings& movies, MoviesList& list);

// The whole topic: read the icon and the template, fetch the list of the
// chosen source, extract it and write the page to pageFile. False with the
// reason of the first step that failed; no page is written then.
bool DownloadMovies(const Settings& settings, const TopicPlan& plan, const Fetcher& fetcher,
                    const std::string& pageFile);
// The one list of the chosen source.
TopicPlan PlanMovies(const Settings& settings);

}  // namespace tp
