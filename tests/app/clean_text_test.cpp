#include "app/clean_text.h"

#include <gtest/gtest.h>

#include <string_view>

namespace tp {
namespace {

using namespace std::string_view_literals;

TEST(CleanTextTest, CleansACopyAndBlanksZeroBytes) {
    EXPECT_EQ(CleanText("A&B <\"\xE9\">\0\x1B\t\n\r\x7F"sv), "A-B ('e')\x20\x20\t\n\r\x7F");
}

}  // namespace
}  // namespace tp
