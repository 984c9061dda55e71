// The about box: its texts, its picture and the mail link; opened from the
// main window's "&About".
#include "app/paths.h"
#include "tests/support/temp_home.h"
#include "tests/ui/support/scripted_message_boxes.h"
#include "tests/ui/support/url_catcher.h"
#include "ui/about_dialog.h"
#include "ui/bitmap_static.h"
#include "ui/hot_static.h"
#include "ui/main_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrlQuery>

#include <gtest/gtest.h>

namespace tp {
namespace {

QString LabelText(const QDialog& dialog, const char* name) {
    auto* label = dialog.findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("(missing %1)").arg(QLatin1String(name));
}

TEST(AboutDialog, ShowsVersionTextsAndPicture) {
    test::ScriptedMessageBoxes boxes;
    CAboutDialog about(boxes);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tidepost"));
    EXPECT_EQ(LabelText(about, "versionLabel"), QStringLiteral("Tidepost Version 1.5"));
    EXPECT_EQ(LabelText(about, "descriptionLabel"),
              QStringLiteral("Tidepost is a freeware that downloads XML web pages for the Xircom REX6000 PDA."));
    EXPECT_EQ(LabelText(about, "transferLabel"),
              QStringLiteral("(The transfer to REX6000 requires to use the Pagewire application with Intellisync)"));
    EXPECT_EQ(LabelText(about, "dataFolderLabel").toStdString(), "Data folder: " + GetExeFolder());
    auto* picture = about.findChild<CBitmapStatic*>(QStringLiteral("pictureBitmapStatic"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->BitmapNumber(), 142);
    EXPECT_FALSE(picture->pixmap().isNull()) << "picture 142 is in the resources";
}

TEST(AboutDialog, MailLinkWritesWithTheVersionAsSubjectAndKeepsTheBoxOpen) {
    test::ScriptedMessageBoxes boxes;
    test::UrlCatcher mail(QStringLiteral("mailto"));
    CAboutDialog about(boxes);
    about.show();
    auto* link = about.findChild<CHotStatic*>(QStringLiteral("nameHotStatic"));
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->URL().startsWith(QStringLiteral("mailto:")));
    EXPECT_TRUE(link->URL().endsWith(QStringLiteral("?subject=Tidepost Version 1.5"))) << link->URL().toStdString();

    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(mail.opened.size(), 1);
    EXPECT_EQ(QUrlQuery(mail.opened.first()).queryItemValue(QStringLiteral("subject")),
              QStringLiteral("Tidepost Version 1.5"));
    EXPECT_TRUE(link->IsVisited());
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(boxes.beeps, 0);

    QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("okPushButton")), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
}

TEST(AboutDialog, AboutOfTheMainWindowOpensIt) {
    test::TempHome home;
    test::ScriptedMessageBoxes boxes;
    CMainDialog main(boxes);
    main.show();
    QTest::mouseClick(main.findChild<QPushButton*>(QStringLiteral("aboutPushButton")), Qt::LeftButton);
    auto* about = main.findChild<CAboutDialog*>();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(about->isModal());
    about->close();
}

}  // namespace
}  // namespace tp
