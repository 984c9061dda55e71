#include "ui/help_dialog.h"

#include "resources/string_table.h"
#include "ui/core_text.h"
#include "ui/dialog_units.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tp {

CHelpDialog::CHelpDialog(int textId, QWidget* parent)
    : QDialog(parent), text_(FromCore(LoadStringResource(textId))) {
    setWindowTitle(QStringLiteral("Help on topic"));

    auto* label = new QLabel(text_);
    label->setObjectName(QStringLiteral("helpTextLabel"));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // A long text scrolls instead of growing the dialog past the screen.
    auto* scroll = new QScrollArea;
    scroll->setWidget(label);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("okPushButton"));
    ok->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addWidget(buttons);
    resize(DialogUnitsToPixels(*this, 277, 142));
}

}  // namespace tp
