// The general settings dialog driven through its widgets: OK and Cancel, the
// debug-only buttons and the restore of the customized texts.
#include "ui/general_settings_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <memory>
#include <thread>

#include "app/globals.h"
#include "app/paths.h"
#include "settings/custom_store.h"
#include "settings/settings_model.h"
#include "tests/support/immutable_file.h"
#include "tests/support/temp_home.h"
#include "tests/ui/support/scripted_message_boxes.h"
#include "tests/ui/support/widget_lookup.h"
#include "ui/spin_field.h"
#include "ui/main_dialog.h"

namespace tp {
namespace {

using test::ScriptedMessageBoxes;

const char kIni[] = "cfg/Tidepost.ini";

class GeneralSettingsDialogTest : public ::testing::Test {
protected:
    void TearDown() override { g_debug = false; }

    CGeneralSettingsDialog& Open(bool debug = false) {
        g_debug = debug;
        if (!dialog_) dialog_ = std::make_unique<CGeneralSettingsDialog>(boxes_, general_);
        dialog_->show();
        return *dialog_;
    }
    template <class W = QWidget>
    W* Find(const char* name) const {
        return test::FindWidget<W>(*dialog_, name);
    }
    void Click(const char* name) const { test::ClickButton(Find<QAbstractButton>(name)); }

