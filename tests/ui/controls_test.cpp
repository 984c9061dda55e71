// The small controls: the hyperlink label, the switchable picture, the number
// field and the help dialog.
#include "resources/string_table.h"
#include "tests/ui/support/scripted_message_boxes.h"
#include "tests/ui/support/url_catcher.h"
#include "ui/bitmap_static.h"
#include "ui/help_dialog.h"
#include "ui/hot_static.h"
#include "ui/spin_field.h"

#include <QEnterEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace tp {
namespace {

using test::UrlCatcher;

void Hover(QWidget& widget, bool inside) {
    if (inside) {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(&widget, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&widget, &leave);
    }
}

TEST(HotStatic, ColoursFollowHoverAndVisit) {
    test::ScriptedMessageBoxes boxes;
    UrlCatcher catcher(QStringLiteral("tidepost-test"));
    CHotStatic link(QStringLiteral("tidepost-test:hello"), boxes);
    link.show();
    EXPECT_EQ(link.TextColor(), QColor(0, 0, 255));
    Hover(link, true);
    EXPECT_EQ(link.TextColor(), QColor(255, 0, 0));
    Hover(link, false);
    EXPECT_EQ(link.TextColor(), QColor(0, 0, 255));

    // Never given an address, the label opens its own text.
    QTest::mouseClick(&link, Qt::LeftButton);
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened.front().toString(), QStringLiteral("tidepost-test:hello"));
    EXPECT_EQ(link.URL(), QStringLiteral("tidepost-test:hello"));
    EXPECT_TRUE(link.IsVisited());
    EXPECT_EQ(link.TextColor(), QColor(128, 0, 128));
    EXPECT_EQ(boxes.beeps, 0);
}

TEST(HotStatic, AddressThatCannotBeOpenedBeepsAndStaysUnvisited) {
    test::ScriptedMessageBoxes boxes;
    CHotStatic link(QStringLiteral("Write to us"), boxes);
    link.SetURL(QStringLiteral("no-such-scheme:anything"));
    link.show();
    QTest::mouseClick(&link, Qt::LeftButton);
    EXPECT_EQ(boxes.beeps, 1);
    EXPECT_FALSE(link.IsVisited());
    EXPECT_EQ(link.TextColor(), QColor(0, 0, 255));
}

TEST(BitmapStatic, SwitchesReloadsAndKeepsPictureOnFailure) {
    CBitmapStatic picture(QSize(56, 40));
    picture.SetBitmap(-1);
    EXPECT_EQ(picture.BitmapNumber(), -1);
    EXPECT_TRUE(picture.pixmap().isNull()) << "-1 without a current number does nothing";

    picture.SetBitmap(136);
    ASSERT_FALSE(picture.pixmap().isNull());
    EXPECT_EQ(picture.pixmap().deviceIndependentSize().toSize(), QSize(56, 40));
    const QImage off = picture.pixmap().toImage();

    // A palette change reloads the picture with the new button colour.
    QPalette palette = picture.palette();
    palette.setColor(QPalette::Button, QColor(10, 200, 10));
    picture.setPalette(palette);
    EXPECT_NE(picture.pixmap().toImage(), off);

    picture.SetBitmap(132);
    const QImage on = picture.pixmap().toImage();
    EXPECT_NE(on, off);
    picture.SetBitmap(9999);  // no such picture
    EXPECT_EQ(picture.pixmap().toImage(), on);
    picture.SetBitmap(-1);
    EXPECT_EQ(picture.BitmapNumber(), 9999);
    EXPECT_EQ(picture.pixmap().toImage(), on);
}

TEST(SpinField, ShowsAnyValueButStepsOnlyWithinItsBounds) {
    CSpinField field(1, 10);
    field.setValue(50);  // e.g. from a hand-edited settings file
    EXPECT_EQ(field.value(), 50);
    EXPECT_EQ(field.text(), QStringLiteral("50"));
    field.stepBy(1);
    EXPECT_EQ(field.value(), 10);
    field.stepBy(-100);
    EXPECT_EQ(field.value(), 1);
    field.stepBy(-1);
    EXPECT_EQ(field.value(), 1);
    QTest::keyClicks(&field, "7");
    EXPECT_EQ(field.value(), 1) << "the field takes no typing";
}

TEST(HelpDialog, ShowsItsTextUntilOk) {
    CHelpDialog help(kHelpStocks, nullptr);
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Help on topic"));
    auto* label = help.findChild<QLabel*>(QStringLiteral("helpTextLabel"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("How to add several stock symbols in the list ?\n\n")));
    help.open();
    QTest::mouseClick(help.findChild<QPushButton*>(QStringLiteral("okPushButton")), Qt::LeftButton);
    EXPECT_FALSE(help.isVisible());
    EXPECT_EQ(help.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace tp

