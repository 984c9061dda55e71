// The program's string resources, keyed by the same numbers as the customizable
// texts that default to them.
#pragma once

#include <string_view>

namespace tp {

inline constexpr int kVersionText = 101;       // "Tidepost Version 1.5"
inline constexpr int kSocketStartFailed = 103;
inline constexpr int kLocalTimeText = 116;     // "Local Time"
inline constexpr int kInfoPageText = 142;

// Prompts of the code list editor.
inline constexpr int kCodeListPrompt = 122;  // area and city codes
inline constexpr int kRateListPrompt = 123;  // exchange-rate pairs

// Help texts.
inline constexpr int kHelpZipCodes = 143;
inline constexpr int kHelpCityCodes = 144;
inline constexpr int kHelpStocks = 145;
inline constexpr int kHelpAstro = 146;
inline constexpr int kHelpDirections = 147;
inline constexpr int kHelpEmail = 148;
inline constexpr int kHelpWebAddress = 174;

// The text of resource id, or the empty text when there is none.
std::string_view LoadStringResource(int id);

}  // namespace tp
