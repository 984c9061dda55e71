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
#include "platform/regular_file.h"
#include "platform/text_file.h"
#include "resources/string_table.h"
#include "run/good_texts.h"
#include "run/kept_pages.h"
#include "run/run_lock.h"
#include "run/run_log.h"
#include "settings/custom_store.h"
#include "settings/ini_file.h"
#include "settings/range_checks.h"
#include "settings/sync_tool.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <utility>
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

// What the run notes as it goes, for the run log, the pages kept and the
// decision to start the sync tool.
struct RunRecord {
    LoggedRun log;
    // Page file -> its bytes before the clean-up, for the selected topics that had one.
    std::map<std::string, std::string> previousPages;
    bool anyPageChanged = false;
    const Topic* topic = nullptr;  // the one running
    const TopicPlan* plan = nullptr;
    // The texts the running topic fetched well, by their plan entries, kept
    // as good texts once its page is written.
    std::vector<std::pair<const SourceFetch*, std::string>> texts;
};

std::string DeadlineText(const Deadline& deadline) {
    return Format("the run deadline of %ld s was reached", deadline.seconds);
}

std::string_view FetchOutcome(const FetchResult& result) {
    if (result.pastDeadline) return kFetchDeadline;
    if (!result.ok) return kFetchFailed;
    if (result.status != 0 && (result.status < 200 || result.status > 299)) return kFetchHttpError;
    return kFetchOk;
}

void NoteFetch(RunRecord& record, const std::string& url, const FetchResult& result) {
    FetchRecord fetch;
    fetch.time = UtcTimestamp(std::time(nullptr));
    if (record.topic) fetch.topic = record.topic->name;
    if (record.plan) {
        for (const SourceFetch& source : *record.plan) {
            if (source.url == url && source.address != 0) {
                fetch.key = "String" + std::to_string(source.address);
                break;
            }
        }
    }
    fetch.address = WithoutCredentials(url);
    fetch.status = result.status;
    fetch.bytes = result.text.size();
    fetch.milliseconds = result.milliseconds;
    fetch.tries = result.tries;
    fetch.outcome = FetchOutcome(result);
    fetch.error = result.reason.empty() && !result.ok ? result.error : result.reason;
    if (record.plan && fetch.outcome == kFetchOk && !result.text.empty()) {
        for (const SourceFetch& source : *record.plan) {
            if (source.url == url && source.address != 0) record.texts.emplace_back(&source, result.text);
        }
    }
    record.log.fetches.push_back(std::move(fetch));
}

// After a topic wrote its page: each text it cut the page from is a good one.
void KeepGoodTexts(const Topic& topic, RunRecord& record) {
    for (const auto& [source, text] : record.texts) {
        KeepGoodText(source->address, GoodTextCode(topic.id, *source), text);
    }
    record.texts.clear();
}

// Before the clean-up: what each selected topic's page held.
void KeepPreviousPages(const Settings& settings, RunRecord& record) {
    for (const Topic& topic : Topics()) {
        if (!topic.selected(settings)) continue;
        const std::string pageFile = PageFileName(topic.templateName(settings));
        std::string bytes;
        if (ReadBinaryFile(GetExeFolder() + pageFile, bytes)) record.previousPages[pageFile] = std::move(bytes);
    }
}

