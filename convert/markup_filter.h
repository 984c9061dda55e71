// Keeps the HTML parser's work in proportion to the page, by taking out of
// the markup, before it is parsed, what cannot change the text:
// - An end tag that no start tag before it can match changes nothing, yet
//   costs the parser a search through every open element: a page of 200,000
//   such tags in 200,000 open elements would take minutes.
// - Every "</html>": the parser would read nothing after it, although pages
//   go on after it.
// - The content of scripts and style sheets, which the parser reads character
//   by character only for it to be hidden. It ends where the parser would end
//   it: at the first "</" followed by a letter.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tp {

class MarkupFilter {
public:
    // markup as the parser should see it: markup itself, or a copy in scratch
    // with what is left out. Pieces are given in order.
    std::string_view Filter(std::string_view markup, std::string& scratch);

private:
    enum class State { Text, Comment, Script };

    // Reads the start tag whose name begins at markup[at]; advances at past
    // its end, or to the end of markup when it does not end there.
    void StartTag(std::string_view markup, std::size_t& at);

    State state_ = State::Text;
    // Per hash of a tag name: start tags seen minus end tags let through. A
    // shared hash only lets more end tags through.
    std::array<std::uint32_t, 256> open_{};
};

}  // namespace tp
