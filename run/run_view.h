// What a download run shows while it goes: the main window implements it with
// widgets, the headless runner on the terminal, tests by recording the calls.
#pragma once

#include <string>
#include <string_view>

namespace tp {

enum class MessageIcon { Information, Exclamation };

class RunView {
public:
    virtual ~RunView() = default;

    // The status line; shown at once, the run does not return to an event loop.
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetProgressRange(int low, int high) = 0;
    virtual void SetProgressPosition(int position) = 0;
    // The button that opens the raw copy of the last page fetched.
    virtual void EnableViewButton(bool enabled) = 0;
    // A message box with an OK button, owned by the main window.
    virtual void ShowMessage(std::string_view caption, std::string_view text, MessageIcon icon) = 0;
    virtual void SetWaitCursor(bool on) = 0;
    // Asks for the window to close once the run has returned (posted, not sent).
    virtual void RequestClose() = 0;
    // One line saying what went wrong in a step and why ("Weather: <address>:
    // <reason>"). The window has no place for them; the headless runner prints
    // them on standard error.
    virtual void ShowDiagnostic(std::string_view line) { (void)line; }
};

}  // namespace tp
