#include "settings/sign_list.h"

#include <gtest/gtest.h>

#include <string>

namespace tp {
namespace {

enum class Button { Add, Remove };

struct SignEditRow {
    const char* name;
    const char* before;
    Button button;
    std::string_view entry;
    const char* after;
};

std::string_view Entry(std::string_view sign) {
    for (std::string_view entry : kZodiacSignEntries) {
        if (SignNameOfEntry(entry) == sign) return entry;
    }
    ADD_FAILURE() << "no entry for " << sign;
    return {};
}

TEST(SignList, AddAndRemoveEditTheListInPlace) {
    const SignEditRow rows[] = {
        {"a first sign", "", Button::Add, Entry("Leo"), "Leo"},
        {"a new sign goes last", "Aries", Button::Add, Entry("Leo"), "Aries,Leo"},
        {"adding the last sign again keeps the list", "Aries,Leo", Button::Add, Entry("Leo"),
         "Aries,Leo"},
        {"adding the first sign again moves it last", "Aries,Leo", Button::Add, Entry("Aries"),
         "Leo,Aries"},
        {"adding a middle sign again moves it last", "Aries,Leo,Virgo", Button::Add, Entry("Leo"),
         "Aries,Virgo,Leo"},
        {"removing the first sign takes its comma", "Leo,Aries", Button::Remove, Entry("Aries"),
         "Leo"},
        {"removing a sign elsewhere takes the comma before it", "Aries,Leo,Virgo", Button::Remove,
         Entry("Leo"), "Aries,Virgo"},
        {"removing the first of several", "Aries,Leo,Virgo", Button::Remove, Entry("Aries"),
         "Leo,Virgo"},
        {"removing the only sign", "Leo", Button::Remove, Entry("Leo"), ""},
        {"removing from an empty list", "", Button::Remove, Entry("Leo"), ""},
        {"removing a sign not in the list changes nothing", "Aries,Leo", Button::Remove,
         Entry("Virgo"), "Aries,Leo"},
        {"the name is matched with its case", "aries,Leo", Button::Remove, Entry("Aries"),
         "aries,Leo"},
        {"a longer hand-edited name is not cut", "Leonardo,Aries", Button::Remove, Entry("Leo"),
         "Leonardo,Aries"},
        {"a hand-edited name ending in the sign is not cut", "Aries,XLeo,Leo", Button::Remove,
         Entry("Leo"), "Aries,XLeo"},
        {"only the first of a doubled sign goes", "Leo,Aries,Leo", Button::Remove, Entry("Leo"),
         "Aries,Leo"},
        {"an entry without dates", "Aries", Button::Add, "Gemini", "Aries,Gemini"},
    };
    for (const SignEditRow& row : rows) {
        SCOPED_TRACE(row.name);
        std::string signs = row.before;
        const bool done = row.button == Button::Add ? AddSign(signs, row.entry)
                                                    : RemoveSign(signs, row.entry);
        EXPECT_TRUE(done);
        EXPECT_EQ(signs, row.after);
    }
}

TEST(SignList, AnEntryWithoutANameIsRefusedAndChangesNothing) {
    for (std::string_view entry : {std::string_view(""), std::string_view(" (Jan 1)")}) {
        SCOPED_TRACE(std::string(entry));
        std::string signs = "Aries,Leo";
        EXPECT_FALSE(AddSign(signs, entry));
        EXPECT_FALSE(RemoveSign(signs, entry));
        EXPECT_EQ(signs, "Aries,Leo");
    }
}

}  // namespace
}  // namespace tp
