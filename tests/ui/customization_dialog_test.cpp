// The page customization dialog and the flow behind the "Custom..." buttons:
// the warning question, Save and Cancel as seen in the settings file, the file
// pickers, and the four buttons of the main window.
#include "app/paths.h"
#include "settings/custom_sources.h"
#include "tests/support/temp_home.h"
#include "tests/ui/support/modal_driver.h"
#include "tests/ui/support/scripted_file_pickers.h"
#include "tests/ui/support/scripted_message_boxes.h"
#include "ui/bitmap_static.h"
#include "ui/customization_dialog.h"
#include "ui/customization_flow.h"
#include "ui/main_dialog.h"
#include "ui/multi_line_edit.h"
#include "ui/web_address_dialog.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace tp {
namespace {

using test::OnNextModal;
using test::ScriptedFilePickers;
using test::ScriptedMessageBoxes;

const char kIni[] = "cfg/Tidepost.ini";
const char kWarning[] =
    "caution Tidepost | IMPORTANT WARNING:\n\nCustomization changes you may introduce could cause your\n"
    "Tidepost application to crash or not to download as expected.\nDo you want to continue ?";

template <class W = QWidget>
W* Find(QWidget& dialog, const char* name) {
    W* widget = dialog.findChild<W*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}
void Click(QWidget& dialog, const char* name) {
    QTest::mouseClick(Find<QPushButton>(dialog, name), Qt::LeftButton);
}

// Keys "String%03i" of the section "Customization" in the settings file.
std::vector<int> StoredNumbers(const std::string& ini) {
    std::vector<int> numbers;
    for (std::size_t at = ini.find("\nString"); at != std::string::npos; at = ini.find("\nString", at + 1)) {
        numbers.push_back(std::stoi(ini.substr(at + 7, 3)));
    }
    return numbers;
}

std::vector<int> NumbersOf(std::string_view topic) {
    std::vector<int> numbers;
    for (const SourceEntry& source : LoadTopicSources(topic)) {
        numbers.push_back(source.addressNumber);
        for (int tag : source.tagNumbers) {
            if (tag != 0) numbers.push_back(tag);
        }
    }
    return numbers;
}

class CustomizationTest : public ::testing::Test {
protected:
    // The "Custom..." flow for topic; drive runs inside the customization
    // dialog if it opens. True when it ended with Save.
    bool RunFlow(const char* topic, bool warnings, std::function<void(CCustomizationDialog&)> drive) {
        opened_ = OnNextModal<CCustomizationDialog>([drive](CCustomizationDialog& d) { drive(d); });
        Settings settings;
        settings.general.customWarnings = warnings;
        const bool saved = EditTopicCustomization(nullptr, boxes_, settings, topic, icon_, template_, pickers_);
        QApplication::processEvents();
        return saved;
    }
    // Opens the web address dialog for source index of the dialog and runs drive in it.
    static void EditSource(CCustomizationDialog& dialog, int index, std::function<void(CWebAddressDialog&)> drive) {
        Find<QComboBox>(dialog, "urlComboBox")->setCurrentIndex(index);
        OnNextModal<CWebAddressDialog>([drive](CWebAddressDialog& d) { drive(d); });
        Click(dialog, "urlPushButton");
    }
    static void SetAddress(CWebAddressDialog& dialog, const char* address) {
        Find<CMultiLineEdit>(dialog, "urlMultiLineEdit")->setPlainText(QLatin1String(address));
    }
    std::string Ini() const { return home_.ReadFile(kIni); }

