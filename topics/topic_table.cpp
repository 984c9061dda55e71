#include "topics/topic_table.h"

#include "topics/astro.h"
#include "topics/directions.h"
#include "topics/email.h"
#include "topics/movies.h"
#include "topics/news.h"
#include "topics/stocks.h"
#include "topics/weather.h"

#include <algorithm>
#include <cstddef>

namespace tp {
namespace {

TopicPlan NothingToFetch(const Settings&) { return {}; }

bool DownloadEmailPage(const Settings& settings, const TopicPlan&, const Fetcher&, const std::string& pageFile) {
    return DownloadEmail(settings, pageFile);
}

const Topic kTopics[] = {
    {TopicId::Weather, 1, "Weather", "Weather", 132, 136, {"Weather", true},
     [](const Settings& s) { return s.main.weather.download; },
     [](const Settings& s) -> const std::string& { return s.main.weather.icon; },
     [](const Settings& s) -> const std::string& { return s.main.weather.xmlUsa; },
     [](Settings& s) { return TopicFiles{s.main.weather.download, s.main.weather.icon, s.main.weather.xmlUsa}; }, PlanWeather, DownloadWeather,
     true},
    {TopicId::News, 2, "News", "News", 130, 134, {"News", true},
     [](const Settings& s) { return s.main.news.download; },
     [](const Settings& s) -> const std::string& { return s.main.news.icon; },
     [](const Settings& s) -> const std::string& { return s.main.news.xml; },
     [](Settings& s) { return TopicFiles{s.main.news.download, s.main.news.icon, s.main.news.xml}; }, PlanNews, RunNews, true},
    {TopicId::Stocks, 3, "Stocks", "Stocks", 129, 133, {"Stocks", true},
     [](const Settings& s) { return s.main.stocks.download; },
     [](const Settings& s) -> const std::string& { return s.main.stocks.icon; },
     [](const Settings& s) -> const std::string& { return s.main.stocks.xml; },
     [](Settings& s) { return TopicFiles{s.main.stocks.download, s.main.stocks.icon, s.main.stocks.xml}; }, PlanStocks, DownloadStocks, true},
    {TopicId::Movies, 4, "Movies", "Movies", 131, 135, {"Movies", false},
     [](const Settings& s) { return s.main.movies.download; },
     [](const Settings& s) -> const std::string& { return s.main.movies.icon; },
     [](const Settings& s) -> const std::string& { return s.main.movies.xml; },
     [](Settings& s) { return TopicFiles{s.main.movies.download, s.main.movies.icon, s.main.movies.xml}; }, PlanMovies, DownloadMovies, true},
    {TopicId::Directions, 5, "Directions", "Directions", 138, 139, {"", false},
     [](const Settings& s) { return s.more.directions.download; },
     [](const Settings& s) -> const std::string& { return s.more.directions.icon; },
     [](const Settings& s) -> const std::string& { return s.more.directions.xml; },
     [](Settings& s) { return TopicFiles{s.more.directions.download, s.more.directions.icon, s.more.directions.xml}; }, PlanDirections,
     DownloadDirections, true},
    {TopicId::Astro, 6, "Astro", "Astro", 140, 141, {"", false},
     [](const Settings& s) { return s.more.astro.download; },
     [](const Settings& s) -> const std::string& { return s.more.astro.icon; },
     [](const Settings& s) -> const std::string& { return s.more.astro.xml; },
     [](Settings& s) { return TopicFiles{s.more.astro.download, s.more.astro.icon, s.more.astro.xml}; }, PlanAstro, DownloadAstro, true},
    {TopicId::Email, 7, "Email", "Email", 148, 149, {"", false},
     [](const Settings& s) { return s.more.email.download; },
     [](const Settings& s) -> const std::string& { return s.more.email.icon; },
     [](const Settings& s) -> const std::string& { return s.more.email.xml; },
     [](Settings& s) { return TopicFiles{s.more.email.download, s.more.email.icon, s.more.email.xml}; }, NothingToFetch, DownloadEmailPage,
     false},
};
static_assert(std::size(kTopics) == kTopicCount);

}  // namespace

std::span<const Topic> Topics() { return kTopics; }

const Topic& TopicOf(TopicId id) { return kTopics[static_cast<std::size_t>(id)]; }

const Topic* FindTopic(std::string_view name) {
    const auto sameLetters = [name](const Topic& topic) {
        return std::equal(name.begin(), name.end(), topic.name.begin(), topic.name.end(), [](char a, char b) {
            return (a | 0x20) == (b | 0x20);
        });
    };
    const auto found = std::find_if(std::begin(kTopics), std::end(kTopics), sameLetters);
    return found == std::end(kTopics) ? nullptr : &*found;
}

bool DownloadTopic(const Topic& topic, const Settings& settings, const Fetcher& fetcher,
                   const std::string& pageFile) {
    return topic.download(settings, topic.plan(settings), fetcher, pageFile);
}

}  // namespace tp
