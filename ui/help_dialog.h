// "Help on topic": one help text from the string table, until OK.
#pragma once

#include <QDialog>

class QLabel;

namespace tp {

class CHelpDialog : public QDialog {
    Q_OBJECT
public:
    CHelpDialog(int textId, QWidget* parent);

    QString HelpText() const { return text_; }

private:
    QString text_;
};

}  // namespace tp
