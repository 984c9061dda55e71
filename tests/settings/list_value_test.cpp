#include "settings/list_value.h"

#include <gtest/gtest.h>

namespace tp {
namespace {

TEST(SplitListValue, KeepsItemsInOrderAndSkipsEmptyOnes) {
    struct Case {
        const char* list;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {"", {}},
        {",,,", {}},
        {"IBM", {"IBM"}},
        {"USD/EUR,EUR/USD", {"USD/EUR", "EUR/USD"}},
        {",10001,,60601,", {"10001", "60601"}},
        {" a , b", {" a ", " b"}},  // blanks belong to the items: the value has none
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        EXPECT_EQ(SplitListValue(c.list), c.items);
    }
}

}  // namespace
}  // namespace tp
