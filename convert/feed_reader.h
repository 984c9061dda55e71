// News feeds: RSS 0.9x and 2.0, RSS 1.0 (RDF) and Atom 1.0, read leniently
// (feeds on the web are often not well-formed XML) into their channel and
// items. Document type declarations are skipped, never expanded.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tp {

struct FeedText {
    std::string text;  // UTF-8
    bool html = false;  // text is HTML markup (as RSS descriptions are)
};

struct FeedEntry {
    FeedText title;
    FeedText summary;  // description or summary, else the content
    std::string link;  // as the feed gives it, maybe relative
};

struct Feed {
    FeedEntry channel;
    std::vector<FeedEntry> items;
};

// Whether the document's first element (after the XML declaration, comments
// and a document type) is the root of a feed: rss, rdf:RDF or feed.
bool StartsAsFeed(std::string_view utf8);

// Whether a Content-Type names a feed (RSS, RDF or Atom).
bool IsFeedType(std::string_view contentType);

Feed ReadFeed(std::string_view utf8);

}  // namespace tp
