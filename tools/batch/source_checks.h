// tidepost-batch --check: every source of the chosen topics fetched and cut as
// a run would, one line each (or one JSON object each), without writing any
// page or "download.txt".
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tp {

struct Settings;
struct Topic;

struct CheckRequest {
    std::vector<const Topic*> topics;  // named on the command line; none: the selected ones
    bool json = false;                 // one JSON object a line instead of words
};

// Reads the arguments after "--check": topic names (weather, news, stocks,
// movies, directions, astro, without regard to case) and "--json", in any
// order. False with the reason in error for anything else.
bool ReadCheckArguments(const std::vector<std::string>& arguments, CheckRequest& request, std::string& error);

// settings with the topics that request checks selected, and no other: the
// topics named, or else the selected topics that fetch web pages.
Settings CheckedSettings(const Settings& settings, const CheckRequest& request);

// Checks the sources of the topics selected in checked with their codes,
// under the data folder's run lock, keeps the text of each source found ok as
// its last good text, and prints one result per source to out; for a missing
// tag, the replacement suggested. Returns the exit status: 0 when every source
// is ok, 1 otherwise (also when the lock cannot be taken), 75 when another
// download holds the lock (said on err).
int CheckSources(const Settings& checked, bool json, std::ostream& out, std::ostream& err);

}  // namespace tp
