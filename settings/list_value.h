// Lists held in one settings value: items separated by "," without blanks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tp {

// The items of list in order; empty items (",," or a trailing ",") are skipped.
std::vector<std::string> SplitListValue(std::string_view list);

}  // namespace tp
