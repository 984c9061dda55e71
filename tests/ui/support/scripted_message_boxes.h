// Message boxes for GUI tests: every box is written down instead of shown, and
// questions take their answers from a queue the test fills beforehand.
#pragma once

#include "ui/message_boxes.h"

#include <deque>
#include <string>
#include <vector>

namespace tp::test {

class ScriptedMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        std::string kind;  // "inform", "warn", "ask", "caution" or "retry"
        std::string caption;
        std::string text;
    };

    void Inform(QWidget* /*owner*/, const QString& caption, const QString& text) override {
        shown.push_back({"inform", caption.toStdString(), text.toStdString()});
    }
    void Warn(QWidget* /*owner*/, const QString& caption, const QString& text) override {
        shown.push_back({"warn", caption.toStdString(), text.toStdString()});
    }
    // A question nobody queued an answer for is answered No and counted.
    bool Ask(QWidget* /*owner*/, const QString& caption, const QString& text, AskStyle style) override {
        shown.push_back({style == AskStyle::Caution ? "caution" : "ask", caption.toStdString(),
                         text.toStdString()});
        if (answers.empty()) {
            ++unexpectedQuestions;
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    // Takes the next of choices, else the next of answers as Yes or No.
    Choice AskOrCancel(QWidget* owner, const QString& caption, const QString& text) override {
        if (choices.empty()) return Ask(owner, caption, text, AskStyle::Question) ? Choice::Yes : Choice::No;
        shown.push_back({"ask", caption.toStdString(), text.toStdString()});
        const Choice choice = choices.front();
        choices.pop_front();
        return choice;
    }
    bool AskRetry(QWidget* /*owner*/, const QString& caption, const QString& text) override {
        shown.push_back({"retry", caption.toStdString(), text.toStdString()});
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Beep() override { ++beeps; }

    // "kind caption | text" of every box, oldest first.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const Shown& box : shown) lines.push_back(box.kind + " " + box.caption + " | " + box.text);
        return lines;
    }

    std::deque<bool> answers;
    std::deque<Choice> choices;
    std::vector<Shown> shown;
    int beeps = 0;
    int unexpectedQuestions = 0;
};

}  // namespace tp::test
