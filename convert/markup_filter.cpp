#include "convert/markup_filter.h"

#include <cstring>

namespace tp {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsNameChar(char c) { return IsLetter(c) || (c >= '0' && c <= '9') || c == ':' || c == '_' || c == '.'; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool NameIs(std::string_view markup, std::size_t start, std::size_t end, std::string_view name) {
    if (end - start != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (Lower(markup[start + i]) != name[i]) return false;
    }
    return true;
}

// Reads the tag name at markup[at]; advances at past it and returns its hash.
std::uint8_t ReadName(std::string_view markup, std::size_t& at) {
    std::uint32_t hash = 2166136261u;
    for (; at < markup.size() && IsNameChar(markup[at]); ++at) {
        hash = (hash ^ static_cast<unsigned char>(Lower(markup[at]))) * 16777619u;
    }
    return static_cast<std::uint8_t>(hash ^ (hash >> 8) ^ (hash >> 16) ^ (hash >> 24));
}

// End tags that mean something to the parser even without a start tag: a
// lone </p> is an empty paragraph, </br> a line break; the ends of the body
// and the head close what the parser opened of its own accord.
bool EndsWithoutStart(std::string_view markup, std::size_t start, std::size_t end) {
    return NameIs(markup, start, end, "p") || NameIs(markup, start, end, "br") ||
           NameIs(markup, start, end, "body") || NameIs(markup, start, end, "head");
}

const char* Find(std::string_view markup, std::size_t at, char c) {
    if (at >= markup.size()) return nullptr;
    return static_cast<const char*>(std::memchr(markup.data() + at, c, markup.size() - at));
}

}  // namespace

void MarkupFilter::StartTag(std::string_view markup, std::size_t& at) {
    const std::size_t nameStart = at;
    std::uint32_t& open = open_[ReadName(markup, at)];
    if (open < UINT32_MAX) ++open;
    const bool script = NameIs(markup, nameStart, at, "script") || NameIs(markup, nameStart, at, "style");
    // The attributes as the parser reads them: a quote opens a value only
    // after "=", and a value may hold ">".
    bool afterEquals = false;
    while (at < markup.size()) {
        const char c = markup[at];
        if (c == '>') {
            if (script && markup[at - 1] != '/') state_ = State::Script;
            ++at;
            return;
        }
        if (afterEquals && (c == '"' || c == '\'')) {
            const char* close = Find(markup, at + 1, c);
            if (!close) break;
            at = static_cast<std::size_t>(close - markup.data()) + 1;
            afterEquals = false;
            continue;
        }
        if (c == '=') {
            afterEquals = true;
        } else if (!IsBlank(c)) {
            afterEquals = false;
        }
        ++at;
    }
    at = markup.size();
}

std::string_view MarkupFilter::Filter(std::string_view markup, std::string& scratch) {
    scratch.clear();
    std::size_t kept = 0;  // markup before this is in scratch (once something was left out)
    bool leftOut = false;
    const auto leaveOut = [&](std::size_t from, std::size_t to) {
        scratch.append(markup.substr(kept, from - kept));
        kept = to;
        leftOut = true;
    };
    std::size_t at = 0;
    while (at < markup.size()) {
        if (state_ == State::Comment) {
            const std::size_t end = markup.find("-->", at);
            if (end == std::string_view::npos) break;
            at = end + 3;
            state_ = State::Text;
            continue;
        }
        if (state_ == State::Script) {
            std::size_t end = at;
            bool ends = false;
            while (const char* lt = Find(markup, end, '<')) {
                end = static_cast<std::size_t>(lt - markup.data());
                ends = end + 2 < markup.size() && markup[end + 1] == '/' && IsLetter(markup[end + 2]);
                if (ends) break;
                ++end;
            }
            if (!ends) {  // the script goes on in the next piece
                leaveOut(at, markup.size());
                break;
            }
            if (end > at) leaveOut(at, end);
            at = end;
            state_ = State::Text;
        }
        const char* found = Find(markup, at, '<');
        if (!found) break;
        const std::size_t lt = static_cast<std::size_t>(found - markup.data());
        if (lt + 2 >= markup.size()) break;
        if (IsLetter(markup[lt + 1])) {
            at = lt + 1;
            StartTag(markup, at);
            continue;
        }
        if (markup.substr(lt, 4) == "<!--") {
            at = lt + 4;
            state_ = State::Comment;
            continue;
        }
        at = lt + 1;
        if (markup[lt + 1] != '/' || !IsLetter(markup[lt + 2])) continue;
        at = lt + 2;
        const std::size_t nameStart = at;
        const std::uint8_t hash = ReadName(markup, at);
        const std::size_t nameEnd = at;
        // Only an end tag that plainly ends here: "-" would let a comment's
        // "-->" be taken for the end of the tag.
        std::size_t gt = at;
        while (gt < markup.size() && markup[gt] != '>' && markup[gt] != '<' && markup[gt] != '-') ++gt;
        if (gt >= markup.size() || markup[gt] != '>') continue;
        at = gt + 1;
        bool leave = NameIs(markup, nameStart, nameEnd, "html");
        if (!leave) {
            if (open_[hash] > 0) {
                --open_[hash];
            } else {
                leave = !EndsWithoutStart(markup, nameStart, nameEnd);
            }
        }
        if (leave) leaveOut(lt, at);
    }
    if (!leftOut) return markup;
    scratch.append(markup.substr(kept));
    return scratch;
}

}  // namespace tp
