#include "tools/batch/terminal_run_view.h"

namespace tp {
namespace {

// A status text may carry line breaks (a failing tag such as "]Photos\n\n..."
// is quoted in its error), yet each status must stay one line of the output so
// that scripts can read it line by line: breaks are written as "\n" and "\r".
void WriteOneLine(std::ostream& out, std::string_view text) {
    for (char c : text) {
        if (c == '\n') {
            out << "\\n";
        } else if (c == '\r') {
            out << "\\r";
        } else {
            out << c;
        }
    }
    out << '\n';
}

}  // namespace

void TerminalRunView::SetStatus(const std::string& text) {
    // Flushed line by line so that a log or a pipe follows the run as it goes.
    WriteOneLine(out_, text);
    out_ << std::flush;
}

void TerminalRunView::ShowMessage(std::string_view caption, std::string_view text, MessageIcon) {
    err_ << caption << ": " << text << '\n' << std::flush;
}

}  // namespace tp

namespace tp {

void TerminalRunView::ShowDiagnostic(std::string_view line) {
    err_ << "tidepost-batch: ";
    WriteOneLine(err_, line);
    err_ << std::flush;
}

}  // namespace tp
