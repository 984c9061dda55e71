#include "topics/news.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "app/globals.h"
#include "topics/scan.h"
#include "net/fetch_url.h"
#include "topics/topic_table.h"
#include "pages/page_format.h"
#include "settings/custom_store.h"

namespace tp {

NewsTexts g_newsTexts;

namespace {

constexpr char kLineFeed = '\n';
constexpr char kLinkOpen = '[';
constexpr std::string_view kPreviousReports = "Previous Reports";
constexpr std::string_view kFullCoverage = "Full Coverage";
constexpr std::string_view kEndOfList = "Articles precedents";
constexpr std::string_view kItemEnd = " <br/>\n";
constexpr int kCategoryCardId = 101;
constexpr int kFirstItemCardId = 102;
constexpr int kCardsPerCategory = 100;

constexpr std::array<std::string_view, kNewsCategoryCount> kCategoryNames = {
    "World News", "Technology News", "Sport News"};

// Where one category's headlines come from: the customization numbers of the
// address and its tag, and whether the first item after the tag is dropped.
struct NewsSource {
    int address;
    int tag;
    bool skipFirst;
};

// Rows by category, English first, then French.
constexpr NewsSource kSources[kNewsCategoryCount][2] = {
    {{106, 111, false}, {109, 114, false}},
    {{107, 112, true}, {135, 136, false}},
    {{108, 113, true}, {110, 115, true}},
};

// The item being read. Once a piece does not fit, the text takes nothing more,
// so a long item loses its end but never half of a line break.
class ItemText {
public:
    void Append(std::string_view piece) {
        if (closed_) return;
        if (piece.size() > kNewsBodyMax - text_.size()) {
            closed_ = true;
            return;
        }
        text_ += piece;
    }
    void Append(char c) { Append(std::string_view(&c, 1)); }
    void Clear() {
        text_.clear();
        closed_ = false;
    }
    std::string& Text() { return text_; }

private:
    std::string text_;
    bool closed_ = false;
};

// The headline of an item's first line: the text between its leading "(" and
// the next "(", which drops an agency name such as "(AFP)".
std::string HeadlineOf(std::string_view line) {
    const std::size_t start = line.find_first_not_of('(');
    if (start == std::string_view::npos) return {};
    line.remove_prefix(start);
    line = line.substr(0, line.find('('));
    return std::string(line.substr(0, kNewsTitleMax));
}

// Past blanks, line feeds, link markers and "Full Coverage", in any order:
// what stands between two items of a story index.
std::size_t SkipBetweenItems(const char* text, std::size_t pos) {
    for (;;) {
        const std::size_t before = pos;
        pos = SkipBlanks(text, pos, true);
        if (text[pos] == kLinkOpen) pos = SkipBlanks(text, SkipLinkMarker(text, pos), true);
        if (MatchTag(text, pos, kFullCoverage)) pos += kFullCoverage.size();
        if (pos == before) return pos;
    }
}

// Reads one item from pos up to the "[" that ends it, cleaning what it reads.
// Nothing when the text ends first.
std::optional<NewsItem> ReadItem(char* text, std::size_t& pos) {
    ItemText scratch;
    NewsItem item;
    int lineFeeds = 0;
    while (text[pos] != '\0' && text[pos] != kLinkOpen) {
        if (text[pos] != kLineFeed) {
            scratch.Append(CleanChar(text, pos));
            ++pos;
            continue;
        }
        ++lineFeeds;
        pos = SkipBlanks(text, pos + 1);
        if (lineFeeds == 1) {
            item.title = HeadlineOf(scratch.Text());
            scratch.Clear();
        } else if (lineFeeds == 2) {
            scratch.Append("<br/>\n");
        } else {
            scratch.Append(' ');
        }
    }
    if (text[pos] == '\0') return std::nullopt;
    // An item without a line break is all headline; its text stays as the body
    // too, so an agency name in it is not lost.
    if (lineFeeds == 0) item.title = HeadlineOf(scratch.Text());
    item.body = std::move(scratch.Text());
    return item;
}

NewsSource NewsSourceFor(NewsCategory category, bool french) {
    return kSources[category][french ? 1 : 0];
}

// Any language value but 0 means the French source.
bool NewsCategoryIsFrench(const NewsSettings& news, NewsCategory category) {
    switch (category) {
        case kNewsWorld: return news.worldLang != 0;
        case kNewsTechnology: return news.techLang != 0;
        default: return news.sportLang != 0;
    }
}

}  // namespace

std::string_view NewsCategoryName(NewsCategory category) { return kCategoryNames[category]; }

std::size_t ExtractNews(char* text, std::string_view tag, bool skipFirst, int nbNews,
                        std::vector<NewsItem>& items) {
    items.clear();
    std::size_t pos = FindTag(text, 0, tag);
    if (pos == kNotFound) {
        SetLastError("HTML error: news tag '" + std::string(tag) + "' not found");
        return 0;
    }
    pos += tag.size();

    if (skipFirst) {
        pos = AnchorAfterBracket(text, pos);
        if (text[pos] == kLinkOpen) pos = SkipLinkMarker(text, pos);
    }
    pos = SkipBlanks(text, pos, true);
    if (!skipFirst) pos = SkipBlanks(text, AnchorAfterBracket(text, pos), true);

    const int wanted = std::clamp(nbNews, 1, static_cast<int>(kNewsItemSlots));
    int index = skipFirst ? -1 : 0;
    bool goingOn = true;
    while (index < wanted && goingOn) {
        std::optional<NewsItem> item = ReadItem(text, pos);
        if (!item) break;

        const std::size_t afterMarker = SkipLinkMarker(text, pos);
        if (MatchTag(text, afterMarker, kPreviousReports)) {
            pos = afterMarker + kPreviousReports.size();
        }
        // A story index starts its next item right after the link, whatever
        // words follow it.
        if (skipFirst) pos = SkipBetweenItems(text, afterMarker);

        const std::size_t end = item->body.find(kEndOfList);
        if (end != std::string::npos) {
            item->body.resize(end);
            goingOn = false;
        } else if (item->body.size() + kItemEnd.size() <= kNewsBodyMax) {
            item->body += kItemEnd;
        }
        if (index >= 0) items.push_back(std::move(*item));

        if (goingOn && !skipFirst) pos = SkipBlanks(text, AnchorAfterBracket(text, pos), true);
        ++index;
    }

    if (items.empty()) {
        SetLastError("HTML error: no news item after tag '" + std::string(tag) + "'");
        return 0;
    }
    return items.size();
}

namespace {

constexpr std::size_t kUnbounded = std::numeric_limits<std::size_t>::max();

std::string LinkText(int id, std::string_view title) {
    std::string link;
    AppendIndexLink(link, kUnbounded, id, title);
    return link;
}

std::string CardText(int id, std::string_view title, std::string_view body) {
    std::string card;
    AppendCard(card, kUnbounded, id, title, body);
    return card;
}

// Shortens entry's text so that its link takes at most linkRoom characters and
// its card at most cardRoom; a line break is never cut in half. False when even
// the headline does not fit.
bool ShortenToFit(NewsEntry& entry, std::size_t linkRoom, std::size_t cardRoom) {
    if (LinkText(entry.id, entry.item.title).size() > linkRoom) return false;
    const std::size_t frame = CardText(entry.id, entry.item.title, "").size();
    if (frame > cardRoom) return false;
    std::string& body = entry.item.body;
    if (body.size() > cardRoom - frame) {
        body.resize(cardRoom - frame);
        const std::size_t open = body.rfind('<');
        if (open != std::string::npos && body.find('>', open) == std::string::npos) {
            body.resize(open);
        }
    }
    return true;
}

}  // namespace

std::string NewsCategoryTexts::LinkList() const {
    std::string text;
    text.reserve(linksLength);
    for (const NewsEntry& entry : entries) text += LinkText(entry.id, entry.item.title);
    return text;
}

std::string NewsCategoryTexts::ItemCards() const {
    std::string text;
    text.reserve(cardsLength);
    for (const NewsEntry& entry : entries) {
        text += CardText(entry.id, entry.item.title, entry.item.body);
    }
    return text;
}

void ClearNewsTexts(NewsTexts& texts) {
    for (NewsCategoryTexts& category : texts.categories) category = NewsCategoryTexts{};
}

bool AddNewsEntry(NewsCategoryTexts& category, int id, const NewsItem& item) {
    constexpr std::size_t kLimit = kNewsCategoryCapacity - 1;
    NewsEntry entry{id, item};
    if (!ShortenToFit(entry, kLimit - category.linksLength, kLimit - category.cardsLength)) {
        return false;
    }
    category.linksLength += LinkText(id, entry.item.title).size();
    category.cardsLength += CardText(id, entry.item.title, entry.item.body).size();
    const bool whole = entry.item.body.size() == item.body.size();
    category.entries.push_back(std::move(entry));
    return whole;
}

TopicPlan PlanNews(const Settings& settings) {
    TopicPlan plan;
    for (int c = 0; c < kNewsCategoryCount; ++c) {
        const auto category = static_cast<NewsCategory>(c);
        if (!g_newsCategories[category]) continue;
        const NewsSource source = NewsSourceFor(category, NewsCategoryIsFrench(settings.main.news, category));
        plan.push_back({GetCustomUrl(source.address, std::nullopt), source.address, {}, c});
    }
    return plan;
}

bool DownloadNews(const Settings& settings, const TopicPlan& plan, const Fetcher& fetcher, NewsTexts& texts) {
    const NewsSettings& news = settings.main.news;
    std::vector<NewsItem> items;
    for (const SourceFetch& fetch : plan) {
        const int c = fetch.variant;
        const auto category = static_cast<NewsCategory>(c);
        const bool french = NewsCategoryIsFrench(news, category);
        const NewsSource source = NewsSourceFor(category, french);

        if (!fetcher.Fetch(fetch.url)) return false;
        const std::size_t count =
            ExtractNews(g_transferBuffer, GetCustomString(source.tag), source.skipFirst,
                        news.nbNews, items);
        if (count == 0) return false;

        // Every other item of the French sports page is a section heading.
        const bool headingsBetween = category == kNewsSport && french;
        for (std::size_t i = 0; i < count; ++i) {
            if (headingsBetween && i % 2 == 0) continue;
            const int id = kFirstItemCardId + kCardsPerCategory * c + static_cast<int>(i);
            AddNewsEntry(texts.categories[category], id, items[i]);
        }
    }
    return true;
}

bool BuildNewsPage(const std::string& pagePath, const NewsTexts& texts, const Settings& settings) {
    constexpr std::size_t kLimit = kNewsPageCapacity - 1;
    std::string links;
    std::string cards;
    for (int c = 0; c < kNewsCategoryCount; ++c) {
        const auto category = static_cast<NewsCategory>(c);
        if (!g_newsCategories[category]) continue;
        const int id = kCategoryCardId + kCardsPerCategory * c;
        const std::string_view name = NewsCategoryName(category);

        // The category card names only the items whose cards made it onto the
        // page: the first ones that fit, the last of them possibly shortened.
        std::size_t used = cards.size() + CardText(id, name, "").size();
        if (used > kLimit) continue;
        std::string linkList;
        std::string itemCards;
        for (NewsEntry entry : texts.categories[category].entries) {
            const std::string link = LinkText(entry.id, entry.item.title);
            if (link.size() > kLimit - used) break;
            const std::size_t bodySize = entry.item.body.size();
            if (!ShortenToFit(entry, link.size(), kLimit - used - link.size())) break;
            const std::string card = CardText(entry.id, entry.item.title, entry.item.body);
            linkList += link;
            itemCards += card;
            used += link.size() + card.size();
            if (entry.item.body.size() != bodySize) break;
        }
        cards += CardText(id, name, linkList);
        cards += itemCards;
        links += LinkText(id, name);
    }
    const NewsSettings& news = settings.main.news;
    return BuildTopicPage(TopicOf(TopicId::News).page, news.icon, news.xml, pagePath, links, cards,
                          settings.general);
}

bool RunNews(const Settings& settings, const TopicPlan& plan, const Fetcher& fetcher, const std::string& pageFile) {
    ClearNewsTexts(g_newsTexts);
    if (!DownloadNews(settings, plan, fetcher, g_newsTexts)) return false;
    return BuildNewsPage(pageFile, g_newsTexts, settings);
}

}  // namespace tp
