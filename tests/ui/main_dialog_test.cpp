// The main window driven through its widgets: topic sections, the code lists,
// the number fields, a download against a local server, "/autorun" and closing.
#include "app/globals.h"
#include "app/paths.h"
#include "run/run_log.h"
#include "ui/about_dialog.h"
#include "settings/settings_model.h"
#include "tests/run/weather_setup.h"
#include "tests/support/http_server.h"
#include "tests/support/immutable_file.h"
#include "tests/support/temp_home.h"
#include "tests/ui/support/modal_driver.h"
#include "tests/ui/support/scripted_message_boxes.h"
#include "tests/ui/support/url_catcher.h"
#include "ui/bitmap_static.h"
#include "ui/main_dialog.h"
#include "ui/more_downloads_dialog.h"
#include "ui/spin_field.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QKeyEvent>
#include <QToolTip>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace tp {
namespace {

using test::ScriptedMessageBoxes;

const char kIni[] = "cfg/Tidepost.ini";
const char kQuietGeneral[] = "[Settings]\r\nIntelliSynch=0\r\n";
const char kCompletedPrefix[] = "Download successfully completed (total web content size is ";

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_autoRun = false;
        home_.WriteFile("cfg/areacode.ini", "11111 - Springfield\n22222 - Shelbyville\n33333 - Ogdenville\n");
        home_.WriteFile("cfg/citycode.ini", "FRXX0076 - Paris\nNoDashHere\n");
    }
    void TearDown() override { g_autoRun = false; }

    // keepFile: add to the settings file (e.g. customizations) instead of replacing it.
    CMainDialog& Open(const std::string& ini, bool keepFile = false) {
        home_.WriteFile(kIni, (keepFile ? home_.ReadFile(kIni) : "") + kQuietGeneral + ini);
        dialog_ = std::make_unique<CMainDialog>(boxes_);
        finished_ = std::make_unique<QSignalSpy>(dialog_.get(), &CMainDialog::DownloadFinished);
        dialog_->show();
        QApplication::setActiveWindow(dialog_.get());
        return *dialog_;
    }

    template <class W = QWidget>
    W* Find(const char* name) const {
        W* widget = dialog_->findChild<W*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Click(const char* name) const { QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton); }
    // Toggles a topic as the keyboard does: Space on the focused box.
    void Toggle(const char* box) const {
        auto* group = Find<QGroupBox>(box);
        group->setFocus();
        QTest::keyClick(group, Qt::Key_Space);
    }
    // The weather topic against a server that holds its answer until release.
    void HoldWeather(test::HttpServer& server, const std::atomic<bool>& release) {
        test::PrepareWeatherTopic(home_, server, "");
        server.Get("/us", [&release](const httplib::Request&, httplib::Response& res) {
            while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            res.set_content(test::RecordedUsWeather(), "text/plain");
        });
    }
    QString Field(const char* name) const { return Find<QLineEdit>(name)->text(); }
    QString Status() const { return Find<QLabel>("statusLabel")->text(); }
    bool WaitForRun() const { return finished_->count() > 0 || finished_->wait(30000); }

    test::TempHome home_;
    ScriptedMessageBoxes boxes_;
    std::unique_ptr<CMainDialog> dialog_;
    std::unique_ptr<QSignalSpy> finished_;
};

