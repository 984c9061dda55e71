#include "run/download_run.h"

#include "app/diagnostics.h"
#include "app/globals.h"
#include "app/paths.h"
#include "app/startup.h"
#include "app/text_format.h"
#include "extract/astro.h"
#include "extract/directions.h"
#include "extract/email.h"
#include "extract/movies.h"
#include "extract/news.h"
#include "extract/news_categories.h"
#include "extract/stocks.h"
#include "extract/weather.h"
#include "net/fetch_url.h"
#include "net/local_conversion.h"
#include "net/parallel_fetches.h"
#include "pages/page_files.h"
#include "platform/write_signals.h"
#include "resources/string_table.h"
#include "run/run_lock.h"
#include "settings/custom_store.h"
#include "settings/range_checks.h"

#include <cstdio>
#include <vector>

namespace tp {
namespace {

// One topic of the run: when it runs, which template names its page, and the
// work that fetches, extracts and writes that page.
struct TopicStep {
    int number;  // 1..kTopicStepCount, also the progress position after the step
    const char* name;  // for the diagnostics
    bool (*selected)(const Settings&);
    const std::string& (*templateName)(const Settings&);
    bool (*work)(const Settings&, const std::string& pageFile);
    // What the work will fetch, in its order (null: nothing).
    std::vector<std::string> (*addresses)(const Settings&);
    // The e-mail import leaves its "in progress" text standing when it fails.
    bool showsFailure;
};

// Topics not listed here are passed over; each one joins with a single row.
const TopicStep kTopicSteps[] = {
    {1, "Weather", [](const Settings& s) { return s.main.weather.download; },
     [](const Settings& s) -> const std::string& { return s.main.weather.xmlUsa; }, DownloadWeather,
     WeatherAddresses, true},
    {2, "News", [](const Settings& s) { return s.main.news.download; },
     [](const Settings& s) -> const std::string& { return s.main.news.xml; }, RunNews, NewsAddresses, true},
    {3, "Stocks", [](const Settings& s) { return s.main.stocks.download; },
     [](const Settings& s) -> const std::string& { return s.main.stocks.xml; }, DownloadStocks, StocksAddresses, true},
    {4, "Movies", [](const Settings& s) { return s.main.movies.download; },
     [](const Settings& s) -> const std::string& { return s.main.movies.xml; }, DownloadMovies, MoviesAddresses, true},
    {5, "Directions", [](const Settings& s) { return s.more.directions.download; },
     [](const Settings& s) -> const std::string& { return s.more.directions.xml; },
     DownloadDirections, DirectionsAddresses, true},
    {6, "Astro", [](const Settings& s) { return s.more.astro.download; },
     [](const Settings& s) -> const std::string& { return s.more.astro.xml; }, DownloadAstro, AstroAddresses, true},
    {7, "Email", [](const Settings& s) { return s.more.email.download; },
     [](const Settings& s) -> const std::string& { return s.more.email.xml; }, DownloadEmail, nullptr, false},
};

const TopicStep* FindStep(int number) {
    for (const TopicStep& step : kTopicSteps) {
        if (step.number == number) return &step;
    }
    return nullptr;
}

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

bool RunTopicStep(const TopicStep& step, const Settings& settings, RunView& view) {
    const std::string pageFile = PageFileName(step.templateName(settings));
    const std::string inProgress = "Download \"" + pageFile + "\" in progress...";
    view.SetStatus(inProgress);
    TakeDiagnostics();
    const bool written = step.work(settings, pageFile);
    if (!written && step.showsFailure) view.SetStatus(inProgress + g_lastError);
    const std::string prefix = std::string(step.name) + ": ";
    if (!ShowDiagnostics(view, prefix, written ? std::string_view() : g_lastError) && !written) {
        view.ShowDiagnostic(prefix + g_lastError);
    }
    return written;
}

// Every address the selected topics will fetch, in the order they use them.
// Working it out reads the same settings and customizations as the topics do,
// and leaves no trace: the topics report their own problems when they run.
std::vector<PlannedFetch> PlanFetches(const Settings& settings) {
    const std::string lastError = g_lastError;
    std::vector<PlannedFetch> plan;
    for (const TopicStep& step : kTopicSteps) {
        if (!step.addresses || !step.selected(settings)) continue;
        for (std::string& url : step.addresses(settings)) plan.push_back({step.number, std::move(url)});
    }
    SetLastError(lastError);
    TakeDiagnostics();
    return plan;
}

// FetchUrl takes its bodies from fetches for as long as this lives.
class FetchesInUse {
public:
    explicit FetchesInUse(ParallelFetches& fetches) { UseParallelFetches(&fetches); }
    ~FetchesInUse() { UseParallelFetches(nullptr); }
    FetchesInUse(const FetchesInUse&) = delete;
    FetchesInUse& operator=(const FetchesInUse&) = delete;
};

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
    // One at a time fetches nothing ahead, but still keeps its connections.
    ParallelFetches fetches(general.maxFetches > 1 ? PlanFetches(settings) : std::vector<PlannedFetch>(),
                            {general.maxFetches, general.maxFetchesPerHost}, CurrentFetchTimeouts());
    FetchesInUse inUse(fetches);
    for (int number = 1; number <= kTopicStepCount; ++number) {
        if (StopRequested(stop, view)) return false;
        const TopicStep* step = FindStep(number);
        fetches.EnterGroup(number);
        if (step && step->selected(settings) && !RunTopicStep(*step, settings, view)) {
            ++outcome.failedTopics;
            // The raw copy of the failing page stays for the user to look at.
            if (StopRequested(stop, view) || general.stopOnError) return false;
        }
        view.SetProgressPosition(number);
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

RunOutcome RunDownload(const Settings& settings, RunView& view, const std::atomic<bool>* stop) {
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
    SetFetchTimeouts({settings.general.connectTimeout, settings.general.stallTimeout,
                      settings.general.fetchTimeout, stop});

    SetLocalConversion(settings.general.localConversion);
    WaitCursor waitCursor(view);
    view.SetStatus("Download in progress, please wait ...");
    view.EnableViewButton(true);

    TakeDiagnostics();
    if (!DeletePreviousDownloads(settings.general.deleteXml)) {
        view.SetStatus(g_lastError);
        ShowDiagnostics(view, "clean-up: ");
        outcome.end = RunEnd::Stopped;
        return outcome;
    }

    view.SetProgressRange(0, kTopicStepCount);
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
