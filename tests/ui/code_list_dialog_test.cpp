// The code list editor: its keys, and the main window's "..." buttons that
// edit a code file with it and refill their list.
#include "resources/string_table.h"
#include "settings/code_lists.h"
#include "tests/support/temp_home.h"
#include "tests/ui/support/modal_driver.h"
#include "tests/ui/support/scripted_message_boxes.h"
#include "ui/code_list_dialog.h"
#include "ui/main_dialog.h"
#include "ui/multi_line_edit.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tp {
namespace {

using test::OnNextModal;
using test::ScriptedMessageBoxes;

CMultiLineEdit* ListOf(QWidget& dialog) {
    auto* list = dialog.findChild<CMultiLineEdit*>(QStringLiteral("listMultiLineEdit"));
    EXPECT_NE(list, nullptr);
    return list;
}

TEST(CodeListDialog, EnterPressesOkAndCtrlEnterStartsANewLine) {
    ScriptedMessageBoxes boxes;
    CCodeListDialog dialog("a - A~b - B", 0, boxes, nullptr);
    dialog.show();
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("promptLabel"))->text().toStdString(),
              LoadStringResource(kCodeListPrompt));
    CMultiLineEdit* list = ListOf(dialog);
    EXPECT_EQ(list->Text(), QStringLiteral("a - A\nb - B"));
    list->setFocus();
    list->moveCursor(QTextCursor::End);
    QTest::keyClick(list, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(list, QStringLiteral("c - C"));
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.FileText(), "a - A\nb - B\nc - C");
}

class CodeListButtonsTest : public ::testing::Test {
protected:
    void Open() {
        home_.WriteFile("cfg/Tidepost.ini", "[Weather]\r\nDownload=1\r\n[Stocks]\r\nDownload=1\r\n");
        window_ = std::make_unique<CMainDialog>(boxes_);
        window_->show();
    }
    QComboBox* Entries(const char* name) { return window_->findChild<QComboBox*>(QLatin1String(name)); }
    // Clicks a "..." button; edit runs in the editor and may change its text.
    bool Edit(const char* button, const std::function<void(CCodeListDialog&)>& edit) {
        const auto opened = OnNextModal<CCodeListDialog>(edit);
        QTest::mouseClick(window_->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
        QApplication::processEvents();
        return *opened;
    }

    test::TempHome home_;
    ScriptedMessageBoxes boxes_;
    std::unique_ptr<CMainDialog> window_;
};

TEST_F(CodeListButtonsTest, AnUnchangedFileComesBackByteForByteAndAnEditRefillsTheList) {
    const std::string twoLines = "11111 - A\r\n22222 - B\r\n";
    home_.WriteFile("cfg/areacode.ini", twoLines);
    Open();
    EXPECT_TRUE(Edit("areaCodeEditPushButton", [](CCodeListDialog& d) {
        EXPECT_EQ(ListOf(d)->document()->blockCount(), 3) << "two lines and the empty one after them";
        QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("okPushButton")), Qt::LeftButton);
    }));
    EXPECT_EQ(home_.ReadFile("cfg/areacode.ini"), twoLines);

    EXPECT_TRUE(Edit("areaCodeEditPushButton", [](CCodeListDialog& d) {
        ListOf(d)->appendPlainText(QStringLiteral("33333 - C"));
        d.accept();
    }));
    EXPECT_EQ(home_.ReadFile("cfg/areacode.ini"), twoLines + "\r\n33333 - C");
    EXPECT_EQ(Entries("areaCodeComboBox")->count(), 3);

    EXPECT_TRUE(Edit("areaCodeEditPushButton", [](CCodeListDialog& d) {
        ListOf(d)->setPlainText(QStringLiteral("gone"));
        d.reject();
    }));
    EXPECT_EQ(Entries("areaCodeComboBox")->count(), 3) << "Cancel writes nothing";
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(CodeListButtonsTest, AMalformedLineIsNamedByItsNumberAndNothingIsSaved) {
    const struct {
        const char* button;
        const char* file;
        const char* typed;
        const char* message;
    } rows[] = {
        {"areaCodeEditPushButton", "cfg/areacode.ini", "11111 - A\n2222 - Short", "Line 2 is not of the form \"12345 - City name\""},
        {"cityCodeEditPushButton", "cfg/citycode.ini", "FRXX0076 - Paris\n\nNoDashHere", "Line 3 is not of the form \"Code - City name\""},
        {"rateEditPushButton", "cfg/xrates.ini", "USD EUR", "Line 1 is not of the form \"XXX/YYY\""},
    };
    for (const auto& row : rows) home_.WriteFile(row.file, "kept\n");
    Open();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.button);
        boxes_.shown.clear();
        Edit(row.button, [&row](CCodeListDialog& d) {
            ListOf(d)->setPlainText(QString::fromLatin1(row.typed));
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("okPushButton")), Qt::LeftButton);
            EXPECT_TRUE(d.isVisible());
        });
        ASSERT_EQ(boxes_.shown.size(), 1u);
        EXPECT_EQ(boxes_.shown[0].text.rfind(row.message, 0), 0u) << boxes_.shown[0].text;
        EXPECT_EQ(home_.ReadFile(row.file), "kept\n");
    }
}

TEST_F(CodeListButtonsTest, RatesHaveTheirPromptAndAMissingFileIsCreated) {
    Open();
    EXPECT_TRUE(Edit("rateEditPushButton", [](CCodeListDialog& d) {
        EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("promptLabel"))->text().toStdString(),
                  LoadStringResource(kRateListPrompt));
        EXPECT_TRUE(ListOf(d)->Text().isEmpty());
        ListOf(d)->setPlainText(QStringLiteral("USD/EUR~EUR/GBP"));
        d.accept();
    }));
    EXPECT_EQ(home_.ReadFile("cfg/xrates.ini"), "USD/EUR\r\nEUR/GBP");
    EXPECT_EQ(Entries("rateComboBox")->count(), 2);
}

TEST_F(CodeListButtonsTest, AFileTooLongToEditWholeIsNotOpened) {
    const std::string tooLong(kCodeFileMax + 1, 'x');
    home_.WriteFile("cfg/citycode.ini", tooLong);
    Open();
    EXPECT_FALSE(Edit("cityCodeEditPushButton", [](CCodeListDialog&) {}));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].kind, "warn");
    EXPECT_NE(boxes_.shown[0].text.find("citycode.ini"), std::string::npos);
    EXPECT_EQ(home_.ReadFile("cfg/citycode.ini"), tooLong);
}

}  // namespace
}  // namespace tp
