#include "pages/page_format.h"

#include "app/clean_text.h"

#include <string>

namespace tp {

namespace {

// Room left below capacity - 1 characters (capacity counts the terminating zero).
std::size_t RoomLeft(const std::string& text, std::size_t capacity) {
    return capacity > 0 && text.size() < capacity - 1 ? capacity - 1 - text.size() : 0;
}

// The first maxLength characters of text, shortened further so that a markup tag
// such as "<br/>" is never cut in half.
std::string_view CutText(std::string_view text, std::size_t maxLength) {
    if (text.size() <= maxLength) return text;
    std::string_view kept = text.substr(0, maxLength);
    const std::size_t open = kept.rfind('<');
    if (open != std::string_view::npos && kept.find('>', open) == std::string_view::npos) {
        kept = kept.substr(0, open);
    }
    return kept;
}

// Appends head + content + tail whole when it fits; otherwise cuts content so the
// piece still ends with its closing tail, and appends nothing when not even the
// frame fits. A cut piece keeps the page well formed.
bool AppendFramed(std::string& text, std::size_t capacity, std::string_view head,
                  std::string_view content, std::string_view tail) {
    const std::size_t room = RoomLeft(text, capacity);
    const std::size_t frame = head.size() + tail.size();
    if (frame > room) return false;
    const std::string_view kept = CutText(content, room - frame);
    text.reserve(text.size() + frame + kept.size());
    text.append(head).append(kept).append(tail);
    return kept.size() == content.size();
}

}  // namespace

// Titles come from pages, files and settings and never carry markup of ours,
// so each is cleaned here once for every topic (cleaning twice changes nothing).
bool AppendIndexLink(std::string& links, std::size_t capacity, int id, std::string_view title) {
    const std::string head = "<a href=\"#" + std::to_string(id) + "\">";
    return AppendFramed(links, capacity, head, CleanText(title), "</a><br/>\n");
}

bool AppendCard(std::string& cards, std::size_t capacity, int id, std::string_view title,
                std::string_view body) {
    std::string head = "<Card ID=\"" + std::to_string(id) + "\">\n<Header>\n<Title>";
    head.append(CleanText(title)).append("</Title>\n</Header>\n<Body>\n<Text><p>");
    return AppendFramed(cards, capacity, head, body, "</p></Text>\n</Body>\n</Card>\n");
}

}  // namespace tp
