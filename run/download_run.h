// The download run: what the Download command does once the main window has
// collected its values. It validates the choices, removes the previous pages,
// runs the topics in their fixed order, adds the information page, reports the
// total size and, as configured, starts the synchronisation tool and asks the
// window to close.
#pragma once

#include "topics/topic_table.h"
#include "net/transfer.h"
#include "run/run_lock.h"
#include "run/run_view.h"
#include "settings/settings_model.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tp {

// How a run with these settings fetches its pages: stop, when given, ends
// every transfer once it is set; deadline bounds them all.
FetchOptions FetchOptionsOf(const GeneralSettings& general, const std::atomic<bool>* stop = nullptr,
                            Deadline deadline = {});

// How a run is made, beyond the settings.
struct RunOptions {
    // The run's time limit; zero takes the setting RunDeadline. Tests shorten
    // it below what the setting allows, so that a run can reach it quickly.
    std::chrono::seconds deadline{0};
    // Set by the user to stop the run (may be null). The transfers end at
    // once, the run ends after the topic in progress as a StopOnError stop
    // does, with the status "Download stopped by the user." and a diagnostic.
    const std::atomic<bool>* stop = nullptr;
};

enum class RunEnd {
    Refused,    // a range check or a validation showed its message; nothing else changed
    Busy,       // another run holds the data folder's lock; its message was shown
    Stopped,    // the lock or the clean-up failed, a topic failed with StopOnError on, or the user stopped it
    Completed,  // the size report was shown
};

struct RunOutcome {
    RunEnd end = RunEnd::Refused;
    // Selected topics whose step returned false.
    int failedTopics = 0;
    // The run was stopped at its deadline.
    bool pastDeadline = false;
    // Page files of failed topics that keep the page of the run before.
    std::vector<std::string> keptPages;

    // The run completed and every selected topic wrote its page.
    bool AllPagesWritten() const { return end == RunEnd::Completed && failedTopics == 0; }
};

// The checks a run makes of settings before anything else: the ranges of the
// main window's and the general values, then the choices each selected topic
// needs (a news category, a weather code, a stock or rate). False once one
// fails, after its message was shown on view.
bool SettingsAllowRun(const Settings& settings, RunView& view);

// Takes the data folder's run lock as a run does: when it is busy or cannot be
// taken, the reason is shown on view ("Tidepost", "another download is running
// in <folder>").
RunLock::Result AcquireRunLock(RunLock& lock, RunView& view);

// Runs the download with settings and shows it on view. Uses g_totalSize,
// g_lastError, g_debug and the news category flags. After the validation it
// takes the data folder's run lock (see run_lock.h) for the rest of the run; a
// lock held elsewhere is shown as a message box ("Tidepost", "another download
// is running in <folder>") and ends the run as Busy before anything is deleted.
// Write errors never kill the process (SIGPIPE and SIGXFSZ are ignored from the
// first run on). Diagnostic lines go to view.ShowDiagnostic as the topics end.
//
// Unattended runs: a passing fetch failure is tried again (setting Retries);
// at the deadline (RunDeadline) the transfers still going are stopped and the
// run ends as Stopped, with the status "Download stopped: the run deadline of
// <n> s was reached". With KeepLastGoodPage a failing topic's page of the run
// before is put back, its title marked " (from <date line>)". With
// SyncOnlyWhenChanged a completed run whose pages all equal the run before's
// apart from their date lines does not start the sync tool, and its status
// says so. A run that took the lock is added to the run log (run_log.h); a
// log that cannot be written is a diagnostic line, never a failed run.
RunOutcome RunDownload(const Settings& settings, RunView& view, const RunOptions& options = {});

// The size in the final status text: "%i bytes" below 1,024, else the size in
// kilobytes with "%.1f KB".
std::string FormatTotalSize(std::uint32_t bytes);

}  // namespace tp
