// The web address dialog on its own: which tags a source shows, and what OK
// accepts, refuses or asks about.
#include "settings/custom_sources.h"
#include "settings/custom_store.h"
#include "tests/support/temp_home.h"
#include "tests/ui/support/scripted_message_boxes.h"
#include "ui/multi_line_edit.h"
#include "ui/web_address_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tp {
namespace {

using test::ScriptedMessageBoxes;

SourceEntry WeatherSource(std::size_t index) { return LoadTopicSources("Weather").at(index); }

class WebAddressDialogTest : public ::testing::Test {
protected:
    template <class W = QWidget>
    W* Find(const QString& name) {
        W* widget = dialog_.findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    test::TempHome home_;
    ScriptedMessageBoxes boxes_;
    CWebAddressDialog dialog_{boxes_, Settings{}, nullptr};
};

TEST_F(WebAddressDialogTest, ASourceShowsOnlyTheTagsItHas) {
    const struct {
        std::size_t source;
        bool enabled[4];
    } rows[] = {{0, {true, false, false, false}},  // Weather (USA)
                {1, {true, true, true, true}}};    // Weather (UK)
    for (const auto& row : rows) {
        const SourceEntry source = WeatherSource(row.source);
        SCOPED_TRACE(source.label);
        dialog_.SetSource(source);
        EXPECT_EQ(Find<CMultiLineEdit>("urlMultiLineEdit")->Text().toStdString(), source.addressText);
        for (int i = 0; i < 4; ++i) {
            auto* tag = Find<QLineEdit>(QStringLiteral("tag%1LineEdit").arg(i + 1));
            EXPECT_EQ(tag->isEnabled(), row.enabled[i]) << i + 1;
            EXPECT_EQ(tag->text().toStdString(), source.tagTexts[static_cast<std::size_t>(i)]);
        }
    }
}

TEST_F(WebAddressDialogTest, OkTrimsTheAddressAndRefusesWhatCannotBeUsed) {
    const std::string tooLong(kCustomTextMax + 1, 't');
    const struct {
        const char* what;
        QString address;
        std::string tag;
        std::deque<bool> answers;
        bool accepted;
        std::string stored;  // the address after OK
        std::string box;     // "" : no box
    } rows[] = {
        {"blanks trimmed", QStringLiteral("  x/%s  "), " Today ", {}, true, "x/%s", ""},
        {"empty address", QStringLiteral(" \n "), "Today", {}, false, "", "inform URL Customization | Please, enter an URL"},
        {"no parameter, No", QStringLiteral("http://a/b"), "Today", {false}, false, "",
         "ask URL Customization | You have entered an URL without any parameter %s.\nAre you sure this is correct ?"},
        {"no parameter, Yes", QStringLiteral("http://a/b"), "Today", {true}, true, "http://a/b", "ask URL Customization"},
        {"tag over the limit", QStringLiteral("x/%s"), tooLong, {}, false, "",
         "warn URL Customization | The text of \"Tag #1:\" cannot be stored."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        boxes_ = ScriptedMessageBoxes();
        boxes_.answers = row.answers;
        SourceEntry source = WeatherSource(1);
        dialog_.SetSource(source);
        dialog_.setResult(QDialog::Rejected);
        dialog_.show();
        Find<CMultiLineEdit>("urlMultiLineEdit")->setPlainText(row.address);
        Find<QLineEdit>("tag1LineEdit")->setText(QString::fromStdString(row.tag));
        QTest::mouseClick(Find<QPushButton>("okPushButton"), Qt::LeftButton);

        EXPECT_EQ(dialog_.result() == QDialog::Accepted, row.accepted);
        EXPECT_EQ(dialog_.isVisible(), !row.accepted);
        ASSERT_EQ(boxes_.shown.size(), row.box.empty() ? 0u : 1u);
        if (!row.box.empty()) {
            EXPECT_EQ(boxes_.Lines()[0].rfind(row.box, 0), 0u) << boxes_.Lines()[0];
        }
        if (row.accepted) {
            dialog_.CopyTextsInto(source);
            EXPECT_EQ(source.addressText, row.stored);
            EXPECT_EQ(source.tagTexts[0], row.tag) << "tags are not trimmed";
        }
        dialog_.hide();
    }
    EXPECT_FALSE(home_.Exists("cfg/Tidepost.ini")) << "OK stores nothing by itself";
}

}  // namespace
}  // namespace tp
