// Filling a page template without printf. Templates are user files, so they are
// never used as a format: only "%s" (the next piece) and "%%" (one percent sign)
// are understood.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tp {

// Appends text to out with each "%s" replaced by the next of pieces and each "%%"
// by one "%". Every other "%" ("%d", "%n", "%99999s", a "%" at the very end) is
// copied as it stands, and so is every "%s" once the pieces are used up: a
// template with conversions of its own shows them in the page instead of
// reading memory that was never passed. out never grows past maxLength
// characters; false when the result was cut there. With places, the size of
// out before each piece went in is appended to it, one entry per piece used.
bool FillTemplate(std::string_view text, std::span<const std::string_view> pieces,
                  std::size_t maxLength, std::string& out,
                  std::vector<std::size_t>* places = nullptr);
inline bool FillTemplate(std::string_view text, std::initializer_list<std::string_view> pieces,
                         std::size_t maxLength, std::string& out,
                         std::vector<std::size_t>* places = nullptr) {
    return FillTemplate(text, std::span<const std::string_view>(pieces.begin(), pieces.size()), maxLength,
                        out, places);
}

// Appends as much of piece as fits below maxLength; false when it was cut.
bool AppendCapped(std::string& out, std::string_view piece, std::size_t maxLength);

}  // namespace tp
