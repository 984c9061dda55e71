// Runs a download on a worker thread so that the window keeps painting while a
// fetch waits. Everything the run shows reaches the window's RunView on the
// window's thread, in order, and the run waits until each call has been shown,
// just as if it ran on the window's thread.
#pragma once

#include "run/download_run.h"
#include "settings/settings_model.h"

#include <QObject>

#include <atomic>
#include <thread>

namespace tp {

class BackgroundRun : public QObject {
    Q_OBJECT
public:
    // view: lives on the thread of this object and outlives every run.
    explicit BackgroundRun(RunView& view, QObject* parent = nullptr);
    ~BackgroundRun() override;

    // Starts a run with a copy of settings; false when one is still going.
    bool Start(const Settings& settings);
    bool IsRunning() const { return thread_.joinable(); }
    // Asks the run to stop: its transfers end at once, the run after the
    // topic in progress.
    void Stop() { stop_ = true; }

signals:
    // On this object's thread, once the run has returned.
    void Finished(tp::RunOutcome outcome);

private:
    RunView& view_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

}  // namespace tp
