// Lays out the text of a web page as the extractors read it: lines ended by a
// line feed, at most one empty line in a row, runs of white space as one
// blank, each link's text preceded by its reference group "[n]", and, unless
// the groups carry their addresses, the list of addresses at the end. The text
// is kept in the Windows Latin-1 code page; a character it lacks is written in
// its closest Latin form (transliteration.h), else as "?".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tp {

class TextLayout {
public:
    // capacity: bytes of text kept; inlineRefs: groups hold their addresses
    // ("[3 http://host/]") and no list follows.
    TextLayout(std::size_t capacity, bool inlineRefs);

    // Text of the page in UTF-8, its white space collapsed.
    void Text(std::string_view utf8);
    // Text in UTF-8 whose blanks and line breaks are kept (preformatted).
    void PreformattedText(std::string_view utf8);
    // A forced line break: ends the line; a second one in a row leaves an
    // empty line, and further ones add nothing.
    void LineBreak();
    // The edge of a block: the line ends; blankLine also leaves an empty line
    // before what follows. Nothing is added at the start of the text.
    void BlockEdge(bool blankLine);
    // The edge between two table cells: a blank, unless the line is empty.
    void CellEdge();
    // The start of a link to address: its reference group, which goes
    // right in front of the link's first visible character (so a link that
    // wraps a block still reads "[n]text"), or at the link's end.
    void LinkStart(std::string_view address);
    void LinkEnd();

    // Enough text is kept: nothing more will be added.
    bool Full() const { return text_.size() >= capacity_; }
    // The text with its list of addresses, at most capacity bytes.
    std::string Finish();

private:
    bool LineEmpty() const { return owedBreaks_ > 0 || text_.empty(); }
    // Puts the line breaks, the blank and the group that are owed before visible text.
    void Settle();
    void Put(char c) {
        if (owedBreaks_ > 0 || owedBlank_ || !pendingGroup_.empty()) Settle();
        if (text_.size() < capacity_) text_.push_back(c);
    }
    // Puts a character other than ASCII.
    void PutCodePoint(char32_t codePoint);
    void PutAddress(std::string_view utf8, std::string& out) const;

    std::size_t capacity_;
    bool inlineRefs_;
    std::string text_;
    int owedBreaks_ = 0;
    bool owedBlank_ = false;
    int links_ = 0;
    std::string pendingGroup_;  // the group of a link whose text has not begun
    std::string references_;  // the list of addresses, as far as it can be kept
};

}  // namespace tp
