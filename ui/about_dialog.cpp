#include "ui/about_dialog.h"

#include "app/paths.h"
#include "resources/string_table.h"
#include "run/run_log.h"
#include "run/source_health.h"
#include "ui/bitmap_static.h"
#include "ui/core_text.h"
#include "ui/dialog_units.h"
#include "ui/hot_static.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tp {
namespace {

const QString kContactAddress = QStringLiteral("tidepost@example.org");
constexpr int kBanner = 142;
constexpr QSize kBannerSize{107, 41};
constexpr int kIconSide = 32;

QLabel* NewText(const QString& text, const char* name) {
    auto* label = new QLabel(text);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

}  // namespace

CAboutDialog::CAboutDialog(MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), version_(FromCore(LoadStringResource(kVersionText))) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About Tidepost"));

    auto* icon = new QLabel;
    icon->setObjectName(QStringLiteral("iconLabel"));
    icon->setPixmap(QIcon(QStringLiteral(":/pictures/128.svg")).pixmap(kIconSide, kIconSide));

    auto* versionFrame = new QFrame;
    versionFrame->setObjectName(QStringLiteral("versionFrame"));
    versionFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* versionLabel = NewText(version_, "versionLabel");
    (new QVBoxLayout(versionFrame))->addWidget(versionLabel);

    auto* credit = NewText(QStringLiteral("Written and maintained by"), "creditLabel");
    credit->setWordWrap(false);
    nameLink_ = new CHotStatic(QStringLiteral("the Tidepost team"), boxes);
    nameLink_->setObjectName(QStringLiteral("nameHotStatic"));
    // The version goes into the subject as it is; the mail handler receives its blanks.
    nameLink_->SetURL(QStringLiteral("mailto:") + kContactAddress + QStringLiteral("?subject=") + version_);
    nameLink_->setToolTip(kContactAddress);

    auto* description = NewText(
        QStringLiteral("Tidepost is a freeware that downloads XML web pages for the Xircom REX6000 PDA."),
        "descriptionLabel");
    auto* transfer = NewText(
        QStringLiteral("(The transfer to REX6000 requires to use the Pagewire application with Intellisync)"),
        "transferLabel");

    // Where this copy keeps its settings and pages (see the data folder rules).
    auto* folder = NewText(QStringLiteral("Data folder: ") + QFile::decodeName(QByteArray::fromStdString(GetExeFolder())),
                           "dataFolderLabel");
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* lastRun = NewText(FromCore(LastRunText(ReadRunLog(GetExeFolder()))), "lastRunLabel");

    picture_ = new CBitmapStatic(kBannerSize);
    picture_->setObjectName(QStringLiteral("pictureBitmapStatic"));
    picture_->SetBitmap(kBanner);

    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("okPushButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* heading = new QGridLayout;
    heading->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    heading->addWidget(versionFrame, 0, 1, 1, 2);
    heading->addWidget(credit, 1, 1);
    heading->addWidget(nameLink_, 1, 2, Qt::AlignLeft | Qt::AlignTop);
    heading->setColumnStretch(2, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(picture_);
    bottom->addStretch(1);
    bottom->addWidget(ok, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(description);
    layout->addWidget(transfer);
    layout->addWidget(folder);
    layout->addWidget(lastRun);
    layout->addStretch(1);
    layout->addLayout(bottom);
    resize(sizeHint().expandedTo(DialogUnitsToPixels(*this, 236, 120)));
    ok->setFocus();
}

}  // namespace tp