    test::TempHome home_;
    ScriptedMessageBoxes boxes_;
    ScriptedFilePickers pickers_;
    std::string icon_ = "weather.txt";
    std::string template_ = "weather.xmt";
    std::shared_ptr<bool> opened_;
};

TEST_F(CustomizationTest, TheWarningGateAndSaveStoringEverySourceUnchanged) {
    const struct {
        const char* what;
        bool warnings;
        std::deque<bool> answers;
        bool opens;
    } rows[] = {{"warning answered No", true, {false}, false},
                {"warning answered Yes", true, {true}, true},
                {"warnings off", false, {}, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        test::TempHome home;
        boxes_ = ScriptedMessageBoxes();
        boxes_.answers = row.answers;
        const bool saved = RunFlow("Weather", row.warnings, [](CCustomizationDialog& d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Weather XML page customization"));
            Find<QLineEdit>(d, "iconFileLineEdit")->setText(QStringLiteral("sunny.txt"));
            Click(d, "savePushButton");
        });
        EXPECT_EQ(*opened_, row.opens);
        EXPECT_EQ(saved, row.opens);
        EXPECT_EQ(boxes_.Lines(), row.warnings ? std::vector<std::string>{kWarning} : std::vector<std::string>{});
        EXPECT_EQ(icon_, row.opens ? "sunny.txt" : "weather.txt");
        EXPECT_EQ(StoredNumbers(home.ReadFile(kIni)), row.opens ? NumbersOf("Weather") : std::vector<int>{});
        icon_ = "weather.txt";
    }
    EXPECT_EQ(NumbersOf("Weather").size(), 27u);
}

TEST_F(CustomizationTest, AnEditedSourceIsStoredByOkThenSaveOnlyAndTrimmed) {
    const struct {
        const char* addressButton;  // of the web address dialog
        const char* dialogButton;   // of the customization dialog
        bool edited;                // the address stored is the one typed
    } rows[] = {{"okPushButton", "savePushButton", true},
                {"okPushButton", "cancelPushButton", false},
                {"cancelPushButton", "savePushButton", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.addressButton) + " then " + row.dialogButton);
        test::TempHome home;
        const bool saved = RunFlow("Stocks", false, [&](CCustomizationDialog& d) {
            EditSource(d, 0, [&](CWebAddressDialog& w) {
                EXPECT_EQ(w.windowTitle(), QStringLiteral("Stock quotes Web addresses and tags"));
                SetAddress(w, "  x/%s  ");
                Click(w, row.addressButton);
            });
            Click(d, row.dialogButton);
        });
        const bool save = std::string(row.dialogButton) == "savePushButton";
        EXPECT_EQ(saved, save);
        EXPECT_EQ(home.ReadFile(kIni).find("\r\nString118=x/%s\r\n") != std::string::npos, row.edited);
        EXPECT_EQ(StoredNumbers(home.ReadFile(kIni)), save ? NumbersOf("Stocks") : std::vector<int>{});
    }
}

TEST_F(CustomizationTest, SaveIgnoresFileNamesShorterThanFiveCharacters) {
    CCustomizationDialog dialog("Movies", Settings{}, boxes_, pickers_, nullptr);
    dialog.SetFileNames("movies.txt", "movies.xmt");
    for (const SourceEntry& source : LoadTopicSources("Movies")) dialog.AddSource(source);
    dialog.show();
    EXPECT_EQ(Find<CBitmapStatic>(dialog, "customizationBitmapStatic")->BitmapNumber(), 131) << "the films' picture";
    Find<QLineEdit>(dialog, "templateFileLineEdit")->setText(QStringLiteral("a.xm"));
    Click(dialog, "savePushButton");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_FALSE(home_.Exists(kIni));
    Find<QLineEdit>(dialog, "templateFileLineEdit")->setText(QStringLiteral("a.xmt"));
    Click(dialog, "savePushButton");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.TemplateFile(), "a.xmt");
}

TEST_F(CustomizationTest, EmailHasNoSourcesAndItsButtonDoesNothing) {
    EXPECT_TRUE(RunFlow("Email", false, [](CCustomizationDialog& d) {
        EXPECT_EQ(Find<QComboBox>(d, "urlComboBox")->count(), 0);
        EXPECT_EQ(Find<CBitmapStatic>(d, "customizationBitmapStatic")->BitmapNumber(), 148);
        EXPECT_FALSE(Find<QPushButton>(d, "urlPushButton")->isEnabled());
        const auto webAddressOpened = OnNextModal<CWebAddressDialog>([](CWebAddressDialog&) {});
        Click(d, "urlPushButton");
        QApplication::processEvents();
        EXPECT_FALSE(*webAddressOpened);
        Click(d, "savePushButton");
    }));
    EXPECT_EQ(StoredNumbers(Ini()), std::vector<int>{});
}

