// The more-downloads dialog driven through its widgets: the topic boxes, the
// itinerary records in the settings file, the sign list, the e-mail folder and
// the checks of OK.
#include "ui/more_downloads_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/paths.h"
#include "resources/string_table.h"
#include "settings/itineraries.h"
#include "settings/settings_model.h"
#include "tests/support/immutable_file.h"
#include "tests/support/temp_home.h"
#include "tests/ui/support/scripted_message_boxes.h"
#include "tests/ui/support/widget_lookup.h"
#include "ui/bitmap_static.h"
#include "ui/help_dialog.h"
#include "ui/main_dialog.h"

namespace tp {
namespace {

using test::ScriptedMessageBoxes;
using Names = std::vector<std::string>;

const char kIni[] = "cfg/Tidepost.ini";

// The records of names, each with addresses derived from its name.
std::string ItinerarySection(const Names& names) {
    std::string ini = "[Directions]\r\n";
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        const std::string& name = names[i];
        ini += "Itinary" + n + "=" + name + "\r\nCountry" + n + "=" + (i % 2 ? "1" : "0") +
               "\r\nFromAddress" + n + "=from " + name + "\r\nFromCity" + n + "=fcity " + name +
               "\r\nToAddress" + n + "=to " + name + "\r\nToCity" + n + "=tcity " + name + "\r\n";
    }
    return ini;
}

class MoreDownloadsDialogTest : public ::testing::Test {
protected:
    CMoreDownloadsDialog& Open(const std::string& ini = "") {
        home_.WriteFile(kIni, ini);
        if (!dialog_) dialog_ = std::make_unique<CMoreDownloadsDialog>(boxes_, settings_);
        dialog_->show();
        QApplication::setActiveWindow(dialog_.get());
        return *dialog_;
    }

    template <class W = QWidget>
    W* Find(const char* name) const {
        return test::FindWidget<W>(*dialog_, name);
    }
    void Click(const char* name) const { test::ClickButton(Find<QAbstractButton>(name)); }
    QString Text(const char* lineEdit) const { return Find<QLineEdit>(lineEdit)->text(); }
    QComboBox* List() const { return Find<QComboBox>("itineraryComboBox"); }
    // The entries of a drop-down list, in list order.
    QStringList Entries(const char* comboBox) const {
        QStringList entries;
        auto* list = Find<QComboBox>(comboBox);
        for (int i = 0; i < list->count(); ++i) entries.append(list->itemText(i));
        return entries;
    }
    QStringList ListNames() const { return Entries("itineraryComboBox"); }
    QStringList EmailNames() const { return Entries("emailComboBox"); }
    void Enter(const char* name, const char* from, const char* fromCity, const char* to,
               const char* toCity) const {
        List()->setEditText(QLatin1String(name));
        Find<QLineEdit>("fromAddressLineEdit")->setText(QLatin1String(from));
        Find<QLineEdit>("fromCityLineEdit")->setText(QLatin1String(fromCity));
        Find<QLineEdit>("toAddressLineEdit")->setText(QLatin1String(to));
        Find<QLineEdit>("toCityLineEdit")->setText(QLatin1String(toCity));
    }
    Names StoredNames() const { return ReadItineraryNames(GetIniPath()); }
    void PickSign(const char* sign) const {
        auto* picker = Find<QComboBox>("signComboBox");
        picker->setCurrentIndex(picker->findText(QLatin1String(sign), Qt::MatchStartsWith));
    }