TEST_F(MainDialogTest, EachTopicBoxEnablesExactlyItsSectionAndSwapsItsPicture) {
    Open("");
    EXPECT_EQ(dialog_->windowTitle(), QStringLiteral("Tidepost Version 1.5"));
    const struct {
        const char* box;
        const char* picture;
        int on;
        int off;
    } topics[] = {{"weatherGroupBox", "weatherBitmapStatic", 132, 136},
                  {"newsGroupBox", "newsBitmapStatic", 130, 134},
                  {"stocksGroupBox", "stocksBitmapStatic", 129, 133},
                  {"moviesGroupBox", "moviesBitmapStatic", 131, 135}};
    auto enabledInside = [&](const char* box) {
        int enabled = 0;
        for (QWidget* w : Find<QGroupBox>(box)->findChildren<QWidget*>()) enabled += w->isEnabled();
        return enabled;
    };
    for (const auto& topic : topics) {
        SCOPED_TRACE(topic.box);
        EXPECT_EQ(Find<CBitmapStatic>(topic.picture)->BitmapNumber(), topic.off);
        EXPECT_EQ(enabledInside(topic.box), 0);
        Toggle(topic.box);
        EXPECT_EQ(Find<CBitmapStatic>(topic.picture)->BitmapNumber(), topic.on);
        // Inside: everything but the news sources of unticked categories.
        const int all = static_cast<int>(Find<QGroupBox>(topic.box)->findChildren<QWidget*>().size());
        EXPECT_EQ(enabledInside(topic.box), std::string(topic.box) == "newsGroupBox" ? all - 3 : all);
        for (const auto& other : topics) {
            if (&other != &topic) {
                EXPECT_EQ(enabledInside(other.box), 0) << other.box;
            }
        }
        Toggle(topic.box);
        EXPECT_EQ(enabledInside(topic.box), 0);
        EXPECT_EQ(Find<CBitmapStatic>(topic.picture)->BitmapNumber(), topic.off);
    }
}

TEST_F(MainDialogTest, NewsSourceListsFollowTheirCategories) {
    Open("[News]\r\nDownload=1\r\nNewsTechUS=1\r\nNewsTechLang=1\r\n");
    EXPECT_FALSE(Find("worldNewsFromComboBox")->isEnabled());
    EXPECT_TRUE(Find("techNewsFromComboBox")->isEnabled());
    EXPECT_EQ(Find<QComboBox>("techNewsFromComboBox")->currentText(), QStringLiteral("France (French)"));
    QTest::mouseClick(Find<QCheckBox>("worldNewsCheckBox"), Qt::LeftButton);
    EXPECT_TRUE(Find("worldNewsFromComboBox")->isEnabled());
    QTest::mouseClick(Find<QCheckBox>("techNewsCheckBox"), Qt::LeftButton);
    EXPECT_FALSE(Find("techNewsFromComboBox")->isEnabled());
}

// Sources failing in each of their last runs are counted in the status frame,
// their details a click away; the about box names the last run.
// Each category's box and source list reach its own settings, none of another's.
TEST_F(MainDialogTest, EachNewsCategoryIsSavedFromItsOwnControls) {
    const char* const categories[] = {"worldNews", "techNews", "sportNews"};
    for (int picked = 0; picked < 3; ++picked) {
        SCOPED_TRACE(categories[picked]);
        Open("SaveOnExit=1\r\n[News]\r\nDownload=1\r\n");
        const std::string name = categories[picked];
        QTest::mouseClick(Find<QCheckBox>((name + "CheckBox").c_str()), Qt::LeftButton);
        Find<QComboBox>((name + "FromComboBox").c_str())->setCurrentIndex(1);
        Click("exitPushButton");
        Settings saved;
        ReadSettings(saved);
        const NewsSettings& news = saved.main.news;
        EXPECT_EQ((std::vector<bool>{news.world, news.tech, news.sport}), (std::vector<bool>{picked == 0, picked == 1, picked == 2}));
        EXPECT_EQ((std::vector<int>{news.worldLang, news.techLang, news.sportLang}),
                  (std::vector<int>{picked == 0, picked == 1, picked == 2}));
    }
}

