// A recorded page as long as the transfer buffer holds, behind filler that
// holds none of the default tags, so that a search through a full page shows.
#pragma once

#include "app/globals.h"

#include <string>

namespace tp::bench {

// Lines that stand before the content of a long page, free of every default tag:
// a converted page's link menu, or the rows of an HTML navigation table.
inline std::string TextMenuLine(int n) {
    return "   [" + std::to_string(n) + "]Archive " + std::to_string(n) + "   [" +
           std::to_string(n + 1) + "]Related stories\n";
}
inline std::string HtmlMenuLine(int n) {
    return "<tr><td class=\"nav\"><a href=\"/archive/" + std::to_string(n) + "\">Archive " +
           std::to_string(n) + "</a></td></tr>\n";
}

// page behind as many menu lines as keep it within the transfer buffer.
inline std::string PadToFullPage(const std::string& page, std::string (*menuLine)(int)) {
    std::string filler;
    for (int n = 100;; n += 2) {
        const std::string line = menuLine(n);
        if (filler.size() + line.size() + page.size() > kTransferCapacity) break;
        filler += line;
    }
    return filler + page;
}

}  // namespace tp::bench
