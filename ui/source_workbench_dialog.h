// "Test source": the source workbench. One source fetched the way a run
// fetches it, with the address and tags a web address dialog holds before they
// are saved: the fetched text with every tag's places marked, the cards the
// page would get, what the fetch came to, and for a tag that is not found the
// replacements the check suggests. It writes no setting: "Use" hands a tag to
// the dialog that opened it, which stores it only with its own OK and Save.
#pragma once

#include "check/source_check.h"
#include "settings/custom_sources.h"
#include "settings/settings_model.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTextBrowser;
class QTreeWidget;
class QVBoxLayout;

namespace tp {

// The cards as the organiser shows them, as simple rich text: an index of
// links, then each card's title and text, its links leading to the cards they
// name. Markup other than line breaks, paragraphs and card links shows as text.
QString CardsPreviewHtml(const std::vector<CheckCard>& cards);

class CSourceWorkbenchDialog : public QDialog {
    Q_OBJECT
public:
    // source: its address and tag texts as they stand now, saved or not;
    // settings: those under which its topic takes it (codes, time-outs,
    // conversion). The code field starts with the first code they give.
    CSourceWorkbenchDialog(const Settings& settings, const SourceEntry& source, QWidget* parent);
    // Stops a check still going and waits for it.
    ~CSourceWorkbenchDialog() override;

    // Check: fetches the page with the code of the field and checks it, off
    // the window's thread. False, with the reason in the outcome line, when
    // the source cannot be checked with that code; false while a check goes.
    bool StartCheck();
    bool IsChecking() const { return worker_.joinable(); }
    // Stop: the fetch ends at once and the check shows as stopped.
    void StopCheck();

    // The check on the screen, if any.
    const SourceCheck* ShownCheck() const { return shown_ ? &*shown_ : nullptr; }

    // Closing stops a check still going; the dialog closes once it has ended.
    void done(int result) override;

signals:
    // "Use": the tag with customization number should read tag.
    void TagChosen(int number, const QString& tag);
    // A check has ended and is on the screen.
    void CheckShown();

private:
    enum class Tone { Plain, Good, Bad };

    void BuildControls();
    void RunOffThread(std::function<SourceCheck()> job, const QString& doing);
    void OnCheckEnded(SourceCheck check);
    void ShowRunning(bool running);
    void ShowOutcome(const QString& text, Tone tone);
    void ShowText(const SourceCheck& check);
    void ShowTags(const SourceCheck& check);
    void ShowFacts(const FetchFacts& facts);
    void ShowSuggestions(const SourceCheck& check);
    void UseSuggestion(const TagSuggestion& suggestion);
    void GoToTag(int index);
    // The texts a check stands in for the stored ones: the address and tags shown.
    CustomTexts Texts() const;

    Settings settings_;
    SourceEntry source_;

    std::thread worker_;
    std::atomic<bool> stop_{false};
    std::optional<int> closing_;  // the result of a close waiting for the check to end
    std::optional<SourceCheck> shown_;
    std::optional<TagSuggestion> used_;  // the suggestion taken since the last fetch

    QLineEdit* address_ = nullptr;
    QLineEdit* code_ = nullptr;
    QPushButton* checkButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QLabel* outcome_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QTextBrowser* cards_ = nullptr;
    QTreeWidget* tags_ = nullptr;
    QLineEdit* url_ = nullptr;
    QLineEdit* finalUrl_ = nullptr;
    QLineEdit* status_ = nullptr;
    QLineEdit* bytes_ = nullptr;
    QLineEdit* milliseconds_ = nullptr;
    QLineEdit* error_ = nullptr;
    QVBoxLayout* suggestionRows_ = nullptr;
};

}  // namespace tp
