#include "convert/feed_text.h"

#include "convert/address_text.h"
#include "convert/charset.h"
#include "convert/html_to_text.h"

namespace tp {
namespace {

// A summary longer than this is cut at a blank: a headline page wants the gist.
constexpr std::size_t kLongestSummary = 1024;
// Words of the summary that stand for a missing title.
constexpr std::size_t kLongestMadeTitle = 80;

// A feed text as one line of plain UTF-8: HTML converted, white space as
// blanks, and brackets that the news topic would take for link groups turned
// into parentheses.
std::string OneLine(const FeedText& field, std::size_t capacity) {
    std::string text;
    if (field.html && field.text.find_first_of("<&") != std::string::npos) {
        ConvertOptions options;
        options.capacity = capacity;
        options.contentType = "text/html; charset=utf-8";
        options.linkGroups = false;
        const std::string latin = ConvertHtml(field.text, options);
        Utf8Decoder("windows-1252").Decode(latin, text);
    } else {
        text = field.text.substr(0, capacity);
    }
    for (char& c : text) {
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
        if (c == '[') c = '(';
        if (c == ']') c = ')';
    }
    return TrimmedBlanks(text);
}

// The start of summary, to the last blank within limit.
std::string Beginning(const std::string& summary, std::size_t limit) {
    if (summary.size() <= limit) return summary;
    const std::size_t blank = summary.rfind(' ', limit);
    return summary.substr(0, blank == std::string::npos || blank == 0 ? limit : blank) + "...";
}

void Entry(TextLayout& layout, const std::string& link, const std::string& title, const std::string& summary) {
    layout.LinkStart(link);
    layout.Text(title);
    layout.LinkEnd();
    layout.BlockEdge(false);
    layout.Text(summary);
    layout.BlockEdge(true);
}

}  // namespace

void LayOutFeed(const Feed& feed, const std::string& address, TextLayout& layout) {
    layout.Text(kFeedFirstLine);
    layout.BlockEdge(false);
    const std::string site = feed.channel.link.empty() ? address : LinkAddress(feed.channel.link, address);
    std::string name = OneLine(feed.channel.title, kLongestSummary);
    if (name.empty()) name = site.empty() ? std::string("News feed") : site;
    Entry(layout, site, name, Beginning(OneLine(feed.channel.summary, kLongestSummary * 2), kLongestSummary));
    for (const FeedEntry& item : feed.items) {
        if (layout.Full()) break;
        const std::string summary = Beginning(OneLine(item.summary, kLongestSummary * 2), kLongestSummary);
        std::string title = OneLine(item.title, kLongestSummary);
        if (title.empty()) title = Beginning(summary, kLongestMadeTitle);
        if (title.empty()) continue;
        Entry(layout, item.link.empty() ? site : LinkAddress(item.link, address), title, summary);
    }
    layout.Text("Articles precedents:");
    layout.Text(" ");
    layout.LinkStart(site);
    layout.Text(name);
    layout.LinkEnd();
}

}  // namespace tp
