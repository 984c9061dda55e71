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
    CMoreDownloadsDialog(MessageBoxes& boxes, MoreDownloadsSettings& settings,
                         QWidget* parent = nullptr);

    // The page icon and template file names of topic "Directions", "Astro" or
    // "Email", to be updated in place by the customization of that topic.
    // Any other topic name gives the e-mail topic's.
    std::string& IconFileName(const QString& topic);
    std::string& TemplateFileName(const QString& topic);

    // Every opening starts from the settings, the settings file and the mail folder.
    void setVisible(bool visible) override;
    void accept() override;
    // Takes back the topic boxes' flags; itinerary records, deleted e-mail
    // files and the sign list stay as the buttons left them.
    void reject() override;

signals:
    // A "Custom..." button: topic is "Directions", "Astro" or "Email".
    void CustomizeTopic(const QString& topic);

private:
    enum Topic { kDirections, kAstro, kEmail, kTopicCount };
    using TopicSection = TopicFrame;

    void BuildControls();
    QWidget* BuildDirectionsSection();
    QWidget* BuildAstroSection();
    QWidget* BuildEmailSection();
    QGroupBox* NewTopicBox(Topic topic, const QString& title, const char* name, int onPicture,
                           int offPicture);
    QPushButton* NewButton(const QString& text, const char* name, bool small = true);
    QPushButton* NewCustomButton(const QString& topic, const char* name);

    void InitDialog();
    void FillControls();
    void CollectControls();
    void ApplyTopicBox(Topic topic, bool focusNext);

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
    MoreDownloadsSettings& settings_;
    // The current itinerary: not settings, only what the boxes show.
    std::string fromAddress_;
    std::string toAddress_;
    std::string fromCity_;
    std::string toCity_;
    std::string itineraryName_;
    EmailFileList emails_;

    DialogOrder order_;
    bool openedWith_[kTopicCount] = {};  // the three topics' flags when the dialog opened
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
