// A news feed as the text of a headline page, in the layout the news topic
// reads (its tag is the first line):
//
//   News feed headlines
//   [1]Title of the feed
//   Its description
//
//   [2]Title of the first item
//   Its summary, as plain text on one line
//
//   ...
//   Articles precedents: [n]Title of the feed
//
// The feed's own entry comes first so that a news source that drops its
// first item drops that one, not a headline; the last line ends the last
// item for the news topic and links to the feed's site.
#pragma once

#include "convert/feed_reader.h"
#include "convert/text_layout.h"

#include <string>
#include <string_view>

namespace tp {

inline constexpr std::string_view kFeedFirstLine = "News feed headlines";

// Lays out feed; relative links are resolved against address.
void LayOutFeed(const Feed& feed, const std::string& address, TextLayout& layout);

}  // namespace tp