TEST_F(MainDialogTest, FailingSourcesNeedAttention) {
    Open("");
    EXPECT_FALSE(Find<QPushButton>("attentionPushButton")->isVisible());

    std::string failure;
    for (int run = 1; run <= 3; ++run) {
        LoggedRun logged;
        logged.fetches.push_back({"", "Weather", "String104", "http://a/", 500, 4, 1, 1, "http error", "HTTP status 500"});
        logged.summary = {"run " + std::to_string(run), "", "stopped", 1};
        ASSERT_TRUE(AppendToRunLog(home_.path(), logged, failure)) << failure;
    }
    Open("");
    auto* attention = Find<QPushButton>("attentionPushButton");
    EXPECT_TRUE(attention->isVisible());
    EXPECT_EQ(attention->text(), QStringLiteral("1 source needs attention"));
    Click("attentionPushButton");
    EXPECT_EQ(boxes_.Lines(), std::vector<std::string>{"inform Tidepost | Weather: http://a/: HTTP status 500\n"});

    CAboutDialog about(boxes_);
    auto* lastRun = about.findChild<QLabel*>(QStringLiteral("lastRunLabel"));
    ASSERT_NE(lastRun, nullptr);
    EXPECT_EQ(lastRun->text(), QStringLiteral("Last download: run 3 (UTC), stopped"));
}

TEST_F(MainDialogTest, DownloadButtonFollowsTheSevenTopics) {
    Open("");
    auto* download = Find<QPushButton>("downloadPushButton");
    EXPECT_FALSE(download->isEnabled());
    Toggle("moviesGroupBox");
    EXPECT_TRUE(download->isEnabled());
    // The mnemonic of a topic works like a click on its box.
    QTest::keyClick(dialog_.get(), Qt::Key_M, Qt::AltModifier);
    EXPECT_FALSE(Find<QGroupBox>("moviesGroupBox")->isChecked());
    EXPECT_FALSE(download->isEnabled());

    dialog_.reset();
    Open("[Email]\r\nDownload=1\r\n");
    EXPECT_TRUE(Find<QPushButton>("downloadPushButton")->isEnabled()) << "a further topic alone";
}

TEST_F(MainDialogTest, CodeListButtons) {
    Open("[Weather]\r\nDownload=1\r\n");
    auto* areas = Find<QComboBox>("areaCodeComboBox");
    EXPECT_EQ(areas->count(), 0) << "read once the window is drawn";
    ASSERT_TRUE(QTest::qWaitFor([&] { return areas->count() == 3; }));
    auto add = [&](int entry) {
        areas->setCurrentIndex(entry);
        Click("areaCodeAddPushButton");
    };
    add(0);
    add(1);
    add(2);
    add(0);
    EXPECT_EQ(Field("areaCodesLineEdit"), QStringLiteral("22222,33333,11111")) << "listed once, at the end";

    const struct {
        int entry;
        const char* before;
        const char* after;
    } removals[] = {
        {0, "11111,22222,33333", "22222,33333"}, {2, "11111,22222,33333", "11111,22222"},
        {1, "11111,22222,33333", "11111,33333"}, {0, "11111", ""},
        {2, "11111,22222", "11111,22222"},
    };
    for (const auto& row : removals) {
        SCOPED_TRACE(row.before);
        Find<QLineEdit>("areaCodesLineEdit")->setText(QLatin1String(row.before));
        areas->setCurrentIndex(row.entry);
        Click("areaCodeRemovePushButton");
        EXPECT_EQ(Field("areaCodesLineEdit"), QLatin1String(row.after));
    }
    EXPECT_EQ(boxes_.beeps, 0);

    // A city entry without " -" gives no code; an empty list has no entry.
    Find<QComboBox>("cityCodeComboBox")->setCurrentIndex(1);
    Click("cityCodeAddPushButton");
    EXPECT_EQ(boxes_.beeps, 1);
    EXPECT_TRUE(Find("cityCodeComboBox")->hasFocus());
    Find<QComboBox>("cityCodeComboBox")->setCurrentIndex(0);
    Click("cityCodeAddPushButton");
    EXPECT_EQ(Field("cityCodesLineEdit"), QStringLiteral("FRXX0076"));
    Toggle("stocksGroupBox");
    EXPECT_EQ(Find<QComboBox>("rateComboBox")->count(), 0);
    Click("rateRemovePushButton");
    EXPECT_EQ(boxes_.beeps, 2);

    Click("cityCodesClearPushButton");
    EXPECT_EQ(Field("cityCodesLineEdit"), QString());
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(MainDialogTest, CodeListFieldsLookReadOnlyShowTheirStartAndLineUpWithTheirFrame) {
    Open("[Weather]\r\nZIP=11111,22222\r\nCityCode=FRXX0076,UKXX0085,ITXX0042\r\n"
         "[Stocks]\r\nXRate=USDEUR=X,USDJPY=X,EURGBP=X,USDCHF=X\r\n");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    const struct {
        const char* field;
        const char* sameColumn[3];
    } rows[] = {
        {"areaCodesLineEdit", {"areaCodeComboBox", "forecastUsaSpinField", "cityCodesLineEdit"}},
        {"cityCodesLineEdit", {"cityCodeComboBox", "forecastEuroSpinField", "areaCodeComboBox"}},
        {"ratesLineEdit", {"rateComboBox", "symbolsLineEdit", "xRateDaysSpinField"}},
    };
    auto left = [&](const QWidget* widget) { return widget->mapTo(dialog_.get(), QPoint(0, 0)).x(); };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.field);
        auto* field = Find<QLineEdit>(row.field);
        EXPECT_TRUE(field->isReadOnly());
        EXPECT_EQ(field->palette().color(QPalette::Base), dialog_->palette().color(QPalette::Window));
        EXPECT_EQ(field->cursorPosition(), 0) << "the start of the list is shown";
        EXPECT_GT(field->width(), field->fontMetrics().horizontalAdvance(field->text())) << "the whole list fits";
        for (const char* other : row.sameColumn) EXPECT_EQ(left(Find(other)), left(field)) << other;
    }
}

