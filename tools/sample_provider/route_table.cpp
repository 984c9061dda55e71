#include "tools/sample_provider/route_table.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace tp::sample {

namespace {

bool MatchFrom(std::string_view pattern, std::string_view text, std::vector<std::string>& captures) {
    if (pattern.empty()) return text.empty();
    if (pattern.front() != '*') {
        return !text.empty() && text.front() == pattern.front() &&
               MatchFrom(pattern.substr(1), text.substr(1), captures);
    }
    // Try the longest piece first; a piece never spans a "/".
    const std::size_t maxPiece = std::min(text.find('/'), text.size());
    for (std::size_t length = maxPiece; length >= 1; --length) {
        captures.emplace_back(text.substr(0, length));
        if (MatchFrom(pattern.substr(1), text.substr(length), captures)) return true;
        captures.pop_back();
    }
    return false;
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
