#include "topics/card_list.h"

#include "pages/page_format.h"

namespace tp {

namespace {
constexpr int kFirstCardId = 101;
}  // namespace

CardTexts BuildCardTexts(const std::vector<CardEntry>& entries, std::size_t linksCapacity,
                         std::size_t cardsCapacity) {
    CardTexts texts;
    int id = kFirstCardId;
    for (const CardEntry& entry : entries) {
        const std::size_t before = texts.cards.size();
        AppendCard(texts.cards, cardsCapacity, id, entry.title, entry.text);
        if (texts.cards.size() > before) AppendIndexLink(texts.links, linksCapacity, id, entry.title);
        ++id;
    }
    return texts;
}

std::string CutToLength(std::string text, std::size_t maxLength) {
    if (text.size() > maxLength) text.resize(maxLength);
    return text;
}

}  // namespace tp