TEST_F(MainDialogTest, FurtherTopicsCustomButtonsRunTheCustomizationFlow) {
    Open("CustomWarnings=1\r\n[Astro]\r\nDownload=1\r\n");
    boxes_.answers = {false};
    const auto found = test::OnNextModal<CMoreDownloadsDialog>([](CMoreDownloadsDialog& more) {
        QTest::mouseClick(more.findChild<QPushButton*>(QStringLiteral("astroCustomPushButton")), Qt::LeftButton);
    });
    Click("moreDownloadsPushButton");
    ASSERT_TRUE(*found);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].kind, "caution") << "the warning gate comes first";
}

TEST_F(MainDialogTest, OutOfRangeNumberRefusesTheRunAndStepsBackIntoRange) {
    const struct {
        const char* field;
        int low, high;
        const char* topic;  // downloaded, so that its field may take the focus
    } fields[] = {{"forecastUsaSpinField", 1, 10, "Weather"}, {"headlinesSpinField", 1, 10, "News"},
                  {"forecastEuroSpinField", 1, 5, "Weather"}, {"xRateDaysSpinField", 1, 30, "Stocks"}};
    for (const auto& row : fields) {
        for (const int value : {row.low - 1, row.high + 1}) {
            SCOPED_TRACE(std::string(row.field) + " " + std::to_string(value));
            boxes_ = ScriptedMessageBoxes();
            Open(std::string("[") + row.topic + "]\r\nDownload=1\r\n");
            auto* field = Find<CSpinField>(row.field);
            field->setValue(value);
            EXPECT_EQ(field->value(), value);
            Click("downloadPushButton");
            ASSERT_TRUE(WaitForRun());
            EXPECT_EQ(boxes_.Lines(), std::vector<std::string>{"warn Tidepost | Please enter an integer between " +
                                                               std::to_string(row.low) + " and " +
                                                               std::to_string(row.high) + "."});
            EXPECT_EQ(Status(), QString()) << "nothing started";
            EXPECT_TRUE(field->hasFocus());
            field->stepBy(value < row.low ? 1 : -1);
            EXPECT_EQ(field->value(), value < row.low ? row.low : row.high);
        }
    }
}

