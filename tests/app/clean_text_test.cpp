#include "app/clean_text.h"

#include <gtest/gtest.h>

#include <string_view>

namespace tp {
namespace {

using namespace std::string_view_literals;

TEST(CleanTextTest, CleansACopyAndBlanksZeroBytes) {
    EXPECT_EQ(CleanText("A&B <\"\xE9\">\0\x1B\t\n\r\x7F"sv), "A-B ('e')\x20\x20\t\n\r\x7F");
    // Both ends of every range of bytes that change, and the bytes beside them.
    EXPECT_EQ(CleanText("\x01\x08\x09\x0A\x0B\x0C\x0D\x0E\x1F\x20!#%'(;=?"sv), "  \t\n  \r   !#%'(;=?");
    EXPECT_EQ(CleanText("\xC8\xC9\xCA\xD8\xD9\xDC\xDD\xDE\xDF\xE0\xE4\xE5\xE6\xE7\xE8\xEB\xEC\xEF\xF0\xF1\xF2"
                        "\xF3\xF4\xF6\xF7\xF8\xF9\xFC\xFD\xFE\xFF"sv),
              "\xC8" "E\xCA\xD8UUY\xDE" "baa\xE5" "aceeii\xF0n\xF2\xF3oo\xF7\xF8uuy\xFEy");
}

}  // namespace
}  // namespace tp