    test::TempHome home_;
    ScriptedMessageBoxes boxes_;
    GeneralSettings general_;
    std::unique_ptr<CGeneralSettingsDialog> dialog_;
};

TEST_F(GeneralSettingsDialogTest, OkCopiesEveryControlAndCancelNone) {
    general_ = GeneralSettings{true, true, 1, true, false, true, false, true};
    const GeneralSettings before = general_;
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        Open();
        EXPECT_EQ(dialog_->windowTitle(), QStringLiteral("General Settings"));
        EXPECT_TRUE(Find<QRadioButton>("hours24RadioButton")->isChecked());
        EXPECT_TRUE(Find<QRadioButton>("askRadioButton")->isChecked());
        for (const char* box :
             {"stopOnErrorCheckBox", "deleteXmlCheckBox", "timeZoneCheckBox",
              "intelliSynchCheckBox", "autoExitCheckBox", "customWarningsCheckBox"}) {
            Click(box);
        }
        Click("hours12RadioButton");
        Click("saveRadioButton");
        Click(ok ? "okPushButton" : "cancelPushButton");
        EXPECT_FALSE(dialog_->isVisible());
        if (!ok) {
            EXPECT_EQ(general_, before);
        }
    }
    EXPECT_EQ(general_, (GeneralSettings{false, false, 0, false, true, false, true, false}));
}

TEST_F(GeneralSettingsDialogTest, WebPageSettingsAndTheirBounds) {
    general_.fetchTimeout = 5000;  // from a hand-edited file
    Open();
    auto* fetch = Find<CSpinField>("fetchTimeoutSpinField");
    EXPECT_EQ(fetch->value(), 5000);
    Click("localConversionCheckBox");
    Find<CSpinField>("connectTimeoutSpinField")->stepBy(-30);
    Click("okPushButton");
    EXPECT_TRUE(dialog_->isVisible()) << "refused, the dialog stays open";
    EXPECT_EQ(boxes_.Lines(), std::vector<std::string>{"warn Tidepost | Please enter an integer between 1 and 3600.\n\n"
                                                       "(\"Whole fetch time-out\" in the General Settings dialog, "
                                                       "opened with \"Settings\")"});
    EXPECT_EQ(dialog_->focusWidget(), fetch);
    EXPECT_EQ(general_.fetchTimeout, 5000);
    EXPECT_FALSE(general_.localConversion) << "nothing is taken from a refused dialog";

    fetch->stepBy(-1);
    Click("okPushButton");
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(general_.fetchTimeout, 3600);
    EXPECT_EQ(general_.connectTimeout, 30);
    EXPECT_TRUE(general_.localConversion);

    // The limits of the parallel fetches are refused and kept the same way;
    // with two refused, the focus is on the one the message names.
    general_.maxFetches = 0;
    general_.maxFetchesPerHost = 99;
    Open();
    Click("okPushButton");
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_NE(boxes_.Lines().back().find("between 1 and 64.\n\n(\"Pages fetched at once\""), std::string::npos);
    EXPECT_EQ(dialog_->focusWidget(), Find<CSpinField>("maxFetchesSpinField"));
    Find<CSpinField>("maxFetchesPerHostSpinField")->stepBy(-100);
    Find<CSpinField>("maxFetchesSpinField")->stepBy(1);
    Click("okPushButton");
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(general_.maxFetches, 1);
    EXPECT_EQ(general_.maxFetchesPerHost, 1);
}

TEST_F(GeneralSettingsDialogTest, SettingsOfUnattendedRuns) {
    general_.runDeadline = 10;  // from a hand-edited file
    Open();
    EXPECT_EQ(Find<CSpinField>("retriesSpinField")->value(), 2);
    Click("okPushButton");
    EXPECT_EQ(boxes_.Lines(), std::vector<std::string>{"warn Tidepost | Please enter an integer between 30 and 7200.\n\n"
                                                       "(\"Whole download deadline\" in the General Settings "
                                                       "dialog, opened with \"Settings\")"});
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(dialog_->focusWidget(), Find<CSpinField>("runDeadlineSpinField"));

    Find<CSpinField>("runDeadlineSpinField")->stepBy(50);
    Find<CSpinField>("retriesSpinField")->stepBy(-2);
    Click("keepLastGoodPageCheckBox");
    Click("syncOnlyWhenChangedCheckBox");
    Click("okPushButton");
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(general_.runDeadline, 60);
    EXPECT_EQ(general_.retries, 0);
    EXPECT_TRUE(general_.keepLastGoodPage);
    EXPECT_TRUE(general_.syncOnlyWhenChanged);
}

TEST_F(GeneralSettingsDialogTest, RadioGroupsShowNoChoiceForAnUnknownValueAndKeepIt) {
    general_.timeFormat = 7;
    Open();
    EXPECT_FALSE(Find<QRadioButton>("hours12RadioButton")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>("hours24RadioButton")->isChecked());
    Click("okPushButton");
    EXPECT_EQ(general_.timeFormat, 7);
}

TEST_F(GeneralSettingsDialogTest, DebugButtonsOnlyInDebugMode) {
    for (bool debug : {false, true, false}) {
        Open(debug);
        EXPECT_EQ(Find("deleteNowPushButton")->isVisible(), debug);
        EXPECT_EQ(Find("synchNowPushButton")->isVisible(), debug);
        dialog_->reject();
    }
}

TEST_F(GeneralSettingsDialogTest, DebugDeleteUsesTheBoxAsShownNotTheSetting) {
    const struct {
        bool ticked;
        bool pageKept;
    } rows[] = {{false, true}, {true, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ticked);
        home_.WriteFile("xml/news.xml", "<p/>");
        home_.WriteFile("xml/99zzz.xml", "<info/>");
        general_.deleteXml = !row.ticked;
        Open(true);
        Find<QCheckBox>("deleteXmlCheckBox")->setChecked(row.ticked);
        Click("deleteNowPushButton");
        EXPECT_FALSE(home_.Exists("xml/99zzz.xml"));
        EXPECT_EQ(home_.Exists("xml/news.xml"), row.pageKept);
        dialog_->reject();
        EXPECT_EQ(general_.deleteXml, !row.ticked);
    }
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(GeneralSettingsDialogTest, DebugSynchStartsTheConfiguredTool) {
    const std::string marker = home_.path() + "synch-ran";
    home_.WriteFile(kIni, "[Settings]\r\nIntelliSynch Path=touch '" + marker + "'\r\n");
    Open(true);
    Click("synchNowPushButton");
    // The tool runs detached: give it a moment to leave its mark.
    for (int i = 0; i < 100 && !home_.Exists("synch-ran"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(home_.Exists("synch-ran"));
}

TEST_F(GeneralSettingsDialogTest, RestoreTakesEffectAtOnceEvenWithCancel) {
    home_.WriteFile(kIni, "[Customization]\r\nString140=http://mine/%s\r\nString300=kept\r\n");
    Open();
    Click("restorePushButton");
    EXPECT_TRUE(dialog_->isVisible());
    Click("cancelPushButton");
    EXPECT_EQ(home_.ReadFile(kIni), "[Customization]\r\nString300=kept\r\n");
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(GeneralSettingsDialogTest, RestoreThatCannotWriteIsReported) {
    const std::string stored = "[Customization]\r\nString140=http://mine/%s\r\n";
    home_.WriteFile(kIni, stored);
    test::ImmutableFile locked(home_.path() + "cfg");
    if (!locked.set()) GTEST_SKIP() << "the file system cannot make a folder immutable";
    Open();
    Click("restorePushButton");
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].kind, "warn");
    EXPECT_NE(boxes_.shown[0].text.find(GetIniPath()), std::string::npos);
    EXPECT_EQ(home_.ReadFile(kIni), stored);
}

TEST_F(GeneralSettingsDialogTest, MainWindowOpensItOnItsSettings) {
    home_.WriteFile(kIni, "[Settings]\r\nIntelliSynch=0\r\nTimeFormat=1\r\n");
    ScriptedMessageBoxes boxes;
    CMainDialog main(boxes);
    main.show();
    bool driven = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CGeneralSettingsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->findChild<QRadioButton*>(QStringLiteral("hours12RadioButton")),
                          Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okPushButton")),
                          Qt::LeftButton);
        driven = true;
    });
    QTest::mouseClick(main.findChild<QPushButton*>(QStringLiteral("settingsPushButton")),
                      Qt::LeftButton);
    EXPECT_TRUE(driven);
    EXPECT_EQ(main.CurrentSettings().general.timeFormat, 0);
}

}  // namespace
}  // namespace tp
