#include "run/download_run.h"

#include "app/globals.h"
#include "topics/astro.h"
#include "settings/custom_store.h"
#include "tests/topics/topic_page_support.h"
#include "tests/run/recording_run_view.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tp {
namespace {

using test::RecordingRunView;
using test::TempHome;

const std::string kAstroInProgress = "Download \"xml/astro.xml\" in progress...";
const std::string kEmailInProgress = "Download \"xml/email.xml\" in progress...";

// The two topics of the more-downloads dialog run as the last steps; a failed
// e-mail import leaves its status text without the reason.
TEST(AstroEmailRun, BothTopicsWriteTheirPagesOrShowTheirFailure) {
    const struct {
        const char* name;
        const char* horoscopePage;
        const char* emailIcon;
        int failedTopics;
        std::vector<std::string> statuses;  // each must have been shown
        std::vector<std::string> pages;     // written
    } rows[] = {
        {"both written", "[1]x\nastrology.example.com Sunny.\n[2]", "email.txt", 0,
         {kAstroInProgress, kEmailInProgress}, {"xml/astro.xml", "xml/email.xml"}},
        {"astro failure appends the reason", "no marker", "email.txt", 1,
         {kAstroInProgress + "HTML error: tag 'astrology.example.com' not found"},
         {"xml/email.xml"}},
        {"e-mail failure keeps the bare status", "[1]x\nastrology.example.com Sunny.\n[2]",
         "none.txt", 1, {kEmailInProgress}, {"xml/astro.xml"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempHome home;
        test::CopyDefaultConfig(home);
        home.WriteFile("emails/memo.txt", "Buy stamps.\n");
        test::HttpServer server;
        server.Serve("/astro/leo", row.horoscopePage);
        ASSERT_TRUE(SetCustomString(kAstroAddress, server.url("/astro/%s")));

        Settings settings;
        settings.general.intelliSynch = false;
        settings.general.stopOnError = false;
        settings.more.astro.download = true;
        settings.more.astro.signs = "Leo";
        settings.more.email.download = true;
        settings.more.email.icon = row.emailIcon;
        RecordingRunView view;
        const RunOutcome outcome = RunDownload(settings, view);

        EXPECT_EQ(outcome.end, RunEnd::Completed);
        EXPECT_EQ(outcome.failedTopics, row.failedTopics);
        for (const std::string& status : row.statuses) EXPECT_TRUE(view.Has("status " + status)) << status;
        // The e-mail step's text is shown once and never extended.
        EXPECT_EQ(std::count_if(view.events.begin(), view.events.end(),
                                [](const std::string& event) {
                                    return event.starts_with("status " + kEmailInProgress);
                                }),
                  1);
        for (const std::string& page : row.pages) EXPECT_TRUE(home.Exists(page)) << page;
        EXPECT_EQ(view.LastPosition(), kTopicCount);
    }
}

}  // namespace
}  // namespace tp
