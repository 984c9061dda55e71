// Well-formedness of a page as the organiser reads it: bytes in Windows
// Latin-1 (pages carry no encoding declaration and are never re-encoded).
// Free of GoogleTest, so the fuzz targets use it too.
#pragma once

#include <string>
#include <string_view>

namespace tp::test {

// True when bytes parse as one well-formed XML document; otherwise false with
// the parser's first complaint in error.
bool IsWellFormedPage(std::string_view bytes, std::string& error);

}  // namespace tp::test
