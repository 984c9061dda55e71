// Decimal numbers read from fetched pages and settings, and written on pages,
// with "." as the decimal point whatever locale the process runs in (the GUI
// library switches the C library to the user's locale).
#pragma once

#include <string>

namespace tp {

// Reads a decimal number at text (zero-terminated): white space skipped, an
// optional sign, digits with an optional "." and fraction, an optional exponent.
// Reading stops at the first character that cannot continue the number. No
// number, or one beyond the range of a double, reads as 0. "inf", "nan" and
// hexadecimal forms are not numbers here.
double ReadDecimalNumber(const char* text);

// The value with five decimals ("%.5f" in the "C" locale).
std::string FormatFiveDecimals(double value);

}  // namespace tp
