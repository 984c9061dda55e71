// The main window: the four main topics with their parameters, the status line
// and progress bar of the download run, and the buttons that open every other
// dialog. It lives for the whole process; closing it saves the settings.
#pragma once

#include "run/download_run.h"
#include "run/run_view.h"
#include "topics/topic_table.h"
#include "settings/code_lists.h"
#include "settings/range_checks.h"
#include "settings/settings_model.h"
#include "ui/dialog_controls.h"
#include "ui/dialog_kit.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QVBoxLayout;
class QCheckBox;

namespace tp {

class BackgroundRun;
class CBitmapStatic;
class CGeneralSettingsDialog;
class CMoreDownloadsDialog;
class CSpinField;
class MessageBoxes;

class CMainDialog : public QDialog, public RunView {
    Q_OBJECT
public:
    // Reads the settings (creating the data folders) and fills the controls.
    CMainDialog(MessageBoxes& boxes, QWidget* parent = nullptr);
    ~CMainDialog() override;

    // The working copy of the settings; the controls of this window are copied
    // into it when a run starts and when the window closes.
    Settings& CurrentSettings() { return settings_; }
    MessageBoxes& Boxes() { return boxes_; }

    // Enabled when any of the seven topics is selected.
    void UpdateDownloadButton();
    // Refills a code list from its file, e.g. after the file was edited.
    void FillCodeList(CodeListKind kind);
    bool IsRunning() const;

    // The Download command: collects the controls and starts the run; during
    // a run the same button is Stop.
    void OnDownload();

    // RunView: what the run shows, on this window's thread.
    void SetStatus(const std::string& text) override;
    void SetProgressRange(int low, int high) override;
    void SetProgressPosition(int position) override;
    void EnableViewButton(bool enabled) override;
    void ShowMessage(std::string_view caption, std::string_view text, MessageIcon icon) override;
    void SetWaitCursor(bool on) override;
    void RequestClose() override;
    void ShowDiagnostic(std::string_view line) override;

    void done(int result) override;

signals:
    // A run has returned and the window takes input again.
    void DownloadFinished(tp::RunOutcome outcome);

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct CodeListControls {
        CodeListKind kind;
        QLabel* label = nullptr;  // "Area Code :" and the like
        QComboBox* entries = nullptr;
        QLineEdit* field = nullptr;
        QPushButton* edit = nullptr;  // "...": the code list editor
    };
    struct TopicSection : TopicFrame {
        QPushButton* custom = nullptr;  // "Custom..."
    };

    void BuildControls(const std::vector<SettingReset>& resets);
    QWidget* BuildResetBar(const std::vector<SettingReset>& resets);
    QWidget* BuildButtonColumn();
    QWidget* BuildStatusFrame();
    QWidget* BuildWeatherSection();
    QWidget* BuildNewsSection();
    QWidget* BuildStocksSection();
    QWidget* BuildMoviesSection();
    QGroupBox* NewTopicBox(TopicId topic, const QString& title, QVBoxLayout*& contents);
    void AddCustomButton(TopicId topic, QVBoxLayout& contents);
    TopicSection& Section(TopicId topic) { return topics_[static_cast<std::size_t>(topic)]; }
    QWidget* NewCodeListRow(CodeListKind kind, const QString& entriesLabel, const QString& prefix);
    void ConnectEditButtons();

    void FillControls();
    void FillCodeListsOnce();
    CGeneralSettingsDialog* GeneralDialog();
    CMoreDownloadsDialog* MoreDialog();
    void CollectControls();
    void CollectControlsInto(MainSettings& into);
    void ApplyTopicBox(TopicId topic, bool focusNext);
    void ApplyNewsSourceRule();
    CodeListControls& Controls(CodeListKind kind);
    void AddCode(CodeListKind kind);
    void RemoveCode(CodeListKind kind);
    void OpenRawCopy();
    void OnRunFinished(RunOutcome outcome);
    // Shows how many sources failed in each of their last runs (hidden for none).
    void ShowSourceHealth();
    // False when the user keeps the program open (Cancel on the question, or
    // on a save that failed).
    bool SaveOnClose();
    // During a run only Stop, Exit and the status frame take input.
    void ShowRunning(bool running);
    QWidget* FieldOf(const RangeViolation& violation) const;

    MessageBoxes& boxes_;
    Settings settings_;
    DialogOrder order_;
    // Indexed by TopicId; only the four topics of this window have their section.
    TopicSection topics_[kTopicCount];
    std::vector<CodeListControls> codeLists_;

    QPushButton* downloadButton_ = nullptr;
    QPushButton* settingsButton_ = nullptr;
    QPushButton* moreButton_ = nullptr;
    QPushButton* rexInfoButton_ = nullptr;
    QPushButton* aboutButton_ = nullptr;
    QPushButton* viewButton_ = nullptr;
    QPushButton* attentionButton_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QPlainTextEdit* diagnostics_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    CSpinField* forecastUsa_ = nullptr;
    CSpinField* forecastEuro_ = nullptr;
    QComboBox* language_ = nullptr;
    CSpinField* headlines_ = nullptr;
    QCheckBox* categoryBoxes_[3] = {};     // world, technology, sport
    QComboBox* categorySources_[3] = {};
    QLineEdit* symbols_ = nullptr;
    CSpinField* xRateDays_ = nullptr;
    CSpinField* maxMovies_ = nullptr;
    QComboBox* moviesCountry_ = nullptr;

    CGeneralSettingsDialog* generalDialog_ = nullptr;
    CMoreDownloadsDialog* moreDialog_ = nullptr;
    BackgroundRun* run_ = nullptr;
    bool codeListsFilled_ = false;
    bool codeListsPosted_ = false;
    bool autoRunPosted_ = false;
    bool closeRequested_ = false;
    bool closing_ = false;
    bool waitCursor_ = false;
};

}  // namespace tp
