#include "ui/web_address_dialog.h"

#include "app/globals.h"
#include "resources/string_table.h"
#include "settings/custom_store.h"
#include "settings/customization_rules.h"
#include "ui/bitmap_static.h"
#include "ui/core_text.h"
#include "ui/dialog_controls.h"
#include "ui/dialog_kit.h"
#include "ui/dialog_units.h"
#include "ui/help_dialog.h"
#include "ui/message_boxes.h"
#include "ui/multi_line_edit.h"
#include "ui/source_workbench_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tp {
namespace {

constexpr int kPicture = 156;
constexpr QSize kPictureSize{32, 32};
const QString kBoxCaption = QStringLiteral("URL Customization");

QString TagLabel(std::size_t index) { return QStringLiteral("Tag #%1:").arg(index + 1); }

QString Unstorable(const QString& field) {
    return QStringLiteral("The text of \"%1\" cannot be stored.\n\n%2").arg(field, FromCore(g_lastError));
}

}  // namespace

QString UnstorableSourceText(const SourceEntry& source) {
    if (!CheckCustomText(source.addressNumber, source.addressText)) return Unstorable(QStringLiteral("URL:"));
    for (std::size_t i = 0; i < kSourceTagCount; ++i) {
        if (!CheckCustomText(source.tagNumbers[i], source.tagTexts[i])) return Unstorable(TagLabel(i));
    }
    return {};
}

CWebAddressDialog::CWebAddressDialog(MessageBoxes& boxes, const Settings& settings, QWidget* parent)
    : QDialog(parent), boxes_(boxes), settings_(settings) {
    setObjectName(QStringLiteral("webAddressDialog"));
    setWindowTitle(QStringLiteral("Web address and Tags"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/%1.svg").arg(kPicture)));

    auto* fields = new QGridLayout;
    auto* urlLabel = new QLabel(QStringLiteral("URL:"));
    address_ = new CMultiLineEdit;
    address_->setObjectName(QStringLiteral("urlMultiLineEdit"));
    address_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    address_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    urlLabel->setBuddy(address_);
    fields->addWidget(urlLabel, 0, 0, Qt::AlignTop);
    fields->addWidget(address_, 0, 1, 1, 3);
    QPushButton* test = NewPushButton(QStringLiteral("&Test..."), QStringLiteral("testPushButton"));
    test->setToolTip(QStringLiteral("Fetch the page and cut it with these tags, without saving them"));
    connect(test, &QPushButton::clicked, this, &CWebAddressDialog::OpenWorkbench);
    fields->addWidget(test, 0, 4, Qt::AlignTop);
    fields->setRowStretch(0, 1);
    for (std::size_t i = 0; i < kSourceTagCount; ++i) {
        tags_[i] = new QLineEdit;
        tags_[i]->setObjectName(QStringLiteral("tag%1LineEdit").arg(i + 1));
        auto* label = new QLabel(TagLabel(i));
        label->setBuddy(tags_[i]);
        const int row = 1 + static_cast<int>(i) / 2;
        const int column = 2 * (static_cast<int>(i) % 2);
        fields->addWidget(label, row, column);
        fields->addWidget(tags_[i], row, column + 1);
    }
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);

    QPushButton* ok = NewPushButton(QStringLiteral("&OK"), QStringLiteral("okPushButton"));
    ok->setDefault(true);
    QPushButton* cancel = NewPushButton(QStringLiteral("Cancel"), QStringLiteral("cancelPushButton"));
    QPushButton* help = NewPushButton(QStringLiteral("Help"), QStringLiteral("helpPushButton"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] {
        OpenHelp(kHelpWebAddress, this);
    });
    auto* picture = new CBitmapStatic(kPictureSize);
    picture->setObjectName(QStringLiteral("webAddressBitmapStatic"));
    picture->SetBitmap(kPicture);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    buttons->addStretch(1);
    buttons->addWidget(picture, 0, Qt::AlignHCenter);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);

    DialogOrder order;
    for (QWidget* widget : std::initializer_list<QWidget*>{address_, test, tags_[0], tags_[1], tags_[2], tags_[3],
                                                           ok, cancel, help}) {
        order.Add(widget);
    }
    order.ApplyTabOrder();
    resize(sizeHint().expandedTo(DialogUnitsToPixels(*this, 353, 127)));
}

void CWebAddressDialog::SetSource(const SourceEntry& source) {
    source_ = source;
    address_->setPlainText(FromCore(source.addressText));
    for (std::size_t i = 0; i < kSourceTagCount; ++i) {
        tags_[i]->setText(FromCore(source.tagTexts[i]));
        // A source shows only the tags it has.
        tags_[i]->setEnabled(!source.tagTexts[i].empty());
    }
    address_->setFocus();
}

void CWebAddressDialog::CopyTextsInto(SourceEntry& source) const {
    source.addressText = source_.addressText;
    source.tagTexts = source_.tagTexts;
}

SourceEntry CWebAddressDialog::FieldTexts() const {
    SourceEntry collected = source_;
    collected.addressText = TrimAddress(ToCore(address_->Text()));
    for (std::size_t i = 0; i < kSourceTagCount; ++i) collected.tagTexts[i] = ToCore(tags_[i]->text());
    return collected;
}

void CWebAddressDialog::OpenWorkbench() {
    CSourceWorkbenchDialog workbench(settings_, FieldTexts(), this);
    connect(&workbench, &CSourceWorkbenchDialog::TagChosen, this, &CWebAddressDialog::PutTag);
    workbench.exec();
}

void CWebAddressDialog::PutTag(int number, const QString& tag) {
    for (std::size_t i = 0; i < kSourceTagCount; ++i) {
        if (source_.tagNumbers[i] == number) tags_[i]->setText(tag);
    }
}

void CWebAddressDialog::accept() {
    const SourceEntry collected = FieldTexts();

    if (collected.addressText.empty()) {
        boxes_.Inform(this, kBoxCaption, QStringLiteral("Please, enter an URL"));
        address_->setFocus();
        return;
    }
    if (const QString refusal = UnstorableSourceText(collected); !refusal.isEmpty()) {
        boxes_.Warn(this, kBoxCaption, refusal);
        return;
    }
    if (!HasParameterMarker(collected.addressText) &&
        !boxes_.Ask(this, kBoxCaption,
                    QStringLiteral("You have entered an URL without any parameter %s.\nAre you sure this is correct ?"))) {
        address_->setFocus();
        return;
    }
    source_ = collected;
    QDialog::accept();
}

}  // namespace tp
