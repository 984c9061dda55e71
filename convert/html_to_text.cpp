#include "convert/html_to_text.h"

#include "convert/address_text.h"
#include "convert/charset.h"
#include "convert/feed_reader.h"
#include "convert/feed_text.h"
#include "convert/markup_filter.h"
#include "convert/text_layout.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace tp {
namespace {

// How an element shows in the text.
enum class Role : unsigned char {
    Inline,        // its text runs on in the line
    Line,          // a block: the line ends before and after it
    Paragraph,     // a block with an empty line before and after it
    Cell,          // a table cell: a blank separates it from the cell before
    Row,           // a table row: one line, whatever its cells hold
    List,          // <ol>, <ul>: a block whose items may be numbered
    ListItem,      // <li>: a line, numbered in an ordered list
    Break,         // <br>
    Preformatted,  // a paragraph whose blanks and line breaks stay
    Hidden,        // nothing of it shows
    Link,          // <a>: a reference group when it has an address
    Image,         // <img>: its alternative text stands for it
    Base,          // <base>: the address relative links are resolved against
};

struct NamedRole {
    std::string_view name;
    Role role;
};

// Sorted by name for the binary search; names the parser gives in lower case.
constexpr NamedRole kRoles[] = {
    {"a", Role::Link},
    {"address", Role::Line},
    {"article", Role::Line},
    {"aside", Role::Line},
    {"audio", Role::Hidden},
    {"base", Role::Base},
    {"blockquote", Role::Paragraph},
    {"body", Role::Line},
    {"br", Role::Break},
    {"canvas", Role::Hidden},
    {"caption", Role::Line},
    {"center", Role::Line},
    {"datalist", Role::Hidden},
    {"dd", Role::Line},
    {"details", Role::Line},
    {"dialog", Role::Line},
    {"dir", Role::List},
    {"div", Role::Line},
    {"dl", Role::Line},
    {"dt", Role::Line},
    {"fieldset", Role::Paragraph},
    {"figcaption", Role::Line},
    {"figure", Role::Paragraph},
    {"footer", Role::Line},
    {"form", Role::Line},
    {"frame", Role::Line},
    {"frameset", Role::Line},
    {"h1", Role::Paragraph},
    {"h2", Role::Paragraph},
    {"h3", Role::Paragraph},
    {"h4", Role::Paragraph},
    {"h5", Role::Paragraph},
    {"h6", Role::Paragraph},
    {"head", Role::Hidden},
    {"header", Role::Line},
    {"hgroup", Role::Line},
    {"hr", Role::Paragraph},
    {"html", Role::Line},
    {"iframe", Role::Hidden},
    {"img", Role::Image},
    {"legend", Role::Line},
    {"li", Role::ListItem},
    {"listing", Role::Preformatted},
    {"main", Role::Line},
    {"map", Role::Hidden},
    {"math", Role::Hidden},
    {"menu", Role::List},
    {"nav", Role::Line},
    {"noembed", Role::Hidden},
    {"object", Role::Hidden},
    {"ol", Role::List},
    {"p", Role::Paragraph},
    {"plaintext", Role::Preformatted},
    {"pre", Role::Preformatted},
    {"script", Role::Hidden},
    {"section", Role::Line},
    {"select", Role::Hidden},
    {"style", Role::Hidden},
    {"summary", Role::Line},
    {"svg", Role::Hidden},
    {"table", Role::Line},
    {"tbody", Role::Line},
    {"td", Role::Cell},
    {"template", Role::Hidden},
    {"textarea", Role::Preformatted},
    {"tfoot", Role::Line},
    {"th", Role::Cell},
    {"thead", Role::Line},
    {"title", Role::Hidden},
    {"tr", Role::Row},
    {"ul", Role::List},
    {"video", Role::Hidden},
    {"xmp", Role::Preformatted},
};

Role RoleOf(std::string_view name) {
    const auto* end = std::end(kRoles);
    const auto* found = std::lower_bound(std::begin(kRoles), end, name,
                                         [](const NamedRole& row, std::string_view key) { return row.name < key; });
    return found != end && found->name == name ? found->role : Role::Inline;
}

// The first bytes of a page that are searched for a <meta> declaration of its
// character set before any of it is decoded.
constexpr std::size_t kPrescanBytes = 1024;
// Longest markup held back until the next piece completes it.
constexpr std::size_t kLongestCarry = 64 * 1024;
// Pieces in which a page held whole is handed to the converter, and parts in
// which the converter hands markup to the parser.
constexpr std::size_t kFeedPiece = 64 * 1024;
constexpr std::size_t kParsePart = 8 * 1024;
// Bytes of a feed read at most: it is read whole before it is laid out.
constexpr std::size_t kLongestFeed = 4 * 1024 * 1024;
// Open elements past which the parser's own list is cut back: it searches
// that list for each end tag, so its length must stay bounded. The first
// ones (html, body, the page's frame) stay; the next ones end early. A page
// with many end tags that the parser cannot place (each costs it a search)
// gets a shorter list from the next part of the markup on.
constexpr std::size_t kDeepest = 256;
constexpr std::size_t kDeepestWhenBroken = 32;
constexpr std::size_t kBrokenFrom = 256;  // misplaced end tags
constexpr std::size_t kKeptBelow = 16;

std::string_view View(const xmlChar* text) {
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

// The value of attribute name in a parser's attribute list, or null.
const xmlChar* Attribute(const xmlChar** attributes, std::string_view name) {
    for (const xmlChar** at = attributes; at && at[0]; at += 2) {
        if (View(at[0]) == name) return at[1] ? at[1] : reinterpret_cast<const xmlChar*>("");
    }
    return nullptr;
}

// An element the author hid: the "hidden" attribute, or an inline style of
// "display: none" or "visibility: hidden".
bool HiddenByAttributes(const xmlChar** attributes) {
    if (Attribute(attributes, "hidden")) return true;
    const std::string_view style = View(Attribute(attributes, "style"));
    if (style.empty()) return false;
    std::string compact;
    for (char c : style) {
        if (!std::isspace(static_cast<unsigned char>(c))) {
            compact.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        }
    }
    return compact.find("display:none") != std::string::npos ||
           compact.find("visibility:hidden") != std::string::npos;
}

// The media type of a Content-Type, in lower case, without parameters.
std::string MediaType(std::string_view contentType) {
    std::string type = TrimmedBlanks(contentType.substr(0, contentType.find(';')));
    std::transform(type.begin(), type.end(), type.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return type;
}

// Media types of text: text/*, and the XML, JSON and script types of
// application/*. "" (no type) is judged by the bytes.
bool IsTextType(const std::string& type) {
    if (type.empty() || type.starts_with("text/")) return true;
    if (!type.starts_with("application/")) return false;
    return type.find("xml") != std::string::npos || type.find("json") != std::string::npos ||
           type.find("script") != std::string::npos;
}

// Whether the first bytes of a page are those of a binary file: a known
// signature, or control bytes that no text holds (zero bytes belong to
// UTF-16 and UTF-32 text, which wideText says the page is).
bool LooksBinary(std::string_view head, bool wideText) {
    using namespace std::string_view_literals;
    static constexpr std::string_view kSignatures[] = {
        "%PDF-"sv, "\x89PNG"sv, "GIF87a"sv, "GIF89a"sv, "\xFF\xD8\xFF"sv, "PK\x03\x04"sv, "\x1F\x8B"sv,
        "\xFD" "7zXZ"sv, "7z\xBC\xAF"sv, "Rar!\x1A"sv, "OggS"sv, "fLaC"sv, "wOFF"sv, "wOF2"sv, "\x7F" "ELF"sv,
        "\x00\x00\x01\x00"sv};
    for (std::string_view signature : kSignatures) {
        if (head.starts_with(signature)) return true;
    }
    if (wideText) return false;
    for (const char c : head) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x08 || byte == 0x0B || (byte >= 0x0E && byte <= 0x1A) || (byte >= 0x1C && byte <= 0x1F)) {
            return true;
        }
    }
    return false;
}

bool IsWideLabel(std::string_view label) {
    const std::string lower = MediaType(label);
    return lower.starts_with("utf-16") || lower.starts_with("utf-32") || lower.starts_with("utf16") ||
           lower.starts_with("utf32") || lower.starts_with("ucs-2") || lower.starts_with("ucs-4");
}

// An ordered list's number as its type writes it: 1, a, A, i or I.
std::string ItemNumber(long number, char numbering) {
    std::string written;
    if ((numbering == 'a' || numbering == 'A') && number > 0) {
        for (long n = number; n > 0; n = (n - 1) / 26) {
            written.insert(written.begin(), static_cast<char>(numbering + (n - 1) % 26));
        }
    } else if ((numbering == 'i' || numbering == 'I') && number > 0 && number < 4000) {
        static constexpr struct {
            long value;
            const char* digits;
        } kRoman[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
                      {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
        long rest = number;
        for (const auto& digit : kRoman) {
            for (; rest >= digit.value; rest -= digit.value) written += digit.digits;
        }
        if (numbering == 'I') {
            for (char& c : written) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    } else {
        written = std::to_string(number);
    }
    return written + ". ";
}

// An integer attribute's value, or fallback when it is missing or not a number.
long IntegerAttribute(const xmlChar** attributes, std::string_view name, long fallback) {
    const xmlChar* value = Attribute(attributes, name);
    if (!value) return fallback;
    const std::string text = TrimmedBlanks(View(value));
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    return text.empty() || *end != '\0' || number < -1000000000L || number > 1000000000L ? fallback : number;
}

// The character set named by a byte-order mark at the start of head, and the
// mark's length; "" when there is none.
std::string_view ByteOrderMark(std::string_view head, std::size_t& length) {
    if (head.starts_with("\xEF\xBB\xBF")) {
        length = 3;
        return "utf-8";
    }
    length = 2;
    if (head.starts_with("\xFE\xFF")) return "utf-16be";
    if (head.starts_with("\xFF\xFE")) return "utf-16le";
    length = 0;
    return {};
}

void InitialiseParserOnce() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

}  // namespace

struct HtmlToText::Parser {
    // One open element, as far as the text cares.
    struct Open {
        std::string name;
        Role role;
        bool hides;   // it hides its content
        bool shown;   // its start was laid out (it is not inside hidden content)
        char numbering = 0;  // a list's: how its items are numbered ('1', 'a', 'A', 'i', 'I'), 0 not at all
        long next = 1;       // a list's: the number of its next item
    };

    explicit Parser(ConvertOptions opts)
        : options(std::move(opts)), layout(options.capacity, options.inlineRefs), base(options.address) {}

    ~Parser() {
        if (context) htmlFreeParserCtxt(context);
    }

    // Settles the character set from what the first bytes say and starts the parser.
    void Start() {
        std::size_t markLength = 0;
        std::string label(ByteOrderMark(head, markLength));
        if (label.empty()) label = CharsetFromContentType(options.contentType);
        if (label.empty()) {
            const std::string_view prescan = std::string_view(head).substr(0, kPrescanBytes);
            label = CharsetFromXmlDeclaration(prescan);
            if (label.empty()) label = CharsetFromMeta(prescan);
            // A page cannot declare itself in UTF-16 in bytes read as ASCII.
            if (MediaType(label).starts_with("utf-16")) {
                label = "utf-8";
            }
        }
        const std::string type = MediaType(options.contentType);
        const std::string_view opening = std::string_view(head).substr(markLength, kPrescanBytes);
        if (!IsTextType(type) || LooksBinary(opening, IsWideLabel(label))) {
            refusal = "HTML conversion error: the page is not text (Content-Type: " +
                      (type.empty() ? std::string("none") : type) + ")";
            started = true;
            return;
        }
        decoder = std::make_unique<Utf8Decoder>(label);
        std::string prologue;
        Utf8Decoder(label).Decode(opening, prologue);
        feed = StartsAsFeed(prologue) || IsFeedType(type);
        plainText = !feed && type == "text/plain";
        if (!plainText && !feed) {
            InitialiseParserOnce();
            htmlSAXHandler sax{};
            sax.startElement = &OnStart;
            sax.endElement = &OnEnd;
            sax.characters = &OnCharacters;
            sax.ignorableWhitespace = &OnCharacters;
            sax.cdataBlock = &OnCharacters;
            // Broken markup is the rule on the web: say nothing about it.
            sax.warning = &OnMessage;
            sax.error = &OnError;
            sax.fatalError = &OnMessage;
            sax.initialized = 1;
            context = htmlCreatePushParserCtxt(&sax, this, nullptr, 0, nullptr, XML_CHAR_ENCODING_UTF8);
            // The bytes are UTF-8 by now whatever the page declares; no depth
            // limit (the open elements are a list, not a recursion).
            if (context) htmlCtxtUseOptions(context, HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC | XML_PARSE_HUGE);
        }
        std::string first = std::move(head);
        head.clear();
        started = true;
        Push(std::string_view(first).substr(markLength), false);
    }

    // More of the page could change the text.
    bool Wanting() const { return refusal.empty() && !layout.Full() && feedText.size() < kLongestFeed; }

    // Decodes bytes and hands them to the parser (or, for plain text, to the
    // layout; a feed is kept until its end).
    void Push(std::string_view bytes, bool last) {
        if (!refusal.empty()) return;
        utf8.clear();
        decoder->Decode(bytes, utf8);
        if (last) decoder->Finish(utf8);
        if (feed) {
            feedText.append(utf8, 0, kLongestFeed - std::min(kLongestFeed, feedText.size()));
            if (last) LayOutFeed(ReadFeed(feedText), options.address, layout);
        } else if (plainText) {
            layout.PreformattedText(utf8);
        } else if (context && !layout.Full()) {
            Parse(last);
        }
    }

    // Hands the decoded bytes to the parser, cut just before a "<": the
    // parser of libxml2 2.9 loses track of a quoted attribute value that a
    // piece ends in, and then waits for the end of the page before it goes on.
    void Parse(bool last) {
        std::string_view ready = utf8;
        if (!carried.empty()) {
            carried += utf8;
            ready = carried;
        }
        std::size_t cut = ready.size();
        if (!last) {
            const std::size_t markup = ready.rfind('<');
            if (markup != std::string_view::npos) cut = markup;
            // Markup that runs on and on goes as it is.
            if (ready.size() - cut > kLongestCarry) cut = ready.size();
        }
        if (cut > 0 || last) {
            std::string_view markup = markupFilter.Filter(ready.substr(0, cut), filtered);
            // In parts, each cut before a "<" as well, so that a page of
            // end tags that end nothing is noticed while it is parsed.
            while (markup.size() > kParsePart) {
                std::size_t part = markup.rfind('<', kParsePart);
                if (part == 0 || part == std::string_view::npos) part = kParsePart;
                htmlParseChunk(context, markup.data(), static_cast<int>(part), 0);
                markup.remove_prefix(part);
                NoticeBrokenMarkup();
            }
            htmlParseChunk(context, markup.data(), static_cast<int>(markup.size()), last ? 1 : 0);
            NoticeBrokenMarkup();
        }
        std::string rest(ready.substr(cut));
        carried = std::move(rest);
    }

    void NoticeBrokenMarkup() {
        if (broken || misplacedEndTags <= kBrokenFrom) return;
        broken = true;
        KeepShallow();
    }

    static Parser& Of(void* user) { return *static_cast<Parser*>(user); }

    static void OnMessage(void*, const char*, ...) {}

    // Counts the end tags the parser could not place; the message comes
    // formatted, as "%s" and its text.
    static void OnError(void* user, const char* format, ...) {
        if (std::strcmp(format, "%s") != 0) return;
        std::va_list arguments;
        va_start(arguments, format);
        const std::string_view message = va_arg(arguments, const char*);
        va_end(arguments);
        if (message.starts_with("Opening and ending tag mismatch") || message.starts_with("Unexpected end tag")) {
            ++Of(user).misplacedEndTags;
        }
    }

    static void OnCharacters(void* user, const xmlChar* text, int length) {
        Parser& p = Of(user);
        if (p.hiddenDepth > 0 || length <= 0) return;
        const std::string_view chunk(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
        if (p.preformattedDepth > 0 && p.cellDepth == 0) {
            std::string_view rest = chunk;
            // A line break right after the start tag belongs to the markup, not to the text.
            if (p.preformattedStart && rest.starts_with('\n')) rest.remove_prefix(1);
            p.preformattedStart = false;
            p.layout.PreformattedText(rest);
        } else {
            p.layout.Text(chunk);
        }
        if (p.numberPending && chunk.find_first_not_of(" \t\r\n\f") != std::string_view::npos) {
            p.numberPending = false;
        }
        if (p.layout.Full()) xmlStopParser(p.context);
    }

    static void OnStart(void* user, const xmlChar* name, const xmlChar** attributes) {
        Parser& p = Of(user);
        const std::string_view tag = View(name);
        const Role role = RoleOf(tag);
        if (role == Role::Base && !p.baseTaken) {
            // The first <base href> counts, wherever it stands.
            if (const xmlChar* href = Attribute(attributes, "href")) {
                p.base = LinkAddress(View(href), p.options.address);
                p.baseTaken = true;
            }
        }
        const bool hides = role == Role::Hidden || HiddenByAttributes(attributes);
        const bool shown = p.hiddenDepth == 0 && !hides;
        p.open.push_back({std::string(tag), role, hides, shown});
        if (hides) ++p.hiddenDepth;
        if (shown) p.Begin(p.open.back(), attributes);
        p.KeepShallow();
    }

    // Lays out the start of a shown element.
    void Begin(Open& element, const xmlChar** attributes) {
        switch (element.role) {
        case Role::Line:
        case Role::Row:
            Edge(false);
            break;
        case Role::Paragraph:
            Edge(true);
            break;
        case Role::Preformatted:
            Edge(true);
            ++preformattedDepth;
            preformattedStart = true;
            break;
        case Role::Cell:
            layout.CellEdge();
            ++cellDepth;
            break;
        case Role::List:
            Edge(false);
            if (element.name == "ol") {
                const xmlChar* type = Attribute(attributes, "type");
                const std::string_view numbering = View(type);
                element.numbering = numbering.size() == 1 && std::strchr("aAiI", numbering[0]) ? numbering[0] : '1';
                element.next = IntegerAttribute(attributes, "start", 1);
            }
            break;
        case Role::ListItem:
            Edge(false);
            NumberItem(attributes);
            break;
        case Role::Break:
            if (cellDepth > 0) {
                layout.CellEdge();
            } else {
                layout.LineBreak();
            }
            break;
        case Role::Link:
            ++linkDepth;
            if (const xmlChar* href = Attribute(attributes, "href"); href && options.linkGroups) {
                layout.LinkStart(LinkAddress(View(href), base));
            }
            break;
        case Role::Image:
            if (const xmlChar* alt = Attribute(attributes, "alt"); alt && *alt) {
                layout.Text(View(alt));
                numberPending = false;
            }
            break;
        case Role::Inline:
        case Role::Hidden:
        case Role::Base:
            break;
        }
    }

    // The end of a line or paragraph; inside a table cell only a blank, so
    // that the row stays on its line.
    void Edge(bool blankLine) {
        // A block that starts a numbered item stays on the number's line.
        if (numberPending) return;
        if (cellDepth > 0) {
            layout.CellEdge();
        } else {
            layout.BlockEdge(blankLine);
        }
    }

    // Writes the number of a list item that starts, when its list is ordered.
    void NumberItem(const xmlChar** attributes) {
        for (std::size_t i = open.size() - 1; i-- > 0;) {
            Open& list = open[i];
            if (list.role != Role::List) continue;
            if (list.numbering == 0) return;
            const long number = IntegerAttribute(attributes, "value", list.next);
            list.next = number + 1;
            layout.Text(ItemNumber(number, list.numbering));
            numberPending = true;
            return;
        }
    }

    // Ends elements from the middle of a deep stack, in the parser's list as in
    // ours, so that the parser's search for each end tag stays short.
    void KeepShallow() {
        const std::size_t deepest = broken ? kDeepestWhenBroken : kDeepest;
        if (open.size() < deepest || !context || static_cast<std::size_t>(context->nameNr) != open.size()) return;
        const std::size_t ended = open.size() - (deepest + kKeptBelow) / 2;
        for (std::size_t i = kKeptBelow + ended; i-- > kKeptBelow;) Close(open[i]);
        open.erase(open.begin() + static_cast<std::ptrdiff_t>(kKeptBelow),
                   open.begin() + static_cast<std::ptrdiff_t>(kKeptBelow + ended));
        const xmlChar** names = context->nameTab;
        std::memmove(names + kKeptBelow, names + kKeptBelow + ended, (open.size() - kKeptBelow) * sizeof *names);
        context->nameNr -= static_cast<int>(ended);
    }

    static void OnEnd(void* user, const xmlChar* name) {
        Parser& p = Of(user);
        const std::string_view tag = View(name);
        auto match = std::find_if(p.open.rbegin(), p.open.rend(), [tag](const Open& e) { return e.name == tag; });
        if (match == p.open.rend()) return;  // an end without a start
        // Elements left open inside it end with it.
        const std::size_t keep = p.open.size() - static_cast<std::size_t>(match - p.open.rbegin()) - 1;
        while (p.open.size() > keep) {
            p.Close(p.open.back());
            p.open.pop_back();
        }
    }

    void Close(const Open& element) {
        if (element.hides) --hiddenDepth;
        if (!element.shown) return;
        if (element.role == Role::ListItem) numberPending = false;
        switch (element.role) {
        case Role::Line:
        case Role::Row:
        case Role::List:
        case Role::ListItem:
            Edge(false);
            break;
        case Role::Paragraph:
            Edge(true);
            break;
        case Role::Preformatted:
            --preformattedDepth;
            Edge(true);
            break;
        case Role::Cell:
            --cellDepth;
            break;
        case Role::Link:
            --linkDepth;
            layout.LinkEnd();
            break;
        default:
            break;
        }
    }

    ConvertOptions options;
    TextLayout layout;
    std::string base;
    bool baseTaken = false;
    std::string head;  // the first bytes, held until the character set is settled
    bool started = false;
    bool plainText = false;
    bool feed = false;
    std::string feedText;  // a feed's text, decoded, read whole before it is laid out
    std::string refusal;
    std::unique_ptr<Utf8Decoder> decoder;
    htmlParserCtxtPtr context = nullptr;
    std::string utf8;     // the piece being parsed, decoded
    std::string carried;  // decoded bytes from the last "<" of a piece on, parsed with the next
    MarkupFilter markupFilter;
    std::string filtered;  // a piece without the end tags left out
    std::vector<Open> open;
    int hiddenDepth = 0;
    int preformattedDepth = 0;
    bool preformattedStart = false;  // no text yet since a preformatted element started
    int linkDepth = 0;
    int cellDepth = 0;  // open table cells: blocks inside them do not end the line
    bool numberPending = false;  // a list item's number is written, nothing after it yet
    std::size_t misplacedEndTags = 0;
    bool broken = false;  // there were many of them
};

HtmlToText::HtmlToText(ConvertOptions options) : parser_(std::make_unique<Parser>(std::move(options))) {}

HtmlToText::~HtmlToText() = default;

bool HtmlToText::Feed(std::string_view bytes) {
    Parser& p = *parser_;
    if (!p.Wanting()) return false;
    if (!p.started) {
        p.head.append(bytes);
        if (p.head.size() >= kPrescanBytes) p.Start();
    } else {
        p.Push(bytes, false);
    }
    return p.Wanting();
}

std::string HtmlToText::Finish() {
    Parser& p = *parser_;
    if (!p.started) p.Start();
    if (!p.refusal.empty()) return {};
    if (!p.layout.Full()) p.Push({}, true);
    return p.layout.Finish();
}

const std::string& HtmlToText::Refusal() const { return parser_->refusal; }

std::string ConvertHtml(std::string_view page, const ConvertOptions& options) {
    HtmlToText converter(options);
    for (std::size_t at = 0; at < page.size(); at += kFeedPiece) {
        if (!converter.Feed(page.substr(at, kFeedPiece))) break;
    }
    return converter.Finish();
}

}  // namespace tp
