#include "convert/feed_reader.h"

#include "convert/charset.h"

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tp {
namespace {

// Deeper elements are not followed (their ends are matched by count), so
// nesting costs no more than a flat feed.
constexpr std::size_t kDeepest = 64;

std::string Lowered(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// The name without its namespace prefix, in lower case.
std::string LocalName(std::string_view name) {
    const std::size_t colon = name.rfind(':');
    return Lowered(colon == std::string_view::npos ? name : name.substr(colon + 1));
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool IsNameEnd(char c) { return IsSpace(c) || c == '>' || c == '/'; }

// Appends text with its character references replaced: XML's five, numeric
// ones and, as feeds use them, HTML's named ones. Unknown ones stay as written.
void AppendDecoded(std::string_view text, std::string& out) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t amp = text.find('&', at);
        out.append(text.substr(at, amp == std::string_view::npos ? amp : amp - at));
        if (amp == std::string_view::npos) return;
        // References are short: the search for their end stays short too.
        const std::size_t length = text.substr(amp + 1, 32).find(';');
        const std::size_t semicolon = length == std::string_view::npos ? length : amp + 1 + length;
        at = amp + 1;
        if (semicolon == std::string_view::npos) {
            out.push_back('&');
            continue;
        }
        const std::string name(text.substr(amp + 1, semicolon - amp - 1));
        char32_t codePoint = 0;
        if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            const std::string digits = name.substr(hex ? 2 : 1);
            char* end = nullptr;
            const unsigned long value = digits.empty() ? 0 : std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
            if (end && *end == '\0' && value > 0 && value <= 0x10FFFF) codePoint = static_cast<char32_t>(value);
        } else if (name == "lt") {
            codePoint = '<';
        } else if (name == "gt") {
            codePoint = '>';
        } else if (name == "amp") {
            codePoint = '&';
        } else if (name == "quot") {
            codePoint = '"';
        } else if (name == "apos") {
            codePoint = '\'';
        } else if (const htmlEntityDesc* entity = htmlEntityLookup(reinterpret_cast<const xmlChar*>(name.c_str()))) {
            codePoint = entity->value;
        }
        if (codePoint == 0) {
            out.push_back('&');
            continue;
        }
        AppendUtf8(codePoint, out);
        at = semicolon + 1;
    }
}

struct Tag {
    std::string name;  // local, lower case
    bool end = false;
    bool empty = false;  // <name/>
    std::string href, rel, type, isPermaLink;
};

// Reads the tag that starts at xml[at] ("<" or "</"); advances at past it.
// False when the tag does not end.
bool ReadTag(std::string_view xml, std::size_t& at, Tag& tag) {
    std::size_t i = at + 1;
    tag = Tag{};
    if (i < xml.size() && xml[i] == '/') {
        tag.end = true;
        ++i;
    }
    const std::size_t nameStart = i;
    while (i < xml.size() && !IsNameEnd(xml[i])) ++i;
    tag.name = LocalName(xml.substr(nameStart, i - nameStart));
    while (i < xml.size()) {
        while (i < xml.size() && IsSpace(xml[i])) ++i;
        if (i >= xml.size()) return false;
        if (xml[i] == '>') {
            at = i + 1;
            return true;
        }
        if (xml[i] == '/') {
            tag.empty = true;
            ++i;
            continue;
        }
        const std::size_t attributeStart = i;
        while (i < xml.size() && !IsSpace(xml[i]) && xml[i] != '=' && xml[i] != '>') ++i;
        const std::string attribute = LocalName(xml.substr(attributeStart, i - attributeStart));
        while (i < xml.size() && IsSpace(xml[i])) ++i;
        if (i >= xml.size() || xml[i] != '=') continue;
        ++i;
        while (i < xml.size() && IsSpace(xml[i])) ++i;
        if (i >= xml.size()) return false;
        std::string_view value;
        if (xml[i] == '"' || xml[i] == '\'') {
            const std::size_t close = xml.find(xml[i], i + 1);
            if (close == std::string_view::npos) return false;
            value = xml.substr(i + 1, close - i - 1);
            i = close + 1;
        } else {
            const std::size_t valueStart = i;
            while (i < xml.size() && !IsSpace(xml[i]) && xml[i] != '>') ++i;
            value = xml.substr(valueStart, i - valueStart);
        }
        std::string* kept = attribute == "href" ? &tag.href
                            : attribute == "rel" ? &tag.rel
                            : attribute == "type" ? &tag.type
                            : attribute == "ispermalink" ? &tag.isPermaLink
                                                         : nullptr;
        if (kept) {
            kept->clear();
            AppendDecoded(value, *kept);
        }
    }
    return false;
}

// Collects channel and items while the tags go by.
class FeedBuilder {
public:
    void Start(const Tag& tag) {
        if (depth_ >= kDeepest) {
            ++beyond_;
            return;
        }
        names_.push_back(tag.name);
        ++depth_;
        if (target_) {  // markup inside a text, as in Atom's xhtml content
            target_->push_back(' ');
            return;
        }
        if (tag.name == "item" || tag.name == "entry") {
            feed_.items.emplace_back();
            entry_ = &feed_.items.back();
            entryDepth_ = depth_;
            permaLink_.clear();
        } else if ((tag.name == "channel" || (depth_ == 1 && tag.name == "feed")) && !InItem()) {
            atom_ = tag.name == "feed";
            entry_ = &feed_.channel;
            entryDepth_ = depth_;
            channelDepth_ = depth_;
        } else if (entry_ && depth_ == entryDepth_ + 1) {
            Field(tag);
        }
    }

    void End(const Tag& tag) {
        if (beyond_ > 0) {
            --beyond_;
            return;
        }
        // Close up to the matching start, if one is open (an end without a start is ignored).
        auto match = std::find(names_.rbegin(), names_.rend(), tag.name);
        if (match == names_.rend()) return;
        const std::size_t keep = names_.size() - static_cast<std::size_t>(match - names_.rbegin()) - 1;
        while (names_.size() > keep) Pop();
        if (target_) target_->push_back(' ');
    }

    void Text(std::string_view text, bool raw) {
        if (!target_ || beyond_ > 0) return;
        if (raw) {
            target_->append(text);
        } else {
            AppendDecoded(text, *target_);
        }
    }

    Feed Finish() {
        while (!names_.empty()) Pop();
        return std::move(feed_);
    }

private:
    bool InItem() const { return entry_ && entry_ != &feed_.channel; }

    void Field(const Tag& tag) {
        // Atom says what its texts are; RSS texts may always hold HTML.
        const bool html = !atom_ || Lowered(tag.type) == "html" || Lowered(tag.type) == "text/html";
        if (tag.name == "title") {
            Capture(entry_->title, html);
        } else if (tag.name == "description" || tag.name == "summary" || tag.name == "subtitle") {
            if (entry_->summary.text.empty()) Capture(entry_->summary, html);
        } else if (tag.name == "content" || tag.name == "encoded") {
            Capture(content_, html);
        } else if (tag.name == "link") {
            const std::string rel = Lowered(tag.rel);
            if (!tag.href.empty()) {
                if (entry_->link.empty() && (rel.empty() || rel == "alternate")) entry_->link = tag.href;
            } else if (entry_->link.empty()) {
                linkText_.clear();
                target_ = &linkText_;
                targetDepth_ = depth_;
            }
        } else if ((tag.name == "guid" || tag.name == "id") && Lowered(tag.isPermaLink) != "false") {
            permaLink_.clear();
            target_ = &permaLink_;
            targetDepth_ = depth_;
        }
    }

    void Capture(FeedText& field, bool html) {
        field.text.clear();
        field.html = html;
        target_ = &field.text;
        targetDepth_ = depth_;
    }

    void Pop() {
        if (target_ && depth_ == targetDepth_) {
            if (target_ == &linkText_) entry_->link = linkText_;
            target_ = nullptr;
        }
        if (entry_ && depth_ == entryDepth_) {
            if (entry_->summary.text.empty()) entry_->summary = content_;
            content_ = FeedText{};
            const std::string_view scheme(permaLink_.data(), std::min<std::size_t>(permaLink_.size(), 4));
            if (entry_->link.empty() && Lowered(scheme) == "http") entry_->link = permaLink_;
            permaLink_.clear();
            const bool wasItem = InItem();
            entry_ = nullptr;
            if (!wasItem) channelDepth_ = 0;
            if (wasItem && channelDepth_ > 0) {
                entry_ = &feed_.channel;
                entryDepth_ = channelDepth_;
            }
        }
        names_.pop_back();
        --depth_;
    }

    Feed feed_;
    bool atom_ = false;
    std::vector<std::string> names_;  // the open elements
    std::size_t depth_ = 0;
    std::size_t beyond_ = 0;  // elements open beyond kDeepest
    FeedEntry* entry_ = nullptr;  // the channel or item being read
    std::size_t entryDepth_ = 0;
    std::size_t channelDepth_ = 0;
    std::string* target_ = nullptr;  // the text being collected
    std::size_t targetDepth_ = 0;
    FeedText content_;  // an item's full content, its summary when it has no other
    std::string linkText_;
    std::string permaLink_;
};

// Skips the XML declaration, processing instructions, comments and a document
// type (with its internal subset) at xml[at]; false when at is at none of them.
bool SkipMarkupDeclaration(std::string_view xml, std::size_t& at) {
    const std::string_view rest = xml.substr(at);
    std::size_t end;
    if (rest.starts_with("<?")) {
        end = rest.find("?>");
        end = end == std::string_view::npos ? end : end + 2;
    } else if (rest.starts_with("<!--")) {
        end = rest.find("-->", 4);
        end = end == std::string_view::npos ? end : end + 3;
    } else if (rest.starts_with("<!") && !rest.starts_with("<![CDATA[")) {
        const std::size_t gt = rest.find('>');
        const std::size_t bracket = rest.find('[');
        if (bracket != std::string_view::npos && bracket < gt) {
            end = rest.find("]>", bracket);
            end = end == std::string_view::npos ? end : end + 2;
        } else {
            end = gt == std::string_view::npos ? gt : gt + 1;
        }
    } else {
        return false;
    }
    at = end == std::string_view::npos ? xml.size() : at + end;
    return true;
}

}  // namespace