    test::TempHome home_;
    ScriptedMessageBoxes boxes_;
    Settings settings_;
    MoreDownloadsSettings& more_ = settings_.more;
    std::unique_ptr<CMoreDownloadsDialog> dialog_;
};

TEST_F(MoreDownloadsDialogTest, TopicBoxesEnableTheirGroupSwapPicturesAndSetTheFlagUntilCancel) {
    Open();
    EXPECT_EQ(dialog_->windowTitle(), QStringLiteral("Tidepost More Downloads"));
    const struct {
        const char* box;
        const char* picture;
        const char* inside;
        int on, off;
    } topics[] = {{"directionsGroupBox", "directionsBitmapStatic", "fromCityLineEdit", 138, 139},
                  {"astroGroupBox", "astroBitmapStatic", "signAddPushButton", 140, 141},
                  {"emailGroupBox", "emailBitmapStatic", "emailDeletePushButton", 148, 149}};
    for (const auto& topic : topics) {
        SCOPED_TRACE(topic.box);
        EXPECT_EQ(Find<CBitmapStatic>(topic.picture)->BitmapNumber(), topic.off);
        EXPECT_FALSE(Find(topic.inside)->isEnabled());
        auto* box = Find<QGroupBox>(topic.box);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
        EXPECT_EQ(Find<CBitmapStatic>(topic.picture)->BitmapNumber(), topic.on);
        EXPECT_TRUE(Find(topic.inside)->isEnabled());
        EXPECT_TRUE(box->isAncestorOf(QApplication::focusWidget())) << "focus moves into the group";
    }
    EXPECT_TRUE(more_.directions.download && more_.astro.download && more_.email.download);
    // Cancel takes back what the boxes stored.
    Click("cancelPushButton");
    EXPECT_FALSE(more_.directions.download || more_.astro.download || more_.email.download);
}

TEST_F(MoreDownloadsDialogTest, OpeningLoadsTheFirstItineraryAndTheArrowsStepThroughTheList) {
    more_.directions.download = true;
    Open(ItinerarySection({"Home to work", "Gym"}));
    EXPECT_EQ(ListNames(), (QStringList{"Home to work", "Gym"}));
    EXPECT_EQ(Text("fromAddressLineEdit"), QStringLiteral("from Home to work"));
    EXPECT_EQ(Find<QComboBox>("countryComboBox")->currentText(), QStringLiteral("USA"));

    Click("itineraryPreviousPushButton");
    EXPECT_EQ(boxes_.beeps, 1) << "already at the first";
    Click("itineraryNextPushButton");
    EXPECT_EQ(Text("toCityLineEdit"), QStringLiteral("tcity Gym"));
    EXPECT_EQ(Find<QComboBox>("countryComboBox")->currentText(), QStringLiteral("France"));
    Click("itineraryNextPushButton");
    EXPECT_EQ(boxes_.beeps, 2) << "already at the last";
    // Choosing an entry from the keyboard loads it as well.
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Up);
    EXPECT_EQ(Text("fromAddressLineEdit"), QStringLiteral("from Home to work"));
    QTest::keyClick(List(), Qt::Key_Down);

    // "C" of the current itinerary clears the boxes only.
    Click("itineraryClearPushButton");
    EXPECT_EQ(Text("fromAddressLineEdit"), QString());
    EXPECT_EQ(Find<QComboBox>("countryComboBox")->currentText(), QStringLiteral("USA"));
    EXPECT_EQ(List()->currentText(), QStringLiteral("Gym"));
    EXPECT_EQ(ReadItinerary(GetIniPath(), 2).fromAddress, "from Gym");
}

