// Keeps the HTML parser's work in proportion to the page. An end tag that no
// start tag before it can match changes nothing, yet costs the parser a search
// through every open element: a page of 200,000 such tags in 200,000 open
// elements would take minutes. Those tags are left out before parsing. So is
// every "</html>", after which the parser would read nothing more, although
// pages go on after it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tp {

class EndTagFilter {
public:
    // markup as the parser should see it: markup itself, or a copy in scratch
    // without the end tags left out. Pieces are given in order; a tag must not
    // be split between two of them.
    std::string_view Filter(std::string_view markup, std::string& scratch);

private:
    // Per hash of a tag name: start tags seen minus end tags let through. A
    // shared hash only lets more end tags through.
    std::array<std::uint32_t, 256> open_{};
};

}  // namespace tp
