// The run with the stocks topic: its step, its page and its failure.
#include "run/download_run.h"

#include "app/globals.h"
#include "platform/text_file.h"
#include "tests/topics/stocks_pages.h"
#include "tests/run/recording_run_view.h"

#include <gtest/gtest.h>

namespace tp {
namespace {

using test::RecordingRunView;

const std::string kInProgress = "Download \"xml/stocks.xml\" in progress...";

TEST(StocksRun, TheStocksStepWritesItsPageOrShowsWhyNot) {
    const struct {
        const char* name;
        const char* symbols;
        bool written;
    } cases[] = {
        {"a pair and a symbol", "IBM", true},
        {"a symbol without a quote", "IBM,NOPE", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempHome home;
        test::HttpServer server;
        test::PrepareStocksTopic(home, server, {{"IBM", test::QuotePage("IBM")}});
        if (HasFatalFailure()) return;
        server.Serve("/d/USD/EUR/data30.html", test::HistoryPage());

        Settings settings;
        settings.general.intelliSynch = false;
        settings.general.stopOnError = false;
        settings.main.stocks.download = true;
        settings.main.stocks.xRate = "USD/EUR";
        settings.main.stocks.symbols = c.symbols;
        RecordingRunView view;
        const RunOutcome outcome = RunDownload(settings, view);

        EXPECT_EQ(outcome.end, RunEnd::Completed);
        EXPECT_EQ(outcome.AllPagesWritten(), c.written);
        EXPECT_EQ(home.Exists("xml/stocks.xml"), c.written);
        EXPECT_TRUE(view.Has("status " + kInProgress));
        if (c.written) {
            const std::string page = FromTextModeBytes(home.ReadFile("xml/stocks.xml"));
            EXPECT_EQ(g_totalSize, page.size());
            EXPECT_NE(page.find("<Title>USD/EUR</Title>"), std::string::npos);
        } else {
            EXPECT_TRUE(view.Has("status " + kInProgress + "HTML error: tag 'Last Trade' not found"));
        }
    }
}

}  // namespace
}  // namespace tp
