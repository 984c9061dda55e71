// Replacement tags for the tags of a source that no longer match: where the
// old tag stood in the last good text and what stands there now, the longest
// part of the old tag still present, the tag with its blanks and line breaks
// taken loosely, and for an end tag the nearest separator giving cards of a
// plausible length. Only a tag with which the topic cuts cards is offered.
#pragma once

#include "check/source_check.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tp {

inline constexpr std::size_t kMaxSuggestions = 5;

// For each missing tag of check, in the order of check.tags, up to
// kMaxSuggestions replacements, best first, each with the cards it gives.
// lastGood: the source's last text that gave cards, or null.
std::vector<TagSuggestion> SuggestTags(const SourceCheck& check, const std::string* lastGood);

}  // namespace tp