TEST_F(MainDialogTest, KeysTakenAtTheirDefaultAreNamedOnceInABarTheUserDismisses) {
    Open("ConnectTimeout=99999\r\nFetchTimeout=abc\r\n");
    auto* bar = Find("resetKeysBar");
    EXPECT_TRUE(bar->isVisible());
    const QString text = Find<QLabel>("resetKeysLabel")->text();
    EXPECT_TRUE(text.contains(QStringLiteral("[Settings] ConnectTimeout=99999 (60 is used), "
                                             "[Settings] FetchTimeout=abc (120 is used)")))
        << text.toStdString();
    EXPECT_TRUE(boxes_.shown.empty()) << "a bar, not a box";
    Click("resetKeysDismissPushButton");
    EXPECT_FALSE(bar->isVisible());
    Open("ConnectTimeout=30\r\n");
    EXPECT_EQ(dialog_->findChild<QWidget*>(QStringLiteral("resetKeysBar")), nullptr);
}

TEST_F(MainDialogTest, SymbolsRefuseWhatNoQuoteServiceUses) {
    Open("[Stocks]\r\nDownload=1\r\nSymbols=IBM;X\r\n");
    Click("downloadPushButton");
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_NE(boxes_.shown[0].text.find("Not allowed: \";\""), std::string::npos) << boxes_.shown[0].text;
    EXPECT_FALSE(dialog_->IsRunning());
    auto* symbols = Find<QLineEdit>("symbolsLineEdit");
    EXPECT_EQ(dialog_->focusWidget(), symbols);
    symbols->clear();
    QTest::keyClicks(symbols, QStringLiteral("msft ,brk.b"));
    EXPECT_EQ(symbols->text(), QStringLiteral("MSFT,BRK.B"));
    EXPECT_TRUE(QToolTip::text().endsWith(QStringLiteral("(blank)"))) << QToolTip::text().toStdString();
    // An accented letter, as a keyboard layout sends it.
    QKeyEvent accented(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xe9)));
    QApplication::sendEvent(symbols, &accented);
    EXPECT_EQ(symbols->text(), QStringLiteral("MSFT,BRK.B"));
    EXPECT_TRUE(QToolTip::text().endsWith(QStringLiteral("\"") + QChar(0xc9) + QStringLiteral("\"")));
}