TEST_F(MoreDownloadsDialogTest, StoreReplacesByPrefixOrAppends) {
    more_.directions.download = true;
    Open(ItinerarySection({"Home to work", "Gym"}));
    Enter("  home ", "1 Main St", "san jose, ca", "2 Oak Rd", "95118");
    Click("itineraryStorePushButton");
    EXPECT_EQ(ReadItinerary(GetIniPath(), 1),
              (Itinerary{"home", kCountryUsa, "1 Main St", "san jose, ca", "2 Oak Rd", "95118"}));
    EXPECT_EQ(ListNames(), (QStringList{"Home to work", "Gym"})) << "the list keeps its old text";

    Find<QComboBox>("countryComboBox")->setCurrentIndex(kCountryFrance);
    Enter("Work", "5 rue Foch, Paris", "Paris & 75001", "Lyon %s",
          "Orl\xe9"
          "ans");
    Click("itineraryStorePushButton");
    EXPECT_EQ(StoredNames(), (Names{"home", "Gym", "Work"}));
    EXPECT_EQ(ReadItinerary(GetIniPath(), 3),
              (Itinerary{"Work", kCountryFrance, "5 rue Foch, Paris", "Paris & 75001", "Lyon %s",
                         "Orl\xe9"
                         "ans"}));
    EXPECT_EQ(ListNames(), (QStringList{"Home to work", "Gym", "Work"}));

    // Typed, a name is stored as typed, not completed from the list.
    List()->setEditText(QString());
    List()->setFocus();
    QTest::keyClicks(List()->lineEdit(), "Gy");
    Click("itineraryStorePushButton");
    EXPECT_EQ(StoredNames(), (Names{"home", "Gy", "Work"}));
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(MoreDownloadsDialogTest, StoreRefusals) {
    more_.directions.download = true;
    Names twenty;
    for (int i = 1; i <= 20; ++i) twenty.push_back("Trip " + std::to_string(i));
    const struct {
        const char* name;
        Names stored;
        const char* entered;
        const char* fromAddress;
        const char* message;
    } rows[] = {
        {"twenty listed, even for a listed name", twenty, "Trip 1", "x",
         "inform Directions limitation | You have already reached the maximum of initaries !"},
        {"blank name",
         {"A"},
         "   ",
         "x",
         "inform Directions information missing | Please, enter an initinary name"},
        {"an address missing",
         {"A"},
         "B",
         "",
         "inform Directions information missing | Please, add the full 'from' and 'start' "
         "directions"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        boxes_.shown.clear();
        Open(ItinerarySection(row.stored));
        const std::string before = home_.ReadFile(kIni);
        Enter(row.entered, row.fromAddress, "c", "d", "e");
        Click("itineraryStorePushButton");
        EXPECT_EQ(boxes_.Lines(), Names{row.message});
        EXPECT_EQ(home_.ReadFile(kIni), before);
        dialog_->reject();
    }
}

TEST_F(MoreDownloadsDialogTest, DeleteMovesTheLastRecordIntoTheGap) {
    more_.directions.download = true;
    const struct {
        const char* name;
        int selected;
        bool answer;
        Names stored;
        QStringList listed;
    } rows[] = {
        {"first of three", 0, true, {"C", "B"}, {"C", "B"}},
        {"last of three", 2, true, {"A", "B"}, {"A", "B"}},
        {"answered No", 1, false, {"A", "B", "C"}, {"A", "B", "C"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        boxes_.shown.clear();
        Open(ItinerarySection({"A", "B", "C"}));
        List()->setCurrentIndex(row.selected);
        boxes_.answers = {row.answer};
        Click("itineraryDeletePushButton");
        EXPECT_EQ(boxes_.Lines(),
                  Names{"caution Tidepost | Do you want to delete the selected itinary ?"});
        EXPECT_EQ(StoredNames(), row.stored);
        EXPECT_EQ(ListNames(), row.listed);
        if (row.answer) {
            EXPECT_EQ(List()->currentIndex(), 0);
            EXPECT_EQ(Text("toAddressLineEdit"), QString::fromStdString("to " + row.stored[0]));
            EXPECT_EQ(ReadItinerary(GetIniPath(), 1).toCity, "tcity " + row.stored[0]);
            EXPECT_EQ(home_.ReadFile(kIni).find("Itinary3"), std::string::npos);
        }
        dialog_->reject();
    }
}

TEST_F(MoreDownloadsDialogTest, DeleteAllAskedFirstRemovesAlsoRecordsAfterAGap) {
    more_.directions.download = true;
    Names names;
    for (int i = 1; i <= 25; ++i) names.push_back(i == 23 ? "" : "Trip " + std::to_string(i));
    Open(ItinerarySection(names));
    EXPECT_EQ(List()->count(), 22);
    boxes_.answers = {false, true};
    Click("itineraryDeleteAllPushButton");
    EXPECT_EQ(StoredNames().size(), 22u);
    Click("itineraryDeleteAllPushButton");
    EXPECT_EQ(boxes_.shown.back().text, "Do you want to delete all current itinaries ?");
    EXPECT_TRUE(StoredNames().empty());
    EXPECT_EQ(home_.ReadFile(kIni).find("Trip 22"), std::string::npos);
    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(List()->currentText(), QString());
    EXPECT_EQ(Text("fromCityLineEdit"), QString());
}

TEST_F(MoreDownloadsDialogTest, AFailedWriteIsReportedWithItsReasonAndChangesNothing) {
    more_.directions.download = true;
    Open(ItinerarySection({"A"}));
    const std::string before = home_.ReadFile(kIni);
    test::ImmutableFile locked(home_.path() + "cfg");
    if (!locked.set()) GTEST_SKIP() << "the file system cannot make a folder immutable";
    Enter("New", "a", "b", "c", "d");
    Click("itineraryStorePushButton");
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].kind, "warn");
    EXPECT_NE(boxes_.shown[0].text.find(GetIniPath()), std::string::npos) << boxes_.shown[0].text;
    EXPECT_EQ(ListNames(), QStringList{"A"});
    EXPECT_EQ(home_.ReadFile(kIni), before);
}

TEST_F(MoreDownloadsDialogTest, SignButtonsEditTheListWhichSurvivesCancel) {
    more_.astro.download = true;
    more_.astro.signs = "Aries,Leo";
    Open();
    EXPECT_EQ(Find<QComboBox>("signComboBox")->count(), 12);
    EXPECT_EQ(Find<QComboBox>("signComboBox")->currentText(),
              QStringLiteral("Aquarius (Jan 20 - Feb 17)"));
    const struct {
        const char* sign;
        const char* button;
        const char* after;
    } steps[] = {{"Leo", "signAddPushButton", "Aries,Leo"},
                 {"Aries", "signAddPushButton", "Leo,Aries"},
                 {"Aries", "signRemovePushButton", "Leo"},
                 {"Sagittarius", "signAddPushButton", "Leo,Sagittarius"}};
    for (const auto& step : steps) {
        PickSign(step.sign);
        Click(step.button);
        EXPECT_EQ(Text("signsLineEdit"), QLatin1String(step.after))
            << step.button << " " << step.sign;
    }
    Click("cancelPushButton");
    EXPECT_EQ(more_.astro.signs, "Leo,Sagittarius");
    Open();
    Click("signsClearPushButton");
    EXPECT_EQ(more_.astro.signs, "");
}

TEST_F(MoreDownloadsDialogTest, EmailFilesAreDeletedOnlyOnYes) {
    more_.email.download = true;
    for (const char* name : {"b.txt", "a.eml", "c.TXT", "notes.doc"})
        home_.WriteFile(std::string("emails/") + name, "x");
    Open();
    EXPECT_EQ(EmailNames(), (QStringList{"a.eml", "b.txt", "c.TXT"}));
    boxes_.answers = {false, true};
    Click("emailDeletePushButton");
    EXPECT_TRUE(home_.Exists("emails/a.eml"));
    Click("emailDeletePushButton");
    EXPECT_FALSE(home_.Exists("emails/a.eml"));
    EXPECT_EQ(EmailNames(), (QStringList{"b.txt", "c.TXT"}));
    EXPECT_EQ(boxes_.shown.back().text, "Do you want to delete the file 'a.eml'?");

    boxes_.answers = {false, true};
    Click("emailDeleteAllPushButton");
    EXPECT_EQ(EmailNames().size(), 2);
    Click("emailDeleteAllPushButton");
    EXPECT_EQ(boxes_.shown.back().text, "Do you want to delete ALL the email files?");
    EXPECT_TRUE(EmailNames().isEmpty());
    EXPECT_TRUE(home_.Exists("emails/notes.doc"));
    // Nothing left to delete: no more questions.
    Click("emailDeletePushButton");
    Click("emailDeleteAllPushButton");
    EXPECT_EQ(boxes_.shown.size(), 4u);
    EXPECT_EQ(boxes_.unexpectedQuestions, 0);
}

TEST_F(MoreDownloadsDialogTest, AFileThatCannotBeDeletedStaysListedAndIsReported) {
    more_.email.download = true;
    home_.WriteFile("emails/a.txt", "x");
    Open();
    test::ImmutableFile locked(home_.path() + "emails/a.txt");
    if (!locked.set()) GTEST_SKIP() << "the file system cannot make a file immutable";
    boxes_.answers = {true};
    Click("emailDeletePushButton");
    EXPECT_EQ(EmailNames(), QStringList{"a.txt"});
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].kind, "warn");
    EXPECT_NE(boxes_.shown[1].text.find("a.txt"), std::string::npos);
}

