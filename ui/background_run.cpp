#include "ui/background_run.h"

namespace tp {
namespace {

// Hands each call to the target view on the thread of context and waits for it.
class ForwardingRunView : public RunView {
public:
    ForwardingRunView(QObject& context, RunView& target) : context_(context), target_(target) {}

    void SetStatus(const std::string& text) override {
        OnTarget([&] { target_.SetStatus(text); });
    }
    void SetProgressRange(int low, int high) override {
        OnTarget([&] { target_.SetProgressRange(low, high); });
    }
    void SetProgressPosition(int position) override {
        OnTarget([&] { target_.SetProgressPosition(position); });
    }
    void EnableViewButton(bool enabled) override {
        OnTarget([&] { target_.EnableViewButton(enabled); });
    }
    void ShowMessage(std::string_view caption, std::string_view text, MessageIcon icon) override {
        OnTarget([&] { target_.ShowMessage(caption, text, icon); });
    }
    void SetWaitCursor(bool on) override {
        OnTarget([&] { target_.SetWaitCursor(on); });
    }
    void RequestClose() override {
        OnTarget([&] { target_.RequestClose(); });
    }
    void ShowDiagnostic(std::string_view line) override {
        OnTarget([&] { target_.ShowDiagnostic(line); });
    }

private:
    template <class Call>
    void OnTarget(Call call) {
        QMetaObject::invokeMethod(&context_, call, Qt::BlockingQueuedConnection);
    }

    QObject& context_;
    RunView& target_;
};

}  // namespace

BackgroundRun::BackgroundRun(RunView& view, QObject* parent) : QObject(parent), view_(view) {}

BackgroundRun::~BackgroundRun() {
    if (thread_.joinable()) thread_.join();
}

bool BackgroundRun::Start(const Settings& settings) {
    if (thread_.joinable()) return false;
    stop_ = false;
    thread_ = std::thread([this, settings] {
        ForwardingRunView forward(*this, view_);
        RunOptions options;
        options.stop = &stop_;
        const RunOutcome outcome = RunDownload(settings, forward, options);
        QMetaObject::invokeMethod(
            this,
            [this, outcome] {
                thread_.join();
                emit Finished(outcome);
            },
            Qt::QueuedConnection);
    });
    return true;
}

}  // namespace tp