TEST_F(MainDialogTest, DownloadShowsItsStepsWhileTheControlsTakeNoInput) {
    test::HttpServer server;
    std::atomic<bool> release{false};
    HoldWeather(server, release);
    Open("[Weather]\r\nDownload=1\r\nZIP=11111\r\n", true);
    Click("downloadPushButton");

    // The fetch waits on the server while the window paints and refuses input.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Status() == "Download \"xml/weather.xml\" in progress..."; }, 10000))
        << Status().toStdString();
    EXPECT_TRUE(dialog_->IsRunning());
    EXPECT_TRUE(Find("viewPushButton")->isEnabled());
    EXPECT_EQ(Find<QProgressBar>("progressBar")->value(), 0);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_EQ(Find<QPushButton>("downloadPushButton")->text(), QStringLiteral("S&top"));
    for (const char* control : {"settingsPushButton", "moreDownloadsPushButton", "weatherGroupBox", "areaCodeAddPushButton"})
        EXPECT_FALSE(Find(control)->isEnabled()) << control;
    // Exit, the close box and Escape ask; No keeps the run and the window.
    boxes_.answers = {false, false, false};
    Click("exitPushButton");
    dialog_->close();
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(boxes_.shown.size(), 3u);
    EXPECT_EQ(boxes_.Lines().back(), "caution Tidepost | A download is in progress.\nStop it and exit Tidepost?");

    release = true;
    ASSERT_TRUE(WaitForRun());
    EXPECT_TRUE(Status().startsWith(QLatin1String(kCompletedPrefix))) << Status().toStdString();
    EXPECT_EQ(Find<QProgressBar>("progressBar")->value(), 7);
    EXPECT_FALSE(Find("viewPushButton")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(home_.Exists(test::kWeatherPageFile));
    EXPECT_TRUE(dialog_->isVisible()) << "no AutoExit";
    EXPECT_EQ(Find<QPushButton>("downloadPushButton")->text(), QStringLiteral("&Download"));
    EXPECT_TRUE(Find("settingsPushButton")->isEnabled());
}

TEST_F(MainDialogTest, StopAndCloseDuringARunEndItAtOnce) {
    for (const bool close : {false, true}) {
        SCOPED_TRACE(close ? "close, Yes" : "Stop");
        test::HttpServer server;
        std::atomic<bool> release{false};
        HoldWeather(server, release);
        boxes_ = ScriptedMessageBoxes();
        Open("SaveOnExit=1\r\n[Weather]\r\nDownload=1\r\nZIP=11111\r\n", true);
        QSignalSpy closed(dialog_.get(), &QDialog::finished);
        Click("downloadPushButton");
        ASSERT_TRUE(QTest::qWaitFor([&] { return Status().startsWith(QStringLiteral("Download \"xml/")); }, 10000));
        if (close) {
            boxes_.answers = {true};
            QTest::keyClick(dialog_.get(), Qt::Key_Escape);
        } else {
            Click("downloadPushButton");  // now "S&top"
        }
        ASSERT_TRUE(WaitForRun()) << "the held transfer ended without the server";
        release = true;
        EXPECT_EQ(Status(), QStringLiteral("Download stopped by the user.")) << Status().toStdString() << "\n"
            << Find<QPlainTextEdit>("diagnosticsPlainTextEdit")->toPlainText().toStdString();
        EXPECT_TRUE(Find<QPlainTextEdit>("diagnosticsPlainTextEdit")->toPlainText().endsWith(
            QStringLiteral("stopped by the user")));
        EXPECT_FALSE(home_.Exists(test::kWeatherPageFile));
        if (close) {
            ASSERT_TRUE(closed.count() == 1 || closed.wait(5000)) << "the pending close is carried out";
        }
        EXPECT_EQ(dialog_->isVisible(), !close);
    }
}

TEST_F(MainDialogTest, StoppedRunKeepsTheErrorAndTheRawCopyButton) {
    test::HttpServer server;
    test::PrepareWeatherTopic(home_, server, test::kNoWeatherTags);
    Open("[Weather]\r\nDownload=1\r\nZIP=11111\r\n", true);
    Click("downloadPushButton");
    ASSERT_TRUE(WaitForRun());
    EXPECT_TRUE(Status().startsWith(QStringLiteral("Download \"xml/weather.xml\" in progress...")));
    EXPECT_GT(Status().size(), 40) << "the reason follows";
    EXPECT_EQ(Find<QProgressBar>("progressBar")->value(), 0);
    EXPECT_TRUE(Find("viewPushButton")->isEnabled());
    EXPECT_TRUE(home_.Exists("download.txt"));
    test::UrlCatcher files(QStringLiteral("file"));
    Click("viewPushButton");
    ASSERT_EQ(files.opened.size(), 1);
    EXPECT_EQ(files.opened.front().toLocalFile().toStdString(), GetExeFolder() + "download.txt");
}

TEST_F(MainDialogTest, AutorunDownloadsWithoutAClickAndAutoExitClosesAndSaves) {
    test::HttpServer server;
    test::PrepareWeatherTopic(home_, server, test::RecordedUsWeather());
    g_autoRun = true;
    Open("AutoExit=1\r\nSaveOnExit=1\r\n[Weather]\r\nDownload=1\r\nZIP=11111\r\n", true);
    QSignalSpy closed(dialog_.get(), &QDialog::finished);
    ASSERT_TRUE(closed.wait(30000));
    EXPECT_EQ(finished_->count(), 1);
    EXPECT_TRUE(home_.Exists(test::kWeatherPageFile));
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_NE(home_.ReadFile(kIni).find("ForecastUSA=10\r\n"), std::string::npos) << "saved at exit";
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(MainDialogTest, ClosingSavesAsSaveOnExitAndTheAnswerSay) {
    const struct {
        const char* name;
        const char* saveOnExit;
        std::deque<bool> answers;
        bool saved;
        std::size_t questions;
    } rows[] = {
        {"SaveOnExit on", "1", {}, true, 0},
        {"asked, Yes", "0", {true}, true, 1},
        {"asked, No", "0", {false}, false, 1},
        {"asked, Cancel keeps the program open", "0", {}, false, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        boxes_ = ScriptedMessageBoxes();
        boxes_.answers = row.answers;
        if (row.answers.empty()) boxes_.choices = {MessageBoxes::Choice::Cancel};
        Open(std::string("SaveOnExit=") + row.saveOnExit + "\r\n; kept\r\n[Stocks]\r\nDownload=1\r\n");
        const std::string before = home_.ReadFile(kIni);
        Find<QLineEdit>("symbolsLineEdit")->setText(QStringLiteral("IBM,MSFT"));
        Click("exitPushButton");
        EXPECT_EQ(dialog_->isVisible(), !row.saved && row.answers.empty() && row.questions);
        EXPECT_EQ(boxes_.shown.size(), row.questions);
        if (row.questions) {
            EXPECT_EQ(boxes_.Lines().front(), "ask Tidepost | Would you like to save Tidepost current settings ?");
        }
        const std::string after = home_.ReadFile(kIni);
        if (!row.saved) {
            EXPECT_EQ(after, before);
            continue;
        }
        // The file is exactly what saving the window's values writes.
        home_.WriteFile(kIni, before);
        ASSERT_TRUE(WriteSettings(dialog_->CurrentSettings()));
        EXPECT_EQ(after, home_.ReadFile(kIni));
        EXPECT_NE(after.find("Symbols=IBM,MSFT\r\n"), std::string::npos);
        EXPECT_NE(after.find("; kept\r\n"), std::string::npos);
    }
}

TEST_F(MainDialogTest, FailedSaveAtExitIsReportedAndLosesNothing) {
    Open("SaveOnExit=1\r\n[Movies]\r\nDownload=1\r\n");
    const std::string before = home_.ReadFile(kIni);
    test::ImmutableFile locked(home_.path() + "cfg");
    if (!locked.set()) GTEST_SKIP() << "the file system cannot make a folder immutable";
    Toggle("moviesGroupBox");
    // Retry fails again; Cancel keeps the program open with its values.
    boxes_.answers = {true, false};
    Click("exitPushButton");
    EXPECT_TRUE(dialog_->isVisible());
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].kind, "retry");
    EXPECT_NE(boxes_.shown[1].text.find(GetIniPath()), std::string::npos) << boxes_.shown[1].text;
    EXPECT_EQ(home_.ReadFile(kIni), before);
    EXPECT_FALSE(Find<QGroupBox>("moviesGroupBox")->isChecked()) << "the untick is kept";
}

TEST_F(MainDialogTest, EscapeAndTheCloseButtonOfTheExitQuestionKeepTheProgramOpen) {
    WidgetMessageBoxes real;
    for (const bool escape : {true, false}) {
        const auto found = test::OnNextModal<QMessageBox>([escape](QMessageBox& box) {
            if (escape) {
                QTest::keyClick(&box, Qt::Key_Escape);
            } else {
                box.close();
            }
        });
        EXPECT_EQ(real.AskOrCancel(nullptr, QStringLiteral("Tidepost"), QStringLiteral("Save?")),
                  MessageBoxes::Choice::Cancel);
        EXPECT_TRUE(*found);
        const auto retry = test::OnNextModal<QMessageBox>([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
        EXPECT_FALSE(real.AskRetry(nullptr, QStringLiteral("Tidepost"), QStringLiteral("Failed")));
        EXPECT_TRUE(*retry);
    }
}

}  // namespace
}  // namespace tp
