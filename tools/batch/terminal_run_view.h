// Shows a download run on a terminal: the status texts on one stream, one per
// line as they are set, and the message boxes on the other.
#pragma once

#include "run/run_view.h"

#include <ostream>

namespace tp {

class TerminalRunView : public RunView {
public:
    TerminalRunView(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    void SetStatus(const std::string& text) override;
    void SetProgressRange(int, int) override {}
    void SetProgressPosition(int) override {}
    void EnableViewButton(bool) override {}
    void ShowMessage(std::string_view caption, std::string_view text, MessageIcon icon) override;
    void SetWaitCursor(bool) override {}
    // The runner ends after the run in any case.
    void RequestClose() override {}
    // On the message stream, one line each.
    void ShowDiagnostic(std::string_view line) override;

private:
    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace tp
