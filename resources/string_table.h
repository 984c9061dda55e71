// The program's string resources, keyed by the same numbers as the customizable
// texts that default to them.
#pragma once

#include <string_view>

namespace tp {

inline constexpr int kVersionText = 101;       // "Tidepost Version 1.5"
inline constexpr int kSocketStartFailed = 103;
inline constexpr int kLocalTimeText = 116;     // "Local Time"
inline constexpr int kInfoPageText = 142;

// The text of resource id, or the empty text when there is none.
std::string_view LoadStringResource(int id);

}  // namespace tp
