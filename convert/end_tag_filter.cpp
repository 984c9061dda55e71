#include "convert/end_tag_filter.h"

#include <cstring>

namespace tp {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsNameChar(char c) { return IsLetter(c) || (c >= '0' && c <= '9') || c == ':' || c == '_' || c == '.'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Reads the tag name at markup[at]; advances at past it. Returns its hash and
// whether it is name (given in lower case).
std::uint8_t ReadName(std::string_view markup, std::size_t& at, std::string_view name, bool& isName) {
    std::uint32_t hash = 2166136261u;
    std::size_t length = 0;
    isName = true;
    for (; at < markup.size() && IsNameChar(markup[at]); ++at, ++length) {
        const char c = Lower(markup[at]);
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
        if (length >= name.size() || name[length] != c) isName = false;
    }
    if (length != name.size()) isName = false;
    return static_cast<std::uint8_t>(hash ^ (hash >> 8) ^ (hash >> 16) ^ (hash >> 24));
}

// End tags that mean something to the parser even without a start tag: a
// lone </p> is an empty paragraph, </br> a line break; the ends of the body
// and the head close what the parser opened of its own accord.
bool EndsWithoutStart(std::string_view markup, std::size_t nameStart, std::size_t nameEnd) {
    static constexpr std::string_view kNames[] = {"p", "br", "body", "head"};
    const std::size_t length = nameEnd - nameStart;
    for (std::string_view known : kNames) {
        if (known.size() != length) continue;
        bool same = true;
        for (std::size_t i = 0; i < length && same; ++i) same = Lower(markup[nameStart + i]) == known[i];
        if (same) return true;
    }
    return false;
}

}  // namespace

std::string_view EndTagFilter::Filter(std::string_view markup, std::string& scratch) {
    scratch.clear();
    std::size_t kept = 0;  // markup before this is in scratch (once something was left out)
    bool leftOut = false;
    std::size_t at = 0;
    while (true) {
        const void* found = at < markup.size() ? std::memchr(markup.data() + at, '<', markup.size() - at) : nullptr;
        if (!found) break;
        const std::size_t lt = static_cast<std::size_t>(static_cast<const char*>(found) - markup.data());
        if (lt + 2 >= markup.size()) break;
        bool isHtml = false;
        if (IsLetter(markup[lt + 1])) {
            at = lt + 1;
            std::uint32_t& open = open_[ReadName(markup, at, "html", isHtml)];
            if (open < UINT32_MAX) ++open;
            continue;
        }
        if (markup[lt + 1] != '/' || !IsLetter(markup[lt + 2])) {
            at = lt + 1;
            continue;
        }
        at = lt + 2;
        const std::size_t nameStart = at;
        const std::uint8_t hash = ReadName(markup, at, "html", isHtml);
        const std::size_t nameEnd = at;
        // Only an end tag that plainly ends here: "-" would let a comment's
        // "-->" be taken for the end of the tag.
        std::size_t gt = at;
        while (gt < markup.size() && markup[gt] != '>' && markup[gt] != '<' && markup[gt] != '-') ++gt;
        if (gt >= markup.size() || markup[gt] != '>') continue;
        at = gt + 1;
        bool leave = isHtml;
        if (!leave) {
            if (open_[hash] > 0) {
                --open_[hash];
            } else {
                leave = !EndsWithoutStart(markup, nameStart, nameEnd);
            }
        }
        if (!leave) continue;
        scratch.append(markup.substr(kept, lt - kept));
        kept = at;
        leftOut = true;
    }
    if (!leftOut) return markup;
    scratch.append(markup.substr(kept));
    return scratch;
}

}  // namespace tp
