#include "topics/movies.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "app/globals.h"
#include "topics/scan.h"
#include "net/fetch_url.h"
#include "pages/page_files.h"
#include "topics/topic_table.h"
#include "pages/page_format.h"
#include "settings/custom_store.h"

namespace tp {

namespace {

constexpr char kBlank = ' ';
constexpr char kLineFeed = '\n';
constexpr char kMarkerOpen = '[';
constexpr char kMarkerClose = ']';
constexpr int kFirstCardId = 101;
constexpr int kEnglish = 0;
constexpr int kFrench = 1;

// The English list repeats these link labels in every film's text; each is
// followed by one separator character that goes with it.
constexpr std::array<std::string_view, 3> kLinkLabels = {"Showtimes\n", "Trailers\n", "Photos\n"};


// The title line: line feeds before it are passed over, the line itself is
// cleaned and kept up to kMovieTitleMax characters. Returns the position
// after its line feed.
std::size_t ReadTitle(char* text, std::size_t pos, std::string& title) {
    while (text[pos] == kLineFeed) ++pos;
    for (; text[pos] != '\0' && text[pos] != kLineFeed; ++pos) {
        const char c = CleanChar(text, pos);
        if (title.size() < kMovieTitleMax) title += c;
    }
    return text[pos] == kLineFeed ? pos + 1 : pos;
}

// The film's text up to the end tag (or the text's end) as one paragraph: line
// feeds and link markers dropped, runs of blanks shown as one blank and, with
// stripLabels, the English link labels left out. Returns the position where
// the end tag matches.
std::size_t ReadBody(char* text, std::size_t pos, std::string_view endTag, bool stripLabels,
                     std::string& body) {
    bool inMarker = false;
    while (text[pos] != '\0' && !MatchTag(text, pos, endTag)) {
        if (stripLabels) {
            for (std::string_view label : kLinkLabels) {
                if (MatchTag(text, pos, label)) pos = StepForward(text, pos, label.size() + 1);
            }
            if (text[pos] == '\0') break;
        }
        const char c = text[pos];
        if (inMarker) {
            // The end tag may start on the closing bracket, so a marker is
            // walked one character at a time like the rest.
            if (c == kMarkerClose) inMarker = false;
        } else if (c == kMarkerOpen) {
            inMarker = true;
        } else if (c != kLineFeed) {
            const char cleaned = CleanChar(text, pos);
            const bool repeatsBlank = cleaned == kBlank && !body.empty() && body.back() == kBlank;
            if (!repeatsBlank && body.size() < kMovieBodyMax) body += cleaned;
        }
        ++pos;
    }
    return pos;
}

}  // namespace

MoviesSource MoviesSourceFor(int langMovies) {
    if (langMovies == kFrench) return {133, 134, 173};
    return {120, 121, 124};
}

bool ExtractMovies(char* text, const MoviesSettings& movies, MoviesList& list) {
    const MoviesSource source = MoviesSourceFor(movies.langMovies);
    const std::string startTag = GetCustomString(source.startTag);
    const std::string endTag = GetCustomString(source.endTag);

    std::size_t pos = FindAfterTag(text, 0, startTag);
    if (pos == kNotFound) return false;

    list = MoviesList{};
    const bool anchored = movies.langMovies == kEnglish || movies.langMovies == kFrench;
    const bool stripLabels = movies.langMovies == kEnglish;
    const std::size_t wanted =
        static_cast<std::size_t>(std::clamp(movies.maxMovies, 0, static_cast<int>(kMovieSlots)));

    while (list.films.size() < wanted) {
        if (anchored) pos = AnchorAfterBracket(text, pos);
        MovieSlot film;
        pos = ReadTitle(text, pos, film.title);
        if (film.title.empty()) break;  // the text ended before a title line
        pos = ReadBody(text, pos, endTag, stripLabels, film.body);
        list.films.push_back(std::move(film));
        // A missing start tag is where the list ends; its message stays behind.
        pos = FindAfterTag(text, pos, startTag);
        if (pos == kNotFound) break;
    }

    int id = kFirstCardId;
    for (const MovieSlot& film : list.films) {
        AppendIndexLink(list.indexLinks, kMoviesLinksCapacity, id, film.title);
        AppendCard(list.cards, kMoviesCardsCapacity, id, film.title, film.body);
        ++id;
    }
    return true;
}

TopicPlan PlanMovies(const Settings& settings) {
    const int address = MoviesSourceFor(settings.main.movies.langMovies).address;
    return {{GetCustomUrl(address, std::nullopt), address, {}, 0}};
}

bool DownloadMovies(const Settings& settings, const TopicPlan& plan, const Fetcher& fetcher,
                    const std::string& pageFile) {
    const MoviesSettings& movies = settings.main.movies;
    std::string icon;
    std::string templateText;
    if (!ReadPageSources(movies.icon, movies.xml, icon, templateText)) return false;

    if (!fetcher.Fetch(plan.front().url)) return false;
    MoviesList list;
    if (!ExtractMovies(g_transferBuffer, movies, list)) return false;

    const GeneralSettings& general = settings.general;
    const std::string dateLine = FormatPageDate(general.timeFormat != 0, general.timeZone);
    std::string page;
    return ComposePage(TopicOf(TopicId::Movies).page, templateText, icon, dateLine, list.indexLinks, list.cards,
                       movies.xml, page) &&
           WritePage(pageFile, page);
}


}  // namespace tp
