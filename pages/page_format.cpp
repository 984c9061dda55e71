#include "pages/page_format.h"

#include "app/diagnostics.h"
#include "app/globals.h"
#include "app/whole_files.h"
#include "pages/template_fill.h"
#include "platform/regular_file.h"
#include "platform/text_file.h"
#include "settings/settings_model.h"

#include <cerrno>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace tp {

namespace {

// A page is composed where a fetched body lives, so it keeps that buffer's size.
constexpr std::size_t kPageMax = kTransferCapacity - 1;

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

namespace {

// The first pass's text in pieces: the template's own text, which the second
// pass reads again, and the inserted texts (icon, title, date line), which it
// never reads.
struct FramedPiece {
    std::string text;
    bool inserted;
};

std::vector<FramedPiece> FirstPass(std::string_view templateText, std::span<const std::string_view> inserts) {
    std::string filled;
    std::vector<std::size_t> places;
    FillTemplate(templateText, inserts, filled.max_size(), filled, &places);
    std::vector<FramedPiece> pieces;
    std::size_t done = 0;
    for (std::size_t i = 0; i < places.size(); ++i) {
        pieces.push_back({filled.substr(done, places[i] - done), false});
        pieces.push_back({std::string(inserts[i]), true});
        done = places[i] + inserts[i].size();
    }
    pieces.push_back({filled.substr(done), false});
    return pieces;
}

}  // namespace

bool ComposeFrame(const PageKind& kind, std::string_view templateText, std::string_view icon,
                  std::string_view dateLine, std::string_view templateName, PageFrame& frame) {
    frame = PageFrame{};
    // The frame is bounded by its sources (template, icon, date line), so it is
    // not cut here. The first pass fills icon, title and date line; the
    // template's own text then goes through the second pass as well (its "%%"
    // halved twice, a "%%s" becoming a placeholder), the inserted texts never.
    const std::string_view withTitle[] = {icon, kind.title, dateLine};
    const std::string_view withoutTitle[] = {icon, dateLine};
    const std::vector<FramedPiece> framed =
        !kind.title.empty() ? FirstPass(templateText, withTitle) : FirstPass(templateText, withoutTitle);

    // The index links go where the first "%s" of the template's own text stands.
    std::size_t first = 0;
    std::size_t at = std::string::npos;
    for (; first < framed.size(); ++first) {
        if (!framed[first].inserted && (at = framed[first].text.find("%s")) != std::string::npos) break;
        frame.head += framed[first].text;
    }
    if (first == framed.size() || frame.head.size() + at == 0) {
        SetTemplateError(templateName);
        frame = PageFrame{};
        return false;
    }
    frame.head += framed[first].text.substr(0, at);

    // Second pass over the rest: index links, then cards, then nothing more.
    const std::string_view second[] = {"", ""};
    std::size_t used = 0;
    std::string rest;
    std::vector<std::size_t> places;
    for (std::size_t i = first; i < framed.size(); ++i) {
        const std::string_view text = i == first ? std::string_view(framed[i].text).substr(at) : framed[i].text;
        if (framed[i].inserted) {
            rest += text;
            continue;
        }
        const std::size_t before = places.size();
        FillTemplate(text, std::span<const std::string_view>(second).subspan(used), rest.max_size(), rest, &places);
        used += places.size() - before;
    }
    frame.hasCards = places.size() > 1;
    const std::size_t cards = frame.hasCards ? places[1] : rest.size();
    frame.middle = rest.substr(0, cards);
    frame.tail = rest.substr(cards);
    return true;
}

bool FillFrame(const PageFrame& frame, std::string_view indexLinks, std::string_view cards,
               std::string& page) {
    page.clear();
    FillFramePieces(frame, indexLinks, cards, page);
    return true;
}

bool ComposePage(const PageKind& kind, std::string_view templateText, std::string_view icon,
                 std::string_view dateLine, std::string_view indexLinks, std::string_view cards,
                 std::string_view templateName, std::string& page) {
    page.clear();
    PageFrame frame;
    if (kind.twoPass && !ComposeFrame(kind, templateText, icon, dateLine, templateName, frame)) {
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
        if (kind.twoPass) {
            whole = FillFramePieces(frame, links, cardText, page);
        } else if (!kind.title.empty()) {
            whole = FillTemplate(templateText, {icon, kind.title, dateLine, links, cardText},
                                 kPageMax, page);
        } else {
            whole = FillTemplate(templateText, {icon, dateLine, links, cardText}, kPageMax, page);
        }
        if (whole || !DropLastCard(links, cardText)) return true;
    }
}

bool WritePage(const std::string& path, std::string_view page) {
    // A page is written beside the old one and renamed over it: a full disk or
    // a size limit keeps the old page (or none) instead of leaving half of one.
    // Only a regular file is replaced (a pipe there would hold the run up for
    // ever), and a new page is the user's alone: it may hold mail and memos.
    if (!ReplaceFileAtomically(path, ToTextModeBytes(page), kPrivateFileMode)) {
        const std::string reason = FileErrorText(errno);
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

bool BuildTopicPage(const PageKind& kind, std::string_view iconName, std::string_view templateName,
                    const std::string& pagePath, std::string_view indexLinks,
                    std::string_view cards, const GeneralSettings& general) {
    std::string icon;
    std::string templateText;
    if (!ReadPageSources(iconName, templateName, icon, templateText)) return false;
    const std::string dateLine = FormatPageDate(general.timeFormat != 0, general.timeZone);
    std::string page;
    return ComposePage(kind, templateText, icon, dateLine, indexLinks, cards, templateName,
                       page) &&
           WritePage(pagePath, page);
}

}  // namespace tp
