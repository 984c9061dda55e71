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

MessageBoxes::Choice WidgetMessageBoxes::AskOrCancel(QWidget* owner, const QString& caption, const QString& text) {
    switch (QMessageBox::question(owner, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                  QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return Choice::Yes;
    case QMessageBox::No:
        return Choice::No;
    default:  // Cancel, Escape, the close button
        return Choice::Cancel;
    }
}

bool WidgetMessageBoxes::AskRetry(QWidget* owner, const QString& caption, const QString& text) {
    return QMessageBox::warning(owner, caption, text, QMessageBox::Retry | QMessageBox::Cancel,
                                QMessageBox::Retry) == QMessageBox::Retry;
}

void WidgetMessageBoxes::Beep() { QApplication::beep(); }

}  // namespace tp