bool StartsAsFeed(std::string_view utf8) {
    std::size_t at = 0;
    while (true) {
        while (at < utf8.size() && IsSpace(utf8[at])) ++at;
        if (at >= utf8.size() || utf8[at] != '<') return false;
        if (!SkipMarkupDeclaration(utf8, at)) break;
    }
    std::size_t end = at + 1;
    while (end < utf8.size() && !IsNameEnd(utf8[end])) ++end;
    if (end >= utf8.size()) return false;
    const std::string name = LocalName(utf8.substr(at + 1, end - at - 1));
    return name == "rss" || name == "rdf" || name == "feed";
}

bool IsFeedType(std::string_view contentType) {
    const std::string type = Lowered(contentType.substr(0, contentType.find(';')));
    return type.find("rss+xml") != std::string::npos || type.find("atom+xml") != std::string::npos ||
           type.find("rdf+xml") != std::string::npos;
}

Feed ReadFeed(std::string_view xml) {
    FeedBuilder builder;
    std::size_t at = 0;
    Tag tag;
    while (at < xml.size()) {
        if (xml[at] != '<') {
            const std::size_t lt = xml.find('<', at);
            const std::size_t end = lt == std::string_view::npos ? xml.size() : lt;
            builder.Text(xml.substr(at, end - at), false);
            at = end;
            continue;
        }
        const std::string_view rest = xml.substr(at);
        if (rest.starts_with("<![CDATA[")) {
            const std::size_t end = rest.find("]]>");
            builder.Text(rest.substr(9, end == std::string_view::npos ? end : end - 9), true);
            at = end == std::string_view::npos ? xml.size() : at + end + 3;
        } else if (SkipMarkupDeclaration(xml, at)) {
        } else if (rest.size() > 1 && (rest[1] == '/' || std::isalpha(static_cast<unsigned char>(rest[1])) ||
                                       rest[1] == '_')) {
            if (!ReadTag(xml, at, tag)) break;
            if (tag.end) {
                builder.End(tag);
            } else {
                builder.Start(tag);
                if (tag.empty) builder.End(tag);
            }
        } else {  // a "<" that starts no tag is text
            builder.Text("<", true);
            ++at;
        }
    }
    return builder.Finish();
}

}  // namespace tp
