#include "convert/text_layout.h"

#include "convert/charset.h"
#include "convert/transliteration.h"

#include <algorithm>
#include <cstdio>

namespace tp {
namespace {

// Reads the UTF-8 character at utf8[at]; advances at. A broken sequence gives U+FFFD.
char32_t NextCodePoint(std::string_view utf8, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(utf8[at++]);
    if (lead < 0x80) return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0) return 0xFFFD;
    char32_t codePoint = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if (at >= utf8.size() || (static_cast<unsigned char>(utf8[at]) & 0xC0) != 0x80) return 0xFFFD;
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(utf8[at++]) & 0x3F);
    }
    return codePoint;
}

// White space of the page, and the control characters that have no place in
// the text: both collapse into one blank.
bool IsCollapsible(unsigned char c) { return c <= 0x20 || c == 0x7F; }

// Characters the code page lacks but whose meaning survives as ASCII: blanks
// of other widths are blanks, and a minus sign must stay a minus for the
// number walks. 0 for characters that show nothing, -1 for the others.
int Substitute(char32_t codePoint) {
    if ((codePoint >= 0x2000 && codePoint <= 0x200A) || codePoint == 0x202F || codePoint == 0x205F ||
        codePoint == 0x3000) {
        return ' ';
    }
    if ((codePoint >= 0x2010 && codePoint <= 0x2012) || codePoint == 0x2212) return '-';
    if ((codePoint >= 0x200B && codePoint <= 0x200D) || codePoint == 0x2060 || codePoint == 0xFEFF ||
        codePoint == 0xAD) {
        return 0;
    }
    return -1;
}

}  // namespace

TextLayout::TextLayout(std::size_t capacity, bool inlineRefs) : capacity_(capacity), inlineRefs_(inlineRefs) {
    text_.reserve(std::min<std::size_t>(capacity, 1 << 20));
}

void TextLayout::Settle() {
    if (owedBreaks_ > 0) {
        if (!text_.empty()) text_.append(static_cast<std::size_t>(owedBreaks_), '\n');
        owedBreaks_ = 0;
    } else if (owedBlank_ && !text_.empty()) {
        text_.push_back(' ');
    }
    owedBlank_ = false;
    text_ += pendingGroup_;
    pendingGroup_.clear();
    if (text_.size() > capacity_) text_.resize(capacity_);
}

void TextLayout::PutCodePoint(char32_t codePoint) {
    if (codePoint == 0xA0) {  // a blank that does not collapse
        Put(' ');
        return;
    }
    const int byte = Windows1252FromCodePoint(codePoint);
    if (byte >= 0) {
        Put(static_cast<char>(byte));
        return;
    }
    const int substitute = Substitute(codePoint);
    if (substitute > 0) {
        Put(static_cast<char>(substitute));
    } else if (substitute < 0) {
        const std::string_view latin = Transliterated(codePoint);
        if (latin.empty()) Put('?');
        for (const char c : latin) Put(c);
    }
}

void TextLayout::Text(std::string_view utf8) {
    std::size_t at = 0;
    while (at < utf8.size() && !Full()) {
        const auto c = static_cast<unsigned char>(utf8[at]);
        if (c < 0x80 && !IsCollapsible(c)) {
            // A word of ASCII goes in at once.
            std::size_t end = at + 1;
            while (end < utf8.size()) {
                const auto next = static_cast<unsigned char>(utf8[end]);
                if (next >= 0x80 || IsCollapsible(next)) break;
                ++end;
            }
            if (owedBreaks_ > 0 || owedBlank_ || !pendingGroup_.empty()) Settle();
            const std::size_t room = capacity_ - std::min(capacity_, text_.size());
            text_.append(utf8.substr(at, std::min(end - at, room)));
            at = end;
        } else if (c < 0x80) {
            ++at;
            if (!LineEmpty()) owedBlank_ = true;
        } else {
            PutCodePoint(NextCodePoint(utf8, at));
        }
    }
}

void TextLayout::PreformattedText(std::string_view utf8) {
    std::size_t at = 0;
    while (at < utf8.size() && !Full()) {
        const auto c = static_cast<unsigned char>(utf8[at]);
        if (c == '\n') {
            ++at;
            // A preformatted line break is a line break: empty lines in a row
            // are the author's, and stay.
            owedBlank_ = false;
            ++owedBreaks_;
            if (text_.empty()) owedBreaks_ = 0;
        } else if (c == '\r') {
            ++at;
        } else if (c < 0x80) {
            ++at;
            Put(IsCollapsible(c) ? ' ' : static_cast<char>(c));
        } else {
            PutCodePoint(NextCodePoint(utf8, at));
        }
    }
}

void TextLayout::LineBreak() {
    owedBlank_ = false;
    owedBreaks_ = std::min(owedBreaks_ + 1, 2);
}

void TextLayout::BlockEdge(bool blankLine) {
    if (text_.empty()) return;
    owedBlank_ = false;
    owedBreaks_ = std::max(owedBreaks_, blankLine ? 2 : 1);
}

void TextLayout::CellEdge() {
    if (!LineEmpty()) owedBlank_ = true;
}

void TextLayout::PutAddress(std::string_view utf8, std::string& out) const {
    std::size_t at = 0;
    while (at < utf8.size()) {
        const int byte = Windows1252FromCodePoint(NextCodePoint(utf8, at));
        out.push_back(byte > 0x20 ? static_cast<char>(byte) : '?');
    }
}

void TextLayout::LinkStart(std::string_view address) {
    ++links_;
    char number[16];
    std::snprintf(number, sizeof number, "%d", links_);
    std::string group = "[";
    group += number;
    if (inlineRefs_) {
        group.push_back(' ');
        PutAddress(address, group);
    } else if (references_.size() < capacity_) {
        // Addresses past what the text can keep are not worth remembering.
        references_ += '[';
        references_ += number;
        references_ += "] ";
        PutAddress(address, references_);
        references_ += '\n';
    }
    group.push_back(']');
    LinkEnd();  // a link inside a link that showed nothing yet
    pendingGroup_ = std::move(group);
}

void TextLayout::LinkEnd() {
    if (!pendingGroup_.empty()) Settle();
}

std::string TextLayout::Finish() {
    LinkEnd();
    std::string text = std::move(text_);
    text_.clear();
    if (!text.empty()) text.push_back('\n');
    if (!references_.empty()) {
        text += "\nReferences\n\n";
        text += references_;
    }
    if (text.size() > capacity_) text.resize(capacity_);
    return text;
}

}  // namespace tp
