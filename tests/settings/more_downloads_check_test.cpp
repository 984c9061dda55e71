#include "settings/more_downloads_check.h"

#include <gtest/gtest.h>

#include <string_view>

namespace tp {
namespace {

TEST(MoreDownloadsCheck, RefusesTheFirstSelectedTopicWithNothingToDownload) {
    struct Row {
        const char* name;
        bool directions, astro, email;
        const char* signs;
        std::size_t itineraries, emails;
        std::string_view refusedText;  // empty: OK closes
    };
    const Row rows[] = {
        {"nothing selected, nothing listed", false, false, false, "", 0, 0, ""},
        {"all selected, all present", true, true, true, "Leo", 1, 1, ""},
        {"directions before astro and e-mail", true, true, true, "", 0, 0,
         kNoItineraryMessage.text},
        {"astro before e-mail", true, true, true, "", 2, 0, kNoSignMessage.text},
        {"e-mail last", false, true, true, "Leo", 0, 0, kNoEmailFileMessage.text},
        {"unselected topics are not checked", false, false, true, "", 0, 3, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MoreDownloadsSettings more;
        more.directions.download = row.directions;
        more.astro.download = row.astro;
        more.astro.signs = row.signs;
        more.email.download = row.email;
        const auto refusal = CheckMoreDownloads(more, row.itineraries, row.emails);
        EXPECT_EQ(refusal ? refusal->text : std::string_view(), row.refusedText);
    }
}

}  // namespace
}  // namespace tp
