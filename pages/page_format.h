// The XML page format: cards, index links, the date line, template filling and
// writing a page file.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

namespace tp {

// How a topic's template is filled: the title its second placeholder takes
// ("" for a template that carries its own title and has one placeholder less),
// and whether it is filled in two passes with the placeholder test (the index
// links and cards come after the first pass).
struct PageKind {
    std::string_view title;
    bool twoPass;
};

// The date line from the given local time; with twentyFourHour the "09h05" form,
// else "9:05  AM"; with systemZone the zone name (at most 32 characters), else
// "Local Time".
std::string FormatPageDate(const std::tm& localTime, bool twentyFourHour, bool systemZone,
                           std::string_view zoneName);
// The same, now, with the system's zone name.
std::string FormatPageDate(bool twentyFourHour, bool systemZone);

// Append one index link / one card at the end of text, never letting text grow
// past capacity - 1 characters (capacity counts the terminating zero). A piece
// that does not fit whole has its title (link) or body (card) shortened so that
// it still ends with its closing tags, without cutting a tag in half; when not
// even its tags fit, nothing is appended. False in both cases.
bool AppendIndexLink(std::string& links, std::size_t capacity, int id, std::string_view title);
bool AppendCard(std::string& cards, std::size_t capacity, int id, std::string_view title,
                std::string_view body);

// Fills the template in one pass, or in two with the placeholder test, as kind
// says. False with
// g_lastError = "Template error: in '<templateName>'" when the template fails.
// The template is never used as a printf format: only "%s" and "%%" are
// understood; other conversions and surplus "%s" are copied as they stand
// (see template_fill.h). The result is at most kTransferCapacity - 1
// characters; a longer page is cut there.
bool ComposePage(const PageKind& kind, std::string_view templateText, std::string_view icon,
                 std::string_view dateLine, std::string_view indexLinks, std::string_view cards,
                 std::string_view templateName, std::string& page);

// Writes the page in text mode through a temporary file renamed over the old
// page, and adds its length to g_totalSize. False with g_lastError =
// "File error: Enable to write '<path>': <reason>" when it cannot be written,
// or when something other than a regular file (a link, a pipe, a device) is
// at path; the old page (or none) is then left as it was, with no partial
// one, and g_totalSize stays as it was. A new page is private (mode 0600).
bool WritePage(const std::string& path, std::string_view page);

}  // namespace tp

namespace tp {

struct GeneralSettings;

// A two-pass page before its index links and cards are known: the template
// filled with icon, title and date line, cut where the first and second "%s"
// of its own text stood after that pass, the text from the first of them on
// having gone through the second pass too. Stocks takes it before fetching.
struct PageFrame {
    std::string head;    // up to the index links
    std::string middle;  // between the index links and the cards
    std::string tail;    // after the cards
    bool hasCards = false;  // the template has a fifth placeholder
};

// First pass of a two-pass template (for a topic without a title placeholder:
// icon and date line). False with the template error when the template has no
// place for the index links, or nothing stands before it.
bool ComposeFrame(const PageKind& kind, std::string_view templateText, std::string_view icon,
                  std::string_view dateLine, std::string_view templateName, PageFrame& frame);
// The index links and the cards put in their places; the inserted texts (icon,
// title, date line, links, cards) are never read as a template. The page is cut at
// kTransferCapacity - 1 characters. Always true (kept for the call chains).
bool FillFrame(const PageFrame& frame, std::string_view indexLinks, std::string_view cards,
               std::string& page);

// Icon files and templates are read into buffers of this size.
inline constexpr std::size_t kPageSourceCapacity = 51200;

// Reads a topic's icon file and template from the configuration folder. False,
// with ReadWholeFile's message, when either cannot be read.
bool ReadPageSources(std::string_view iconName, std::string_view templateName, std::string& icon,
                     std::string& templateText);

// The common tail of a topic's page builder: read the icon and the template from
// the configuration folder, take the date line with the general settings'
// TimeFormat and TimeZone, compose and write the page to pagePath. False with
// the reason of the first step that failed; nothing is written then.
bool BuildTopicPage(const PageKind& kind, std::string_view iconName, std::string_view templateName,
                    const std::string& pagePath, std::string_view indexLinks,
                    std::string_view cards, const GeneralSettings& general);

}  // namespace tp