TEST_F(MoreDownloadsDialogTest, OkRefusesInOrderAndKeepsTheDialogOpen) {
    more_.directions.download = more_.astro.download = more_.email.download = true;
    Open();
    const char* expected[] = {
        "inform Direction information missing | Please, create an itinary for the 'Directions'",
        "inform Astro information missing | Please, add at least one zodiacal sign for Astro",
        "inform Email information missing | There is no email file to download"};
    const char* uncheck[] = {"directionsGroupBox", "astroGroupBox", "emailGroupBox"};
    for (int i = 0; i < 3; ++i) {
        boxes_.shown.clear();
        Click("okPushButton");
        EXPECT_EQ(boxes_.Lines(), Names{expected[i]});
        EXPECT_TRUE(dialog_->isVisible());
        Find<QGroupBox>(uncheck[i])->setChecked(false);  // without the click handler: OK copies it
    }
    boxes_.shown.clear();
    Click("okPushButton");
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_FALSE(more_.directions.download || more_.astro.download || more_.email.download);
}

TEST_F(MoreDownloadsDialogTest, CancelKeepsTheSettingsAsTheyWere) {
    more_.directions.country = kCountryFrance;
    Open();
    Find<QComboBox>("countryComboBox")->setCurrentIndex(kCountryUsa);
    auto* email = Find<QGroupBox>("emailGroupBox");
    email->setFocus();
    QTest::keyClick(email, Qt::Key_Space);
    Click("cancelPushButton");
    EXPECT_EQ(more_.directions.country, kCountryFrance);
    EXPECT_FALSE(more_.email.download);
}

