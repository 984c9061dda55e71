// Which recorded page answers which target address. The table is a text file
// of lines "<target host> <target path> <page file>"; "#" starts a comment.
// In the path each "*" stands for one or more characters other than "/", and
// the pieces it matched fill the "*"s of the page file in order. A host "*"
// matches any target, and also the provider's own paths asked for directly.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tp::sample {

struct Route {
    std::string host;
    std::string pathPattern;
    std::string pageFile;
};

class RouteTable {
public:
    // Parses the table text. False with a line number and reason in error for
    // a line that is not three fields or whose page has a different count of "*".
    bool Parse(std::string_view text, std::string& error);

    // The page file for a target, or nothing when no route matches. Pieces
    // starting with "." are refused so no page name leaves the pages folder.
    std::optional<std::string> Find(std::string_view host, std::string_view path) const;

    const std::vector<Route>& Routes() const { return routes_; }

private:
    std::vector<Route> routes_;
};

// Matches text against a pattern whose "*" stands for one or more characters
// other than "/"; on success the matched pieces are in captures.
bool MatchPath(std::string_view pattern, std::string_view text, std::vector<std::string>& captures);

}  // namespace tp::sample
