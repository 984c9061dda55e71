// The last text of each source that gave cards, kept in the data folder so
// that a check can see where a tag stood before the site changed. The store
// is small and bounded: one file per source and code, the oldest dropped
// once the files pass kGoodTextsBudget bytes in all.
#pragma once

#include "topics/topic_table.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tp {

inline constexpr std::size_t kGoodTextsBudget = 4u * 1024 * 1024;

// "<data folder>cache/good-texts/".
std::string GoodTextsFolder();

// The code under which the texts of source are kept: its own, or for an
// itinerary (which takes no code) its number, as a check names it.
std::string GoodTextCode(TopicId topic, const SourceFetch& source);

// Keeps text as the last good one of the source (address number and code).
// A failure to keep it is no failure of anything else: false, and nothing said.
bool KeepGoodText(int address, std::string_view code, std::string_view text);

// The last good text of the source, when one is kept.
std::optional<std::string> LastGoodText(int address, std::string_view code);

}  // namespace tp