TEST_F(MoreDownloadsDialogTest, HelpAndCustomButtons) {
    more_.directions.download = more_.astro.download = more_.email.download = true;
    Open();
    const struct {
        const char* button;
        int text;
    } helps[] = {{"directionsHelpPushButton", kHelpDirections},
                 {"astroHelpPushButton", kHelpAstro},
                 {"emailHelpPushButton", kHelpEmail}};
    for (const auto& help : helps) {
        Click(help.button);
        auto* shown = dialog_->findChild<CHelpDialog*>();
        ASSERT_NE(shown, nullptr) << help.button;
        EXPECT_EQ(shown->HelpText().toStdString(), LoadStringResource(help.text)) << help.button;
        delete shown;
    }

    QSignalSpy customize(dialog_.get(), &CMoreDownloadsDialog::CustomizeTopic);
    for (const char* button :
         {"directionsCustomPushButton", "astroCustomPushButton", "emailCustomPushButton"}) {
        Click(button);
    }
    ASSERT_EQ(customize.count(), 3);
    EXPECT_EQ(customize[0][0].value<TopicId>(), TopicId::Directions);
    EXPECT_EQ(customize[1][0].value<TopicId>(), TopicId::Astro);
    EXPECT_EQ(customize[2][0].value<TopicId>(), TopicId::Email);
}

TEST_F(MoreDownloadsDialogTest, MainWindowReevaluatesDownloadAfterOk) {
    home_.WriteFile(kIni, "[Settings]\r\nIntelliSynch=0\r\nSaveOnExit=1\r\n");
    home_.WriteFile("emails/memo.txt", "x");
    ScriptedMessageBoxes boxes;
    CMainDialog main(boxes);
    main.show();
    auto* download = main.findChild<QPushButton*>(QStringLiteral("downloadPushButton"));
    ASSERT_FALSE(download->isEnabled());
    bool driven = false;
    QTimer::singleShot(0, [&] {
        auto* more = qobject_cast<CMoreDownloadsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(more, nullptr);
        more->findChild<QGroupBox*>(QStringLiteral("emailGroupBox"))->setChecked(true);
        QTest::mouseClick(more->findChild<QPushButton*>(QStringLiteral("okPushButton")),
                          Qt::LeftButton);
        driven = true;
    });
    QTest::mouseClick(main.findChild<QPushButton*>(QStringLiteral("moreDownloadsPushButton")),
                      Qt::LeftButton);
    EXPECT_TRUE(driven);
    EXPECT_TRUE(download->isEnabled());
    EXPECT_TRUE(main.CurrentSettings().more.email.download);
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace tp
