#include "run/download_run.h"

#include "app/diagnostics.h"
#include "app/globals.h"
#include "app/paths.h"
#include "app/text_format.h"
#include "app/whole_files.h"
#include "topics/news_categories.h"
#include "topics/topic_table.h"
#include "net/fetch_url.h"
#include "net/parallel_fetches.h"
#include "pages/page_files.h"
#include "platform/write_signals.h"
#include "resources/string_table.h"
#include "run/run_lock.h"
#include "settings/custom_store.h"
#include "settings/ini_file.h"
#include "settings/range_checks.h"
#include "settings/sync_tool.h"

#include <cstdio>
#include <vector>

namespace tp {
namespace {

// Keeps the wait cursor up for as long as the run works, whichever way it ends.
class WaitCursor {
public:
    explicit WaitCursor(RunView& view) : view_(view) { view_.SetWaitCursor(true); }
    ~WaitCursor() { view_.SetWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    RunView& view_;
};

// The checks of the selections, in the order the user gets to see them.
bool SelectionsAreComplete(const Settings& settings, RunView& view) {
    const NewsSettings& news = settings.main.news;
    if (news.download && !news.world && !news.tech && !news.sport) {
        view.ShowMessage("Missing information", "Please select a news category",
                         MessageIcon::Information);
        return false;
    }
    g_newsCategories[kNewsWorld] = news.world;
    g_newsCategories[kNewsTechnology] = news.tech;
    g_newsCategories[kNewsSport] = news.sport;

    const WeatherSettings& weather = settings.main.weather;
    if (weather.download && weather.zip.empty() && weather.cityCode.empty()) {
        view.ShowMessage("Weather information missing", "Please, add the desired Area/City Code(s)",
                         MessageIcon::Information);
        return false;
    }
    const StocksSettings& stocks = settings.main.stocks;
    if (stocks.download && stocks.symbols.empty() && stocks.xRate.empty()) {
        view.ShowMessage("Stock information missing",
                         "Please, add the desired stocks and/or exchange rate(s)",
                         MessageIcon::Information);
        return false;
    }
    return true;
}

// Hands the lines noted since the last call to the view, each after prefix.
// True when one of them already holds text (the failure's own message).
bool ShowDiagnostics(RunView& view, const std::string& prefix, std::string_view text = {}) {
    bool holdsText = false;
    for (const std::string& line : TakeDiagnostics()) {
        if (!text.empty() && line.find(text) != std::string::npos) holdsText = true;
        view.ShowDiagnostic(prefix + line);
    }
    return holdsText;
}

bool RunTopic(const Topic& topic, const TopicPlan& plan, const Fetcher& fetcher, const Settings& settings,
              RunView& view) {
    const std::string pageFile = PageFileName(topic.templateName(settings));
    const std::string inProgress = "Download \"" + pageFile + "\" in progress...";
    view.SetStatus(inProgress);
    TakeDiagnostics();
    const bool written = topic.download(settings, plan, fetcher, pageFile);
    if (!written && topic.showsFailure) view.SetStatus(inProgress + g_lastError);
    const std::string prefix = std::string(topic.name) + ": ";
    if (!ShowDiagnostics(view, prefix, written ? std::string_view() : g_lastError) && !written) {
        view.ShowDiagnostic(prefix + g_lastError);
    }
    return written;
}

// What each selected topic will fetch, worked out before the first one runs.
// Working it out reads the same settings and customizations as the topics do,
// and leaves no trace: the topics report their own problems when they run.
std::vector<TopicPlan> PlanTopics(const Settings& settings) {
    const std::string lastError = g_lastError;
    std::vector<TopicPlan> plans;
    for (const Topic& topic : Topics()) {
        plans.push_back(topic.selected(settings) ? topic.plan(settings) : TopicPlan());
    }
    SetLastError(lastError);
    TakeDiagnostics();
    return plans;
}

std::vector<PlannedFetch> FetchesAhead(const std::vector<TopicPlan>& plans) {
    std::vector<PlannedFetch> ahead;
    for (const Topic& topic : Topics()) {
        for (const SourceFetch& source : plans[static_cast<std::size_t>(topic.id)]) {
            if (!source.url.empty()) ahead.push_back({topic.step, source.url});
        }
    }
    return ahead;
}

// Runs the selected topics in their order; false when one failed with
// StopOnError on. Transfers started for them end with this call.
bool StopRequested(const std::atomic<bool>* stop, RunView& view) {
    if (!stop || !stop->load()) return false;
    view.SetStatus("Download stopped by the user.");
    view.ShowDiagnostic("stopped by the user");
    return true;
}

bool RunTopics(const Settings& settings, RunView& view, RunOutcome& outcome, const std::atomic<bool>* stop) {
    const GeneralSettings& general = settings.general;
    const std::vector<TopicPlan> plans = PlanTopics(settings);
    // One at a time fetches nothing ahead, but still keeps its connections.
    const FetchOptions options = FetchOptionsOf(general, stop);
    ParallelFetches fetches(general.maxFetches > 1 ? FetchesAhead(plans) : std::vector<PlannedFetch>(),
                            {general.maxFetches, general.maxFetchesPerHost}, options);
    const Fetcher fetcher(options, &fetches);
    for (const Topic& topic : Topics()) {
        if (StopRequested(stop, view)) return false;
        fetches.EnterGroup(topic.step);
        if (topic.selected(settings) &&
            !RunTopic(topic, plans[static_cast<std::size_t>(topic.id)], fetcher, settings, view)) {
            ++outcome.failedTopics;
            // The raw copy of the failing page stays for the user to look at.
            if (StopRequested(stop, view) || general.stopOnError) return false;
        }
        view.SetProgressPosition(topic.step);
    }
    return !StopRequested(stop, view);
}

// Added only when the page folder holds enough pages; a failed write is not
// worth stopping a finished run for.
void WriteInformationPage() {
    const std::string name = InfoPageFileName();
    if (name.empty()) return;
    WriteWholeFile(name, GetCustomUrl(kInfoPageText, LoadStringResource(kVersionText)), false);
}

}  // namespace

std::string FormatTotalSize(std::uint32_t bytes) {
    if (bytes < 1024) return Format("%i bytes", static_cast<int>(bytes));
    return Format("%.1f KB", static_cast<double>(bytes) / 1024.0);
}

FetchOptions FetchOptionsOf(const GeneralSettings& general, const std::atomic<bool>* stop) {
    return {{general.connectTimeout, general.stallTimeout, general.fetchTimeout, stop}, general.localConversion};
}

RunOutcome RunDownload(const Settings& settings, RunView& view, const std::atomic<bool>* stop) {
    // The customizations and itineraries the topics read stay as they were
    // when the run began, whatever happens to the file meanwhile.
    const ini::FrozenReading oneReading(GetIniPath());
    RunOutcome outcome;
    g_totalSize = 0;

    if (const auto violation = CheckMainWindowRanges(settings.main)) {
        view.ShowMessage("Tidepost", RangeMessage(*violation), MessageIcon::Exclamation);
        return outcome;
    }
    if (const auto violation = CheckGeneralRanges(settings.general)) {
        view.ShowMessage("Tidepost", RangeMessage(*violation), MessageIcon::Exclamation);
        return outcome;
    }
    if (!SelectionsAreComplete(settings, view)) return outcome;

    IgnoreWriteSignals();
    RunLock lock;
    std::string lockFailure;
    switch (lock.Acquire(lockFailure)) {
    case RunLock::Result::Held:
        break;
    case RunLock::Result::Busy:
        view.ShowMessage("Tidepost", lockFailure, MessageIcon::Exclamation);
        outcome.end = RunEnd::Busy;
        return outcome;
    case RunLock::Result::Failed:
        view.ShowMessage("Tidepost", lockFailure, MessageIcon::Exclamation);
        outcome.end = RunEnd::Stopped;
        return outcome;
    }
    WaitCursor waitCursor(view);
    view.SetStatus("Download in progress, please wait ...");
    view.EnableViewButton(true);

    TakeDiagnostics();
    RemoveStaleTemporaryPages();
    if (!DeletePreviousDownloads(settings.general.deleteXml)) {
        view.SetStatus(g_lastError);
        ShowDiagnostics(view, "clean-up: ");
        outcome.end = RunEnd::Stopped;
        return outcome;
    }

    view.SetProgressRange(0, kTopicCount);
    view.SetProgressPosition(0);
    if (!RunTopics(settings, view, outcome, stop)) {
        outcome.end = RunEnd::Stopped;
        return outcome;
    }

    WriteInformationPage();
    ShowDiagnostics(view, "information page: ");
    if (!g_debug) {
        view.EnableViewButton(false);
        std::remove((GetExeFolder() + "download.txt").c_str());
    }
    view.SetStatus(Format("Download successfully completed (total web content size is %s).",
                          FormatTotalSize(g_totalSize).c_str()));
    outcome.end = RunEnd::Completed;
    if (settings.general.intelliSynch) StartSyncTool();
    if (settings.general.autoExit) view.RequestClose();
    return outcome;
}

}  // namespace tp
