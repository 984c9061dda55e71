// A field of several lines inside a dialog: Enter presses the dialog's default
// button and Ctrl+Enter starts a new line, Tab moves on to the next control,
// and its text is taken exactly as typed.
#pragma once

#include <QPlainTextEdit>

namespace tp {

class CMultiLineEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CMultiLineEdit(QWidget* parent = nullptr);

    // The text with each line break as one line feed; unlike toPlainText,
    // no-break spaces stay as they are.
    QString Text() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tp
