// The web sources of each topic page: which customizable texts hold a source's
// address and tags, as the page customization dialog lists them.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tp {

inline constexpr std::size_t kSourceTagCount = 4;
// The customization dialog holds at most this many sources per topic.
inline constexpr std::size_t kMaxTopicSources = 10;

// One source of a topic with its current texts. A tag number 0 means the
// source has no such tag; its text is then empty.
struct SourceEntry {
    std::string label;
    int addressNumber = 0;
    std::string addressText;
    std::array<int, kSourceTagCount> tagNumbers{};
    std::array<std::string, kSourceTagCount> tagTexts;
};

// A row of the fixed source table.
struct SourceRow {
    std::string_view topic;
    std::string_view label;
    int addressNumber;
    std::array<int, kSourceTagCount> tagNumbers;
};

// The topics in the order the program offers them; "Email" has no sources.
std::span<const std::string_view> CustomizableTopics();

// Every source row, grouped by topic, each topic's rows in the order offered.
std::span<const SourceRow> SourceRows();

// The sources of topic (matched exactly, e.g. "Weather") with their current
// address and tag texts read from the customization store. Empty for a topic
// without sources or an unknown name.
std::vector<SourceEntry> LoadTopicSources(std::string_view topic);

// Stores every source's address and each tag whose number is not 0, changed or
// not. Every text is checked first: when one cannot be stored, nothing is
// written and false is returned with the reason in g_lastError.
bool SaveTopicSources(std::span<const SourceEntry> sources);

}  // namespace tp
