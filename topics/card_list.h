// The index links and cards of a page whose cards are all built before the page
// is composed (one card per entry, ids from 101).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tp {

// One card of a page: its title and its text.
struct CardEntry {
    std::string title;
    std::string text;
};

// Index links and cards texts within their capacities (terminating zero
// counted). A card that does not fit whole is shortened so that it still
// closes; a card with no room left at all is left out together with its link,
// so no link ever points at a missing card.
struct CardTexts {
    std::string links;
    std::string cards;
};
CardTexts BuildCardTexts(const std::vector<CardEntry>& entries, std::size_t linksCapacity,
                         std::size_t cardsCapacity);

// text cut to at most maxLength characters.
std::string CutToLength(std::string text, std::size_t maxLength);

}  // namespace tp