TEST_F(CustomizationTest, PickersKeepTheFileNameAndOfferToCopyAFileFromElsewhere) {
    home_.WriteFile("cfg/mine.txt", "icon");
    home_.WriteFile("elsewhere/page.xmt", "template");
    CCustomizationDialog dialog("News", Settings{}, boxes_, pickers_, nullptr);
    dialog.SetFileNames("news.txt", "news.xmt");
    dialog.show();

    pickers_.paths = {home_.path() + "cfg/mine.txt", ""};
    Click(dialog, "iconFilePushButton");
    Click(dialog, "iconFilePushButton");  // cancelled
    EXPECT_EQ(Find<QLineEdit>(dialog, "iconFileLineEdit")->text(), QStringLiteral("mine.txt"));
    ASSERT_EQ(pickers_.requests.size(), 2u);
    const ScriptedFilePickers::Request& icon = pickers_.requests[0];
    EXPECT_EQ(icon.folder, QFile::decodeName(GetCfgFolder().c_str()));
    EXPECT_EQ(icon.fileName, QStringLiteral("*.txt"));
    ASSERT_EQ(icon.filters.size(), 2);
    EXPECT_EQ(icon.filters[0].label + icon.filters[0].pattern, QStringLiteral("REX encoded icon (*.txt)*.txt"));
    EXPECT_EQ(icon.filters[1].label + icon.filters[1].pattern, QStringLiteral("All files (*.*)*.*"));
    EXPECT_TRUE(boxes_.shown.empty());

    pickers_.paths = {home_.path() + "elsewhere/page.xmt"};
    boxes_.answers = {true};
    Click(dialog, "templateFilePushButton");
    EXPECT_EQ(Find<QLineEdit>(dialog, "templateFileLineEdit")->text(), QStringLiteral("page.xmt"));
    EXPECT_EQ(pickers_.requests.back().fileName, QStringLiteral("*.xmt"));
    EXPECT_EQ(pickers_.requests.back().filters[0].label, QStringLiteral("XML template files (*.xmt)"));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_NE(boxes_.shown[0].text.find("only files in its configuration folder"), std::string::npos);
    EXPECT_EQ(home_.ReadFile("cfg/page.xmt"), "template");
    EXPECT_EQ(pickers_.unexpectedPickers, 0);
}

TEST_F(CustomizationTest, TheMainWindowButtonsEditTheirTopicsFileNames) {
    home_.WriteFile(kIni,
                    "[Settings]\r\nCustomWarnings=0\r\n[Weather]\r\nDownload=1\r\n[News]\r\nDownload=1\r\n"
                    "[Stocks]\r\nDownload=1\r\n[Movies]\r\nDownload=1\r\nXML=cinema.xmt\r\n");
    CMainDialog window(boxes_);
    window.show();
    const struct {
        const char* button;
        const char* title;
        const char* icon;
        const char* xml;
        std::string* newIcon;
    } rows[] = {
        {"weatherCustomPushButton", "Weather", "weather.txt", "weather.xmt", &window.CurrentSettings().main.weather.icon},
        {"newsCustomPushButton", "News", "news.txt", "news.xmt", &window.CurrentSettings().main.news.icon},
        {"stocksCustomPushButton", "Stocks", "stocks.txt", "stocks.xmt", &window.CurrentSettings().main.stocks.icon},
        {"moviesCustomPushButton", "Movies", "movies.txt", "cinema.xmt", &window.CurrentSettings().main.movies.icon},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.button);
        const auto opened = OnNextModal<CCustomizationDialog>([&row](CCustomizationDialog& d) {
            EXPECT_EQ(d.windowTitle(), QLatin1String(row.title) + QStringLiteral(" XML page customization"));
            EXPECT_EQ(Find<QLineEdit>(d, "iconFileLineEdit")->text(), QLatin1String(row.icon));
            EXPECT_EQ(Find<QLineEdit>(d, "templateFileLineEdit")->text(), QLatin1String(row.xml));
            EXPECT_EQ(Find<QComboBox>(d, "urlComboBox")->itemText(0).toStdString(),
                      LoadTopicSources(row.title).at(0).label);
            Find<QLineEdit>(d, "iconFileLineEdit")->setText(QStringLiteral("new-icon.txt"));
            Click(d, "savePushButton");
        });
        Click(window, row.button);
        EXPECT_TRUE(*opened);
        EXPECT_EQ(*row.newIcon, "new-icon.txt");
    }
    EXPECT_TRUE(boxes_.shown.empty());
}

}  // namespace
}  // namespace tp
