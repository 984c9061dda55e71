// The news topic: headlines of up to three categories (world, technology,
// sport), each fetched from a headline index page through the conversion
// service, cut into items, and written as one page with a card per category
// listing its items and a card per item.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "topics/news_categories.h"
#include "topics/topic_plan.h"
#include "net/fetch_url.h"
#include "settings/settings_model.h"

namespace tp {

// Items one extraction keeps at most ("NbNews" is 1 to 10).
inline constexpr std::size_t kNewsItemSlots = 10;
// Longest headline kept, in characters.
inline constexpr std::size_t kNewsTitleMax = 254;
// Longest item text kept, in characters (also the scratch text's limit).
inline constexpr std::size_t kNewsBodyMax = 51199;
// Capacities of one category's link list and item cards, and of the page's
// index links and cards (terminating zero included).
inline constexpr std::size_t kNewsCategoryCapacity = 51200;
inline constexpr std::size_t kNewsPageCapacity = 51200;

// "World News", "Technology News", "Sport News": the category card's title.
std::string_view NewsCategoryName(NewsCategory category);

// One item cut out of a headline index: the headline and the text under it,
// with "<br/>" line breaks.
struct NewsItem {
    std::string title;
    std::string body;
};

// Cuts up to nbNews items (kept within 1..kNewsItemSlots) out of the fetched
// text, which ends with a zero and is never read past it; the characters read
// are cleaned in place, so text is changed. With skipFirst the first item after
// the tag is read and dropped. Returns the number of items, which are in items.
// 0 on failure, with g_lastError = "HTML error: news tag '<tag>' not found",
// or "HTML error: no news item after tag '<tag>'" when the text ends before the
// first item is complete.
std::size_t ExtractNews(char* text, std::string_view tag, bool skipFirst, int nbNews,
                        std::vector<NewsItem>& items);

// One item of a category as it goes on the page, under card number id.
struct NewsEntry {
    int id = 0;
    NewsItem item;
};

// What one download gathered for one category: its items in order. The link
// list and the item cards they make stay within kNewsCategoryCapacity - 1
// characters each.
struct NewsCategoryTexts {
    std::vector<NewsEntry> entries;
    std::size_t linksLength = 0;
    std::size_t cardsLength = 0;

    std::string LinkList() const;
    std::string ItemCards() const;
};

struct NewsTexts {
    std::array<NewsCategoryTexts, kNewsCategoryCount> categories;
};

// Empties every category's texts; the news step does it before each download.
void ClearNewsTexts(NewsTexts& texts);

// Adds item as card id to category. When its card does not fit whole, its text
// is shortened (never inside a line break) and false is returned; when not even
// its headline fits, it is left out (false), so the link list only names cards
// that exist.
bool AddNewsEntry(NewsCategoryTexts& category, int id, const NewsItem& item);

// Every category selected in g_newsCategories, in order, with the source of its
// language (SourceFetch::variant holds the NewsCategory).
TopicPlan PlanNews(const Settings& settings);

// Fetches and cuts each category of plan and adds its items to texts as cards
// 102 + 100 x category, ... (from the French sport source only the items 1, 3,
// 5, ... are kept, under their own numbers). False at the first category whose
// fetch or cut fails; later categories are not fetched.
bool DownloadNews(const Settings& settings, const TopicPlan& plan, const Fetcher& fetcher, NewsTexts& texts);

// Writes the news page: per selected category its card 101 + 100 x category
// listing its items, then its item cards; one index link per selected category.
// A category whose items do not all fit the page's cards keeps as many of its
// first items as fit. False with the page step's message.
bool BuildNewsPage(const std::string& pagePath, const NewsTexts& texts, const Settings& settings);

// The texts the news step gathers, kept from one download to the page it
// writes.
extern NewsTexts g_newsTexts;

// The download run's news step: empties g_newsTexts, downloads, and only then
// writes the page to pageFile.
bool RunNews(const Settings& settings, const TopicPlan& plan, const Fetcher& fetcher, const std::string& pageFile);

}  // namespace tp
