// A RunView that writes down every call as a short line, so tests compare what
// the run showed, in order.
#pragma once

#include "run/run_view.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tp::test {

class RecordingRunView : public RunView {
public:
    void SetStatus(const std::string& text) override { events.push_back("status " + text); }
    void SetProgressRange(int low, int high) override {
        events.push_back("range " + std::to_string(low) + ".." + std::to_string(high));
    }
    void SetProgressPosition(int position) override {
        events.push_back("position " + std::to_string(position));
    }
    void EnableViewButton(bool enabled) override {
        events.push_back(enabled ? "view on" : "view off");
    }
    void ShowMessage(std::string_view caption, std::string_view text, MessageIcon icon) override {
        events.push_back(std::string("message ") +
                         (icon == MessageIcon::Information ? "info " : "exclamation ") +
                         std::string(caption) + " | " + std::string(text));
    }
    void SetWaitCursor(bool on) override { events.push_back(on ? "cursor on" : "cursor off"); }
    void RequestClose() override { events.push_back("close"); }

    bool Has(const std::string& event) const {
        return std::find(events.begin(), events.end(), event) != events.end();
    }
    // The last status text set, or "" when none was.
    std::string LastStatus() const {
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
            if (it->rfind("status ", 0) == 0) return it->substr(7);
        }
        return "";
    }
    // The last progress position set, or -1 when none was.
    int LastPosition() const {
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
            if (it->rfind("position ", 0) == 0) return std::stoi(it->substr(9));
        }
        return -1;
    }

    std::vector<std::string> events;
};

}  // namespace tp::test
