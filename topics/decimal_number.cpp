#include "topics/decimal_number.h"

#include <array>
#include <charconv>
#include <system_error>

namespace tp {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::size_t SkipDigits(const char* text, std::size_t pos) {
    while (IsDigit(text[pos])) ++pos;
    return pos;
}

}  // namespace

double ReadDecimalNumber(const char* text) {
    std::size_t pos = 0;
    while (IsWhiteSpace(text[pos])) ++pos;
    const bool negative = text[pos] == '-';
    if (text[pos] == '-' || text[pos] == '+') ++pos;

    // The longest prefix that forms a number; from_chars then converts exactly it.
    const std::size_t start = pos;
    std::size_t end = SkipDigits(text, pos);
    std::size_t digits = end - start;
    if (text[end] == '.') {
        const std::size_t fractionEnd = SkipDigits(text, end + 1);
        digits += fractionEnd - (end + 1);
        end = fractionEnd;
    }
    if (digits == 0) return 0.0;
    if (text[end] == 'e' || text[end] == 'E') {
        std::size_t exponent = end + 1;
        if (text[exponent] == '-' || text[exponent] == '+') ++exponent;
        if (IsDigit(text[exponent])) end = SkipDigits(text, exponent);
    }

    double value = 0.0;
    const auto [stop, error] =
        std::from_chars(text + start, text + end, value, std::chars_format::general);
    if (error != std::errc() || stop != text + end) return 0.0;
    return negative ? -value : value;
}

std::string FormatFiveDecimals(double value) {
    // The largest double has 309 integer digits; five decimals, sign and point
    // fit well within this.
    std::array<char, 400> digits{};
    const auto [end, error] =
        std::to_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::fixed, 5);
    if (error != std::errc()) return "0.00000";
    return std::string(digits.data(), end);
}

}  // namespace tp