// After a topic: puts the page of the run before back for a failed topic when
// so wished, and notes the page for the log and the sync decision.
void NotePage(const Topic& topic, bool written, const Settings& settings, RunView& view, RunRecord& record,
              RunOutcome& outcome) {
    const std::string pageFile = PageFileName(topic.templateName(settings));
    const std::string path = GetExeFolder() + pageFile;
    const auto previous = record.previousPages.find(pageFile);
    const bool hadPage = previous != record.previousPages.end();
    bool kept = false;
    if (!written && settings.general.keepLastGoodPage && hadPage) {
        const std::string prefix = std::string(topic.name) + ": ";
        if (ReplaceFileAtomically(path, MarkedAsKept(previous->second), kPrivateFileMode)) {
            kept = true;
            outcome.keptPages.push_back(pageFile);
            view.ShowDiagnostic(prefix + "kept the page of the run before, " + pageFile + " (from " +
                                std::string(PageDateLine(previous->second)) + ")");
        } else {
            view.ShowDiagnostic(prefix + "cannot put back the page of the run before, " + pageFile + ": " +
                                std::strerror(errno));
        }
    }
    std::string now;
    const bool present = (written || kept) && ReadBinaryFile(path, now);
    const bool changed = !present || !hadPage || !SameApartFromDate(FromTextModeBytes(now),
                                                                     FromTextModeBytes(previous->second));
    if (changed) record.anyPageChanged = true;
    if (present) record.log.pages.push_back({pageFile, now.size(), CardCount(now), changed, kept});
}

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
              RunView& view, RunRecord& record) {
    record.topic = &topic;
    record.plan = &plan;
    record.texts.clear();
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
// StopOnError on, or the deadline came, or the user stopped it. Transfers
// started for them end with this call.
bool StopRequested(const std::atomic<bool>* stop, RunView& view) {
    if (!stop || !stop->load()) return false;
    view.SetStatus("Download stopped by the user.");
    view.ShowDiagnostic("stopped by the user");
    return true;
}

bool RunTopics(const Settings& settings, const Deadline& deadline, const std::atomic<bool>* stop, RunView& view,
               RunOutcome& outcome, RunRecord& record) {
    const GeneralSettings& general = settings.general;
    const std::vector<TopicPlan> plans = PlanTopics(settings);
    const FetchOptions options = FetchOptionsOf(general, stop, deadline);
    // One at a time fetches nothing ahead, but still keeps its connections.
    ParallelFetches fetches(general.maxFetches > 1 ? FetchesAhead(plans) : std::vector<PlannedFetch>(),
                            {general.maxFetches, general.maxFetchesPerHost}, options);
    const Fetcher fetcher(options, &fetches,
                          [&record](const std::string& url, const FetchResult& result) { NoteFetch(record, url, result); });
    for (const Topic& topic : Topics()) {
        if (StopRequested(stop, view)) return false;
        fetches.EnterGroup(topic.step);
        if (topic.selected(settings)) {
            if (deadline.Passed()) {
                outcome.pastDeadline = true;
                return false;
            }
            const bool written = RunTopic(topic, plans[static_cast<std::size_t>(topic.id)], fetcher, settings, view,
                                          record);
            NotePage(topic, written, settings, view, record, outcome);
            if (written) KeepGoodTexts(topic, record);
            if (!written) {
                ++outcome.failedTopics;
                outcome.pastDeadline = deadline.Passed();
                // The raw copy of the failing page stays for the user to look at.
                if (StopRequested(stop, view) || general.stopOnError || outcome.pastDeadline) return false;
            }
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

FetchOptions FetchOptionsOf(const GeneralSettings& general, const std::atomic<bool>* stop, Deadline deadline) {
    return {{general.connectTimeout, general.stallTimeout, general.fetchTimeout, deadline, stop},
            general.localConversion, general.retries};
}

namespace {

// The run once it holds the lock: clean-up, topics, information page, size
// report and what follows a completed run.
void RunLocked(const Settings& settings, const RunOptions& options, RunView& view, RunOutcome& outcome,
               RunRecord& record) {
    const std::chrono::seconds length =
        options.deadline.count() > 0 ? options.deadline : std::chrono::seconds(settings.general.runDeadline);
    const Deadline deadline{std::chrono::steady_clock::now() + length, static_cast<long>(length.count())};
    WaitCursor waitCursor(view);
    view.SetStatus("Download in progress, please wait ...");
    view.EnableViewButton(true);

    KeepPreviousPages(settings, record);
    TakeDiagnostics();
    RemoveStaleTemporaryPages();
    if (!DeletePreviousDownloads(settings.general.deleteXml)) {
        view.SetStatus(g_lastError);
        ShowDiagnostics(view, "clean-up: ");
        outcome.end = RunEnd::Stopped;
        return;
    }

    view.SetProgressRange(0, kTopicCount);
    view.SetProgressPosition(0);
    if (!RunTopics(settings, deadline, options.stop, view, outcome, record)) {
        if (outcome.pastDeadline) {
            view.SetStatus("Download stopped: " + DeadlineText(deadline));
            view.ShowDiagnostic("run: " + DeadlineText(deadline));
        }
        outcome.end = RunEnd::Stopped;
        return;
    }

    WriteInformationPage();
    ShowDiagnostics(view, "information page: ");
    if (!g_debug) {
        view.EnableViewButton(false);
        std::remove((GetExeFolder() + "download.txt").c_str());
    }
    std::string completed = Format("Download successfully completed (total web content size is %s).",
                                   FormatTotalSize(g_totalSize).c_str());
    outcome.end = RunEnd::Completed;
    const bool syncWanted = settings.general.intelliSynch;
    const bool syncSkipped = syncWanted && settings.general.syncOnlyWhenChanged && !record.anyPageChanged;
    if (syncSkipped) completed += " No page has changed since the last run, so the sync tool was not started.";
    view.SetStatus(completed);
    if (syncWanted && !syncSkipped) StartSyncTool();
    if (settings.general.autoExit) view.RequestClose();
}

std::string RunOutcomeText(const RunOutcome& outcome) {
    if (outcome.pastDeadline) return "stopped at the deadline";
    if (outcome.end == RunEnd::Stopped) return "stopped";
    return outcome.failedTopics == 0 ? "completed" : "completed with failures";
}

}  // namespace

bool SettingsAllowRun(const Settings& settings, RunView& view) {
    if (const auto violation = CheckMainWindowRanges(settings.main)) {
        view.ShowMessage("Tidepost", RangeMessage(*violation), MessageIcon::Exclamation);
        return false;
    }
    if (const auto violation = CheckGeneralRanges(settings.general)) {
        view.ShowMessage("Tidepost", RangeMessage(*violation), MessageIcon::Exclamation);
        return false;
    }
    return SelectionsAreComplete(settings, view);
}

RunLock::Result AcquireRunLock(RunLock& lock, RunView& view) {
    std::string failure;
    const RunLock::Result result = lock.Acquire(failure);
    if (result != RunLock::Result::Held) view.ShowMessage("Tidepost", failure, MessageIcon::Exclamation);
    return result;
}

RunOutcome RunDownload(const Settings& settings, RunView& view, const RunOptions& options) {
    // The customizations and itineraries the topics read stay as they were
    // when the run began, whatever happens to the file meanwhile.
    const ini::FrozenReading oneReading(GetIniPath());
    RunOutcome outcome;
    g_totalSize = 0;

    if (!SettingsAllowRun(settings, view)) return outcome;

    IgnoreWriteSignals();
    RunLock lock;
    const RunLock::Result locked = AcquireRunLock(lock, view);
    if (locked != RunLock::Result::Held) {
        outcome.end = locked == RunLock::Result::Busy ? RunEnd::Busy : RunEnd::Stopped;
        return outcome;
    }
    RunRecord record;
    record.log.summary.start = UtcTimestamp(std::time(nullptr));
    RunLocked(settings, options, view, outcome, record);
    record.log.summary.end = UtcTimestamp(std::time(nullptr));
    record.log.summary.outcome = RunOutcomeText(outcome);
    record.log.summary.exitStatus = outcome.AllPagesWritten() ? 0 : 1;
    std::string failure;
    if (!AppendToRunLog(GetExeFolder(), record.log, failure)) view.ShowDiagnostic("run log: " + failure);
    return outcome;
}

}  // namespace tp
