#include "ui/message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace tp {

void WidgetMessageBoxes::Inform(QWidget* owner, const QString& caption, const QString& text) {
    QMessageBox::information(owner, caption, text);
}

void WidgetMessageBoxes::Warn(QWidget* owner, const QString& caption, const QString& text) {
    QMessageBox::warning(owner, caption, text);
}

bool WidgetMessageBoxes::Ask(QWidget* owner, const QString& caption, const QString& text,
                             AskStyle style) {
    const QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (style == AskStyle::Caution) {
        return QMessageBox::critical(owner, caption, text, buttons, QMessageBox::No) == QMessageBox::Yes;
    }
    return QMessageBox::question(owner, caption, text, buttons, QMessageBox::Yes) == QMessageBox::Yes;
}

void WidgetMessageBoxes::Beep() { QApplication::beep(); }

}  // namespace tp
