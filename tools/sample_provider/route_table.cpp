#include "tools/sample_provider/route_table.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace tp::sample {

namespace {

// Whether pattern[j..] can match text[i..], for every j and i, worked out from
// the ends backwards: a table of (pattern + 1) x (text + 1) entries, so the
// time grows with the text only linearly for a route's fixed pattern.
class SuffixMatches {
public:
    SuffixMatches(std::string_view pattern, std::string_view text)
        : columns_(text.size() + 1), table_((pattern.size() + 1) * columns_, false) {
        At(pattern.size(), text.size()) = true;
        for (std::size_t j = pattern.size(); j-- > 0;) {
            // For "*": the piece text[i..k) holds no "/", and k > i.
            bool laterFits = false;  // some k > i with pattern[j+1..] matching text[k..], no "/" between
            for (std::size_t i = text.size() + 1; i-- > 0;) {
                if (pattern[j] == '*') {
                    if (i < text.size()) {
                        if (text[i] == '/') laterFits = false;
                        else laterFits = laterFits || At(j + 1, i + 1);
                    }
                    At(j, i) = i < text.size() && text[i] != '/' && laterFits;
                } else {
                    At(j, i) = i < text.size() && text[i] == pattern[j] && At(j + 1, i + 1);
                }
            }
        }
    }
    bool Get(std::size_t j, std::size_t i) const { return table_[j * columns_ + i]; }

private:
    std::vector<bool>::reference At(std::size_t j, std::size_t i) { return table_[j * columns_ + i]; }
    std::size_t columns_;
    std::vector<bool> table_;
};

// Each "*" takes the longest piece with which the rest still matches, so the
// pieces are those a search trying the longest piece first would find.
bool MatchFrom(std::string_view pattern, std::string_view text, std::vector<std::string>& captures) {
    const SuffixMatches fits(pattern, text);
    if (!fits.Get(0, 0)) return false;
    std::size_t i = 0;
    for (std::size_t j = 0; j < pattern.size(); ++j) {
        if (pattern[j] != '*') {
            ++i;
            continue;
        }
        const std::size_t slash = std::min(text.find('/', i), text.size());
        std::size_t end = slash;
        while (!fits.Get(j + 1, end)) --end;
        captures.emplace_back(text.substr(i, end - i));
        i = end;
    }
    return true;
}

std::string Fill(std::string_view pattern, const std::vector<std::string>& pieces) {
    std::string result;
    std::size_t next = 0;
    for (const char c : pattern) {
        if (c == '*' && next < pieces.size()) {
            result += pieces[next++];
        } else {
            result += c;
        }
    }
    return result;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

bool MatchPath(std::string_view pattern, std::string_view text, std::vector<std::string>& captures) {
    captures.clear();
    return MatchFrom(pattern, text, captures);
}

bool RouteTable::Parse(std::string_view text, std::string& error) {
    routes_.clear();
    std::istringstream lines{std::string(text)};
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream fields(line);
        Route route;
        std::string extra;
        if (!(fields >> route.host)) continue;
        if (!(fields >> route.pathPattern >> route.pageFile) || (fields >> extra)) {
            error = "line " + std::to_string(number) + ": expected host, path and page file";
            return false;
        }
        if (std::count(route.pathPattern.begin(), route.pathPattern.end(), '*') !=
            std::count(route.pageFile.begin(), route.pageFile.end(), '*')) {
            error = "line " + std::to_string(number) + ": path and page file differ in their \"*\"";
            return false;
        }
        routes_.push_back(std::move(route));
    }
    return true;
}

std::optional<std::string> RouteTable::Find(std::string_view host, std::string_view path) const {
    std::vector<std::string> pieces;
    for (const Route& route : routes_) {
        if (route.host != "*" && !EqualsIgnoringCase(route.host, host)) continue;
        if (!MatchPath(route.pathPattern, path, pieces)) continue;
        const bool safe = std::none_of(pieces.begin(), pieces.end(),
                                       [](const std::string& piece) { return piece.front() == '.'; });
        if (safe) return Fill(route.pageFile, pieces);
    }
    return std::nullopt;
}

}  // namespace tp::sample
