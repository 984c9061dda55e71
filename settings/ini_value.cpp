#include "settings/ini_value.h"

namespace tp {
namespace {

bool IsIniBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

bool IsQuote(char c) { return c == '"' || c == '\''; }

}  // namespace

std::string QuoteIniValue(std::string_view value) {
    const bool edgeBlank = !value.empty() && (IsIniBlank(value.front()) || IsIniBlank(value.back()));
    const bool ownQuotes = value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back();
    if (!edgeBlank && !ownQuotes) return std::string(value);
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted += '"';
    quoted += value;
    quoted += '"';
    return quoted;
}

}  // namespace tp
