// tidepost-batch --check: every source of the chosen topics fetched and cut as
// a run would, one line each, without writing any page.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tp {

struct Settings;

// Checks the sources of topics (names as on the command line; none: the
// selected topics). Returns the exit status: 0 when every source is ok, 1 otherwise.
int CheckSources(const Settings& settings, const std::vector<std::string>& topics, std::ostream& out,
                 std::ostream& err);

}  // namespace tp
