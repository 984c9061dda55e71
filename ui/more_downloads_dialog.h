// "Tidepost More Downloads": the directions, astro and e-mail topics. One
// object lives as long as the main window and is reopened each time; its
// controls are bound to the further topics' settings. The itinerary records
// and the e-mail files are changed at once by their buttons, whether the
// dialog then ends with OK or Cancel.
#pragma once

#include "ui/dialog_controls.h"
#include "ui/dialog_kit.h"

#include <QDialog>
#include <string>
#include <string_view>
#include <vector>

#include "topics/topic_table.h"
#include "settings/email_files.h"
#include "settings/settings_model.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tp {

class CBitmapStatic;
class MessageBoxes;

class CMoreDownloadsDialog : public QDialog {
    Q_OBJECT
public:
    // Edits the further topics' part of settings.
    CMoreDownloadsDialog(MessageBoxes& boxes, Settings& settings, QWidget* parent = nullptr);

    // Every opening starts from the settings, the settings file and the mail folder.
    void setVisible(bool visible) override;
    void accept() override;
    // Takes back the topic boxes' flags; itinerary records, deleted e-mail
    // files and the sign list stay as the buttons left them.
    void reject() override;

signals:
    // A "Custom..." button of the directions, astro or e-mail topic.
    void CustomizeTopic(tp::TopicId topic);

private:
    using TopicSection = TopicFrame;

    void BuildControls();
    QWidget* BuildDirectionsSection();
    QWidget* BuildAstroSection();
    QWidget* BuildEmailSection();
    QGroupBox* NewTopicBox(TopicId topic);
    QPushButton* NewButton(const QString& text, const char* name, bool small = true);
    QPushButton* NewCustomButton(TopicId topic);
    TopicSection& Section(TopicId topic) { return topics_[static_cast<std::size_t>(topic)]; }

    void InitDialog();
    void FillControls();
    void CollectControls();
    void ApplyTopicBox(TopicId topic, bool focusNext);

    std::vector<std::string> ListedItineraries() const;
    void FillItineraryList();
    void LoadSelectedItinerary();
    void ShowCurrentItinerary();
    void ClearCurrentItinerary();
    void StepItinerary(int step);
    void StoreItinerary();
    void DeleteItinerary();
    void DeleteAllItineraries();

    // "+" and "-": edit is AddSign or RemoveSign, given the picker's entry.
    void EditSigns(bool (*edit)(std::string&, std::string_view));
    void ClearSignList();

    void FillEmailList();
    void ShowEmailList();
    void DeleteEmailFile();
    void DeleteAllEmailFiles();

    void WarnWriteFailed(const QString& what);

    MessageBoxes& boxes_;
    Settings& settings_;
    // The current itinerary: not settings, only what the boxes show.
    std::string fromAddress_;
    std::string toAddress_;
    std::string fromCity_;
    std::string toCity_;
    std::string itineraryName_;
    EmailFileList emails_;

    DialogOrder order_;
    // Indexed by TopicId; only the three topics of this dialog have theirs.
    bool openedWith_[kTopicCount] = {};  // the topics' flags when the dialog opened
    TopicSection topics_[kTopicCount];
    QComboBox* itineraries_ = nullptr;
    QComboBox* country_ = nullptr;
    QLineEdit* fromAddressEdit_ = nullptr;
    QLineEdit* fromCityEdit_ = nullptr;
    QLineEdit* toAddressEdit_ = nullptr;
    QLineEdit* toCityEdit_ = nullptr;
    QComboBox* signPicker_ = nullptr;
    QLineEdit* signsEdit_ = nullptr;
    QComboBox* emailList_ = nullptr;
};

}  // namespace tp
