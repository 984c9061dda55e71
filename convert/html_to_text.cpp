#include "convert/html_to_text.h"

#include "convert/address_text.h"
#include "convert/charset.h"
#include "convert/text_layout.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/uri.h>

#include <algorithm>
#include <cctype>
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
    Break,         // <br>
    Preformatted,  // a paragraph whose blanks and line breaks stay
    Hidden,        // nothing of it shows
    Link,          // <a>: a reference group when it has an address
    Image,         // <img>: inside a link its alternative text stands for it
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
    {"dir", Role::Line},
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
    {"li", Role::Line},
    {"listing", Role::Preformatted},
    {"main", Role::Line},
    {"map", Role::Hidden},
    {"math", Role::Hidden},
    {"menu", Role::Line},
    {"nav", Role::Line},
    {"noembed", Role::Hidden},
    {"object", Role::Hidden},
    {"ol", Role::Line},
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
    {"tr", Role::Line},
    {"ul", Role::Line},
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
// Pieces in which a page held whole is handed to the parser.
constexpr std::size_t kFeedPiece = 64 * 1024;

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

// An address as the text shows it: plain ASCII that can be copied, and no "]"
// that would end its reference group early. Browsers drop tabs and line breaks.
std::string Printable(std::string_view href) {
    std::string address;
    for (char c : TrimmedBlanks(href)) {
        if (c != '\t' && c != '\n' && c != '\r') address.push_back(c);
    }
    return PercentEncoded(address, "[]");
}

// href resolved against base (when both allow it).
std::string Resolve(const std::string& relative, const std::string& base) {
    if (base.empty()) return relative;
    xmlChar* built = xmlBuildURI(reinterpret_cast<const xmlChar*>(relative.c_str()),
                                 reinterpret_cast<const xmlChar*>(base.c_str()));
    if (!built) return relative;
    std::string resolved(reinterpret_cast<const char*>(built));
    xmlFree(built);
    return resolved;
}

bool IsPlainText(std::string_view contentType) {
    std::string type = TrimmedBlanks(contentType.substr(0, contentType.find(';')));
    std::transform(type.begin(), type.end(), type.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return type == "text/plain";
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
            label = CharsetFromMeta(std::string_view(head).substr(0, kPrescanBytes));
            // A page cannot declare itself in UTF-16 in bytes read as ASCII.
            if (label.size() >= 6 && (label.compare(0, 6, "utf-16") == 0 || label.compare(0, 6, "UTF-16") == 0)) {
                label = "utf-8";
            }
        }
        decoder = std::make_unique<Utf8Decoder>(label);
        plainText = IsPlainText(options.contentType);
        if (!plainText) {
            InitialiseParserOnce();
            htmlSAXHandler sax{};
            sax.startElement = &OnStart;
            sax.endElement = &OnEnd;
            sax.characters = &OnCharacters;
            sax.ignorableWhitespace = &OnCharacters;
            sax.cdataBlock = &OnCharacters;
            // Broken markup is the rule on the web: say nothing about it.
            sax.warning = &OnMessage;
            sax.error = &OnMessage;
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

    // Decodes bytes and hands them to the parser (or, for plain text, to the layout).
    void Push(std::string_view bytes, bool last) {
        utf8.clear();
        decoder->Decode(bytes, utf8);
        if (last) decoder->Finish(utf8);
        if (plainText) {
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
        if (cut > 0 || last) htmlParseChunk(context, ready.data(), static_cast<int>(cut), last ? 1 : 0);
        std::string rest(ready.substr(cut));
        carried = std::move(rest);
    }

    static Parser& Of(void* user) { return *static_cast<Parser*>(user); }

    static void OnMessage(void*, const char*, ...) {}

    static void OnCharacters(void* user, const xmlChar* text, int length) {
        Parser& p = Of(user);
        if (p.hiddenDepth > 0 || length <= 0) return;
        const std::string_view chunk(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
        if (p.preformattedDepth > 0) {
            std::string_view rest = chunk;
            // A line break right after the start tag belongs to the markup, not to the text.
            if (p.preformattedStart && rest.starts_with('\n')) rest.remove_prefix(1);
            p.preformattedStart = false;
            p.layout.PreformattedText(rest);
        } else {
            p.layout.Text(chunk);
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
                p.base = Resolve(Printable(View(href)), p.options.address);
                p.baseTaken = true;
            }
        }
        const bool hides = role == Role::Hidden || HiddenByAttributes(attributes);
        const bool shown = p.hiddenDepth == 0 && !hides;
        p.open.push_back({std::string(tag), role, hides, shown});
        if (hides) ++p.hiddenDepth;
        if (!shown) return;
        switch (role) {
        case Role::Line:
            p.layout.BlockEdge(false);
            break;
        case Role::Paragraph:
            p.layout.BlockEdge(true);
            break;
        case Role::Preformatted:
            p.layout.BlockEdge(true);
            ++p.preformattedDepth;
            p.preformattedStart = true;
            break;
        case Role::Cell:
            p.layout.CellEdge();
            break;
        case Role::Break:
            p.layout.LineBreak();
            break;
        case Role::Link:
            ++p.linkDepth;
            if (const xmlChar* href = Attribute(attributes, "href")) {
                p.layout.LinkStart(Resolve(Printable(View(href)), p.base));
            }
            break;
        case Role::Image:
            if (p.linkDepth > 0) {
                if (const xmlChar* alt = Attribute(attributes, "alt")) p.layout.Text(View(alt));
            }
            break;
        case Role::Inline:
        case Role::Hidden:
        case Role::Base:
            break;
        }
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
        switch (element.role) {
        case Role::Line:
            layout.BlockEdge(false);
            break;
        case Role::Paragraph:
            layout.BlockEdge(true);
            break;
        case Role::Preformatted:
            --preformattedDepth;
            layout.BlockEdge(true);
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
    std::unique_ptr<Utf8Decoder> decoder;
    htmlParserCtxtPtr context = nullptr;
    std::string utf8;     // the piece being parsed, decoded
    std::string carried;  // decoded bytes from the last "<" of a piece on, parsed with the next
    std::vector<Open> open;
    int hiddenDepth = 0;
    int preformattedDepth = 0;
    bool preformattedStart = false;  // no text yet since a preformatted element started
    int linkDepth = 0;
};

HtmlToText::HtmlToText(ConvertOptions options) : parser_(std::make_unique<Parser>(std::move(options))) {}

HtmlToText::~HtmlToText() = default;

bool HtmlToText::Feed(std::string_view bytes) {
    Parser& p = *parser_;
    if (p.layout.Full()) return false;
    if (!p.started) {
        p.head.append(bytes);
        if (p.head.size() >= kPrescanBytes) p.Start();
    } else {
        p.Push(bytes, false);
    }
    return !p.layout.Full();
}

std::string HtmlToText::Finish() {
    Parser& p = *parser_;
    if (!p.started) p.Start();
    if (!p.layout.Full()) p.Push({}, true);
    return p.layout.Finish();
}

std::string ConvertHtml(std::string_view page, const ConvertOptions& options) {
    HtmlToText converter(options);
    for (std::size_t at = 0; at < page.size(); at += kFeedPiece) {
        if (!converter.Feed(page.substr(at, kFeedPiece))) break;
    }
    return converter.Finish();
}

}  // namespace tp
