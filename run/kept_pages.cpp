#include "run/kept_pages.h"

namespace tp {
namespace {

// Where the text of the first element named tag lies: [begin, end), or
// npos for begin when there is none.
std::pair<std::size_t, std::size_t> ElementText(std::string_view page, std::string_view tag) {
    const std::string open = "<" + std::string(tag) + ">";
    const std::string close = "</" + std::string(tag) + ">";
    const std::size_t begin = page.find(open);
    if (begin == std::string_view::npos) return {std::string_view::npos, 0};
    const std::size_t end = page.find(close, begin + open.size());
    if (end == std::string_view::npos) return {std::string_view::npos, 0};
    return {begin + open.size(), end};
}

std::string WithoutDateLine(std::string_view page) {
    const auto [begin, end] = ElementText(page, "SubTitle");
    if (begin == std::string_view::npos) return std::string(page);
    return std::string(page.substr(0, begin)) + std::string(page.substr(end));
}

}  // namespace

std::string_view PageDateLine(std::string_view page) {
    const auto [begin, end] = ElementText(page, "SubTitle");
    return begin == std::string_view::npos ? std::string_view() : page.substr(begin, end - begin);
}

bool SameApartFromDate(std::string_view a, std::string_view b) { return WithoutDateLine(a) == WithoutDateLine(b); }

std::string MarkedAsKept(std::string_view page) {
    const auto [begin, end] = ElementText(page, "Title");
    if (begin == std::string_view::npos) return std::string(page);
    const std::string_view title = page.substr(begin, end - begin);
    // Kept again on a later day: it still dates from the first.
    if (title.find(" (from ") != std::string_view::npos) return std::string(page);
    return std::string(page.substr(0, end)) + " (from " + std::string(PageDateLine(page)) + ")" +
           std::string(page.substr(end));
}

int CardCount(std::string_view page) {
    int count = 0;
    for (std::size_t at = page.find("<Card "); at != std::string_view::npos; at = page.find("<Card ", at + 1)) ++count;
    return count;
}

}  // namespace tp
