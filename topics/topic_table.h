// The seven topics of a download, in the order a run takes them: everything
// the run, the windows and the tools need to know of a topic, in one row each.
#pragma once

#include "topics/topic_plan.h"
#include "net/fetch_url.h"
#include "pages/page_format.h"
#include "settings/settings_model.h"

#include <span>
#include <string>
#include <string_view>

namespace tp {

enum class TopicId { Weather, News, Stocks, Movies, Directions, Astro, Email };

// The settings of a topic that the windows edit in place.
struct TopicFiles {
    bool& download;
    std::string& icon;
    std::string& templateName;
};

struct Topic {
    TopicId id;
    int step;                  // 1..kTopicCount: the run's order and its progress after the topic
    std::string_view name;     // in diagnostics and on the command line (lower case there)
    std::string_view section;  // of the settings file
    int picture;               // picture of the topic, and with its box unticked
    int pictureUnselected;
    PageKind page;
    bool (*selected)(const Settings&);
    const std::string& (*iconName)(const Settings&);
    const std::string& (*templateName)(const Settings&);
    TopicFiles (*files)(Settings&);
    // What the topic will fetch, in the order it fetches (empty for a topic
    // that fetches nothing).
    TopicPlan (*plan)(const Settings&);
    // Fetches what plan names with fetcher, cuts it and writes the page to
    // pageFile. False with the reason in g_lastError.
    bool (*download)(const Settings&, const TopicPlan& plan, const Fetcher& fetcher, const std::string& pageFile);
    // The e-mail import leaves its "in progress" text standing when it fails.
    bool showsFailure;
};

inline constexpr int kTopicCount = 7;

std::span<const Topic> Topics();
const Topic& TopicOf(TopicId id);
// The topic whose name is name, without regard to case; null when none is.
const Topic* FindTopic(std::string_view name);

// Plans and downloads one topic, as a run does it without fetching ahead.
bool DownloadTopic(const Topic& topic, const Settings& settings, const Fetcher& fetcher,
                   const std::string& pageFile);

}  // namespace tp
