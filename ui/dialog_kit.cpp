#include "ui/dialog_kit.h"

#include "ui/dialog_controls.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace tp {

QString ProgramTitle() { return QStringLiteral("Tidepost"); }

void DialogOrder::ApplyTabOrder() const {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets_) {
        if (widget->focusPolicy() == Qt::NoFocus) continue;
        if (previous) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

QPushButton* NewPushButton(const QString& text, const QString& name) {
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QPushButton* NewHelpButton(int textId, const QString& name, QWidget* owner) {
    QPushButton* button = NewSmallButton(QStringLiteral("?"), name);
    QObject::connect(button, &QPushButton::clicked, owner, [textId, owner] { OpenHelp(textId, owner); });
    return button;
}

void ShowReadOnly(QLineEdit* field) {
    field->setReadOnly(true);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
}

void FocusNextAfter(QWidget* widget) {
    for (QWidget* next = widget->nextInFocusChain(); next && next != widget; next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) && next->isEnabled() && next->isVisibleTo(widget->window()) &&
            next->window() == widget->window()) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void FocusRefusedField(QWidget* field) {
    if (!field || !field->isVisible()) return;
    field->setFocus(Qt::OtherFocusReason);
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(field)) spin->selectAll();
    if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
}

}  // namespace tp
