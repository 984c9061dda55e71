// printf-style formatting into a std::string, for the program's own fixed formats.
// User text (templates, tags, settings) must never be passed as the format.
#pragma once

#include <cstdarg>
#include <string>

namespace tp {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string VFormat(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

}  // namespace tp
