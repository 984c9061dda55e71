#include "pages/page_format.h"

#include "app/diagnostics.h"
#include "app/globals.h"
#include "app/whole_files.h"
#include "pages/template_fill.h"
#include "platform/text_file.h"
#include "settings/settings_model.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <string>

namespace tp {

namespace {

// A page is composed where a fetched body lives, so it keeps that buffer's size.
constexpr std::size_t kPageMax = kTransferCapacity - 1;

// The title that fills the second placeholder; the other topics' templates carry
// their own title and have one placeholder less.
std::string_view TopicTitle(PageTopic topic) {
    switch (topic) {
        case PageTopic::Weather: return "Weather";
        case PageTopic::News: return "News";
        case PageTopic::Stocks: return "Stocks";
        case PageTopic::Movies: return "Movies";
        case PageTopic::Directions:
        case PageTopic::Astro:
        case PageTopic::Email: break;
    }
    return {};
}

bool HasTitlePlaceholder(PageTopic topic) { return !TopicTitle(topic).empty(); }

// These topics check their template: they run the first pass before anything is
// fetched (stocks) and fill the index links and cards afterwards.
bool IsTwoPass(PageTopic topic) {
    return topic == PageTopic::Weather || topic == PageTopic::News || topic == PageTopic::Stocks;
}

void SetTemplateError(std::string_view templateName) {
    const std::string name(templateName);
    SetLastErrorF("Template error: in '%s'", name.c_str());
}

// Removes the link to card id ("<a href=\"#id\">...</a><br/>\n") from text;
// nothing when text holds no whole link to it.
void EraseLinkTo(std::string& text, std::string_view id) {
    const std::string head = "<a href=\"#" + std::string(id) + "\">";
    constexpr std::string_view kTail = "</a><br/>\n";
    const std::size_t start = text.rfind(head);
    if (start == std::string::npos) return;
    const std::size_t tail = text.find(kTail, start + head.size());
    if (tail == std::string::npos) return;
    text.erase(start, tail + kTail.size() - start);
}

// Drops the last card and every link to it: its index link, and for news the
// link in its category's card (the index links of news name only the
// categories). False when there is no card to drop.
bool DropLastCard(std::string& indexLinks, std::string& cards) {
    constexpr std::string_view kCardHead = "<Card ID=\"";
    const std::size_t card = cards.rfind(kCardHead);
    if (card == std::string::npos) return false;
    const std::size_t idStart = card + kCardHead.size();
    const std::string id = cards.substr(idStart, cards.find('"', idStart) - idStart);
    cards.erase(card);
    EraseLinkTo(indexLinks, id);
    EraseLinkTo(cards, id);
    return true;
}

// The page from the frame; false when it had to be cut at kPageMax.
bool FillFramePieces(const PageFrame& frame, std::string_view indexLinks, std::string_view cards,
                     std::string& page) {
    return AppendCapped(page, frame.head, kPageMax) && AppendCapped(page, indexLinks, kPageMax) &&
           AppendCapped(page, frame.middle, kPageMax) &&
           (!frame.hasCards || AppendCapped(page, cards, kPageMax)) &&
           AppendCapped(page, frame.tail, kPageMax);
}

}  // namespace

bool ComposeFrame(PageTopic topic, std::string_view templateText, std::string_view icon,
                  std::string_view dateLine, std::string_view templateName, PageFrame& frame) {
    frame = PageFrame{};
    // The frame is bounded by its sources (template, icon, date line), so it is
    // not cut here. The places of the pieces are remembered rather than looked
    // for again: a "%s" that the icon, the date line or a "%%s" of the template
    // put into the text is text, not a placeholder.
    std::string filled;
    std::vector<std::size_t> places;
    const std::size_t linksPiece = HasTitlePlaceholder(topic) ? 3 : 2;
    if (HasTitlePlaceholder(topic)) {
        FillTemplate(templateText, {icon, TopicTitle(topic), dateLine, "", ""}, filled.max_size(),
                     filled, &places);
    } else {
        FillTemplate(templateText, {icon, dateLine, "", ""}, filled.max_size(), filled, &places);
    }
    if (places.size() <= linksPiece || places[linksPiece] == 0) {
        SetTemplateError(templateName);
        return false;
    }
    const std::size_t links = places[linksPiece];
    frame.head = filled.substr(0, links);
    frame.hasCards = places.size() > linksPiece + 1;
    const std::size_t cards = frame.hasCards ? places[linksPiece + 1] : filled.size();
    frame.middle = filled.substr(links, cards - links);
    frame.tail = filled.substr(cards);
    return true;
}

bool FillFrame(const PageFrame& frame, std::string_view indexLinks, std::string_view cards,
               std::string& page) {
    page.clear();
    FillFramePieces(frame, indexLinks, cards, page);
    return true;
}

bool ComposePage(PageTopic topic, std::string_view templateText, std::string_view icon,
                 std::string_view dateLine, std::string_view indexLinks, std::string_view cards,
                 std::string_view templateName, std::string& page) {
    page.clear();
    PageFrame frame;
    if (IsTwoPass(topic) && !ComposeFrame(topic, templateText, icon, dateLine, templateName, frame)) {
        return false;
    }
    // A page cut at the buffer's end would reach the organiser as broken XML, so
    // whole cards (with their index links) are left out from the end until the
    // page fits; only a page too long without any card is cut.
    std::string links(indexLinks);
    std::string cardText(cards);
    for (;;) {
        page.clear();
        bool whole;
        if (IsTwoPass(topic)) {
            whole = FillFramePieces(frame, links, cardText, page);
        } else if (HasTitlePlaceholder(topic)) {
            whole = FillTemplate(templateText, {icon, TopicTitle(topic), dateLine, links, cardText},
                                 kPageMax, page);
        } else {
            whole = FillTemplate(templateText, {icon, dateLine, links, cardText}, kPageMax, page);
        }
        if (whole || !DropLastCard(links, cardText)) return true;
    }
}

bool WritePage(const std::string& path, std::string_view page) {
    const std::string bytes = ToTextModeBytes(page);
    // A page is written beside the old one and renamed over it: a full disk or
    // a size limit keeps the old page (or none) instead of leaving half of one.
    // Only something that is not a file at all (a device, a pipe) is written
    // in place, as it cannot be replaced.
    struct stat info;
    const bool inPlace = ::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode);
    if (!(inPlace ? WriteTextFile(path, page) : ReplaceFileAtomically(path, bytes))) {
        const std::string reason = std::strerror(errno);
        SetLastErrorF("File error: Enable to write '%s': %s", path.c_str(), reason.c_str());
        return false;
    }
    g_totalSize += static_cast<std::uint32_t>(page.size());
    return true;
}

bool ReadPageSources(std::string_view iconName, std::string_view templateName, std::string& icon,
                     std::string& templateText) {
    if (ReadWholeFile(iconName, icon, kPageSourceCapacity, true) &&
        ReadWholeFile(templateName, templateText, kPageSourceCapacity, true)) {
        return true;
    }
    NoteDiagnostic(g_lastError + ": " + std::strerror(errno));
    return false;
}

bool BuildTopicPage(PageTopic topic, std::string_view iconName, std::string_view templateName,
                    const std::string& pagePath, std::string_view indexLinks,
                    std::string_view cards, const GeneralSettings& general) {
    std::string icon;
    std::string templateText;
    if (!ReadPageSources(iconName, templateName, icon, templateText)) return false;
    const std::string dateLine = FormatPageDate(general.timeFormat != 0, general.timeZone);
    std::string page;
    return ComposePage(topic, templateText, icon, dateLine, indexLinks, cards, templateName,
                       page) &&
           WritePage(pagePath, page);
}

}  // namespace tp
