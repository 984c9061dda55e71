#include "tools/batch/terminal_run_view.h"

namespace tp {

void TerminalRunView::SetStatus(const std::string& text) {
    // Flushed line by line so that a log or a pipe follows the run as it goes.
    out_ << text << '\n' << std::flush;
}

void TerminalRunView::ShowMessage(std::string_view caption, std::string_view text, MessageIcon) {
    err_ << caption << ": " << text << '\n' << std::flush;
}

}  // namespace tp
