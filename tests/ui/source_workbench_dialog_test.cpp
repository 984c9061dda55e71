// The source workbench, opened with Test from the web address dialog: a page
// served here checked with the dialog's unsaved address and tag, the tag
// marked in the text and the cards shown; then the page changed so that the
// tag is not found, and a suggestion taken with Use into the dialog's field,
// with nothing written to the settings file. Stop and closing end a fetch
// that hangs.
#include "platform/text_file.h"
#include "settings/custom_sources.h"
#include "settings/settings_model.h"
#include "tests/run/weather_setup.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_home.h"
#include "tests/ui/support/modal_driver.h"
#include "tests/ui/support/scripted_file_pickers.h"
#include "tests/ui/support/scripted_message_boxes.h"
#include "tests/ui/support/widget_lookup.h"
#include "ui/customization_dialog.h"
#include "ui/multi_line_edit.h"
#include "ui/source_workbench_dialog.h"
#include "ui/web_address_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

namespace tp {
namespace {

using test::ClickButton;
using test::FindWidget;
using test::OnNextModal;

const char kIni[] = "cfg/Tidepost.ini";
const char kTag[] = "Precip. %";  // Tag #1 of Weather (USA), key String171
const char kZip[] = "62701";

class SourceWorkbenchTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"weather.txt", "weather.xmt"}) {
            std::string bytes;
            ASSERT_TRUE(ReadBinaryFile(test::SourceDataFolder() + "cfg/" + name, bytes)) << name;
            home_.WriteFile(std::string("cfg/") + name, bytes);
        }
    }
    static Settings WithZip() {
        Settings settings;
        settings.main.weather.zip = kZip;
        return settings;
    }

    // The web address dialog of Weather (USA), its address (not saved) at the server.
    void OpenWebAddress() {
        dialog_.SetSource(LoadTopicSources("Weather").at(0));
        const QString address = QString::fromStdString(server_.url("/forecast/%s"));
        FindWidget<CMultiLineEdit>(dialog_, "urlMultiLineEdit")->setPlainText(address);
        dialog_.show();
    }

    // Clicks Test and runs drive in the workbench; closes it after drive.
    void Test(std::function<void(CSourceWorkbenchDialog&)> drive) {
        const auto opened = OnNextModal<CSourceWorkbenchDialog>(std::move(drive));
        ClickButton(FindWidget<QPushButton>(dialog_, "testPushButton"));
        EXPECT_TRUE(*opened);
    }

    // Clicks Check and waits for the check on the screen.
    static void Check(CSourceWorkbenchDialog& workbench) {
        QSignalSpy shown(&workbench, &CSourceWorkbenchDialog::CheckShown);
        ClickButton(FindWidget<QPushButton>(workbench, "checkPushButton"));
        ASSERT_TRUE(shown.wait(20000));
    }

    test::TempHome home_;
    test::HttpServer server_;
    test::ScriptedMessageBoxes boxes_;
    Settings settings_ = WithZip();
    CWebAddressDialog dialog_{boxes_, settings_, nullptr};
};

