#include "ui/multi_line_edit.h"

#include <QKeyEvent>

namespace tp {

CMultiLineEdit::CMultiLineEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
}

QString CMultiLineEdit::Text() const {
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void CMultiLineEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (event->modifiers() & Qt::ControlModifier) {
        insertPlainText(QStringLiteral("\n"));
        event->accept();
        return;
    }
    // Left to the dialog, which presses its default button.
    event->ignore();
}

}  // namespace tp
