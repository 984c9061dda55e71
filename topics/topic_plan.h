// What a topic will fetch, worked out from the settings before it fetches
// anything: the run starts these transfers ahead, and the topic then takes the
// same list, in the same order, for its own fetches.
#pragma once

#include <string>
#include <vector>

namespace tp {

// One page a topic fetches and what it needs to cut it.
struct SourceFetch {
    std::string url;   // "" when nothing is fetched for it (it still takes its place)
    int address = 0;   // the customization number the address comes from; 0 when none
    std::string code;  // the code put into the address ("" when it takes none)
    int variant = 0;   // which of the topic's sources (the topic's own numbering)
};

using TopicPlan = std::vector<SourceFetch>;

}  // namespace tp