TEST_F(SourceWorkbenchTest, ACheckMarksTheTagShowsTheCardsAndAMissingTagsSuggestionGoesIntoTheField) {
    const std::string page = test::RecordedUsWeather();
    std::string changed = page;
    changed.replace(changed.find(kTag), std::strlen(kTag), "Chance %");
    server_.Serve(std::string("/forecast/") + kZip, page);
    const std::string iniBefore = home_.ReadFile(kIni);
    OpenWebAddress();

    std::string suggested;
    Test([&](CSourceWorkbenchDialog& workbench) {
        EXPECT_EQ(FindWidget<QLineEdit>(workbench, "codeLineEdit")->text().toStdString(), kZip);
        Check(workbench);
        const auto* outcome = FindWidget<QLabel>(workbench, "outcomeLabel");
        EXPECT_TRUE(outcome->text().startsWith(QStringLiteral("ok, "))) << outcome->text().toStdString();

        // The tag's one place is marked in the text.
        const auto* text = FindWidget<QPlainTextEdit>(workbench, "fetchedTextPlainTextEdit");
        EXPECT_EQ(text->toPlainText().toLatin1().toStdString(), page);
        const int at = static_cast<int>(page.find(kTag));
        const auto marks = text->extraSelections();
        ASSERT_EQ(marks.size(), 1);
        EXPECT_EQ(marks[0].cursor.selectionStart(), at);
        EXPECT_EQ(marks[0].cursor.selectionEnd(), at + static_cast<int>(std::strlen(kTag)));
        EXPECT_NE(marks[0].format.background().style(), Qt::NoBrush);

        // The cards as the page holds them, with their links to each other.
        const SourceCheck* check = workbench.ShownCheck();
        ASSERT_NE(check, nullptr);
        ASSERT_FALSE(check->cut.cards.empty());
        const auto* cards = FindWidget<QTextBrowser>(workbench, "cardsTextBrowser");
        EXPECT_TRUE(cards->toPlainText().contains(QStringLiteral("Tue Jun 04")));
        EXPECT_TRUE(cards->toHtml().contains(QStringLiteral("#card%1").arg(check->cut.cards[0].id)));

        // The site changes: the tag is gone.
        server_.Serve(std::string("/forecast/") + kZip, changed);
        Check(workbench);
        EXPECT_EQ(outcome->text(), QStringLiteral("Tag #1 \u201CPrecip. %\u201D not found (key String171)"));
        EXPECT_EQ(outcome->palette().color(QPalette::WindowText), QColor(176, 0, 0));
        ASSERT_FALSE(workbench.ShownCheck()->suggestions.empty());
        suggested = workbench.ShownCheck()->suggestions[0].tag;
        EXPECT_EQ(suggested, "Chance %");  // where the tag stood in the last good text

        QSignalSpy shown(&workbench, &CSourceWorkbenchDialog::CheckShown);
        ClickButton(FindWidget<QPushButton>(workbench, "use1PushButton"));
        ASSERT_TRUE(shown.wait(20000));  // the text cut again with it, not fetched again
        EXPECT_EQ(workbench.ShownCheck()->outcome, CheckOutcome::Ok);
        EXPECT_EQ(server_.Requests().size(), 2u);
    });
    EXPECT_EQ(FindWidget<QLineEdit>(dialog_, "tag1LineEdit")->text().toStdString(), suggested);
    EXPECT_EQ(home_.ReadFile(kIni), iniBefore);
}

TEST_F(SourceWorkbenchTest, StopAndClosingEndAFetchThatHangs) {
    std::atomic<bool> release{false};
    server_.Get(std::string("/forecast/") + kZip, [&release](const httplib::Request&, httplib::Response& res) {
        for (int i = 0; i < 400 && !release; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
        res.set_content("late", "text/plain");
    });
    OpenWebAddress();
    Test([&](CSourceWorkbenchDialog& workbench) {
        QSignalSpy shown(&workbench, &CSourceWorkbenchDialog::CheckShown);
        ClickButton(FindWidget<QPushButton>(workbench, "checkPushButton"));
        EXPECT_TRUE(workbench.IsChecking());
        // The server holds its answer for 10 s.
        ClickButton(FindWidget<QPushButton>(workbench, "stopPushButton"));
        ASSERT_TRUE(shown.wait(5000));
        EXPECT_NE(workbench.ShownCheck()->outcome, CheckOutcome::Ok);

        // Closing during a check stops it, and the workbench closes once it has ended.
        ClickButton(FindWidget<QPushButton>(workbench, "checkPushButton"));
        workbench.reject();
        EXPECT_TRUE(workbench.isVisible());
        QSignalSpy finished(&workbench, &QDialog::finished);
        ASSERT_TRUE(finished.wait(5000));
        EXPECT_FALSE(workbench.IsChecking());
    });
    release = true;
}

TEST_F(SourceWorkbenchTest, ThePageCustomizationDialogsTestOpensTheWorkbenchOverTheSelectedSource) {
    test::ScriptedFilePickers pickers;
    CCustomizationDialog page("Weather", settings_, boxes_, pickers, nullptr);
    for (const SourceEntry& source : LoadTopicSources("Weather")) page.AddSource(source);
    page.show();
    auto* sources = FindWidget<QComboBox>(page, "urlComboBox");
    sources->setFocus();
    QTest::keyClick(sources, Qt::Key_Down);
    ASSERT_EQ(sources->currentIndex(), 1);

    // The workbench opens once the web address dialog is on the screen.
    QString title;
    QWidget* over = nullptr;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* workbench = qobject_cast<CSourceWorkbenchDialog*>(modal)) {
            title = workbench->windowTitle();
            over = workbench->parentWidget();
            workbench->reject();
        } else if (auto* address = qobject_cast<CWebAddressDialog*>(modal); address && !title.isEmpty()) {
            poll.stop();
            address->reject();
        }
    });
    poll.start(10);
    ClickButton(FindWidget<QPushButton>(page, "urlTestPushButton"));
    EXPECT_EQ(title, QStringLiteral("Test Weather (UK)"));
    EXPECT_NE(qobject_cast<CWebAddressDialog*>(over), nullptr);
}

}  // namespace
}  // namespace tp
